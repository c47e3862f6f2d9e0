# For scripts/msvc-check only: clang-cl and LLVM's tools in the places of Microsoft's
# compiler, resource compiler, librarian and linker, so that the CMake files' MSVC branch
# can be configured here. Without Microsoft's libraries nothing can be linked, so the
# compiler checks build a static library.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(CMAKE_C_COMPILER clang-cl-14)
set(CMAKE_CXX_COMPILER clang-cl-14)
set(CMAKE_RC_COMPILER llvm-rc)
set(CMAKE_LINKER lld-link)
set(CMAKE_AR llvm-lib-14)
set(CMAKE_MT llvm-mt-14)
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
