# 32-bit Windows (x86), the architecture of the host's libraries.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VELNOR_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
