# The path as the built program sees it: under Wine the Unix root is drive Z:.
function(velnor_native_path_for_target out path)
  if(WIN32)
    set(${out} "Z:${path}" PARENT_SCOPE)
  else()
    set(${out} "${path}" PARENT_SCOPE)
  endif()
endfunction()

# velnor_add_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [WINE_ONLY] [NATIVE_ONLY])
#
# One GoogleTest executable per module. Natively every test case becomes a CTest test;
# under Wine each executable is one CTest test, because every Wine start costs about a
# second.
function(velnor_add_test name)
  cmake_parse_arguments(T "WINE_ONLY;NATIVE_ONLY" "" "SOURCES;LIBS;LABELS" ${ARGN})
  if(T_WINE_ONLY AND NOT WIN32)
    return()
  endif()
  if(T_NATIVE_ONLY AND WIN32)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gmock gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  velnor_native_path_for_target(src_dir ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    VELNOR_SOURCE_DIR="${src_dir}" VELNOR_TEST_DATA_DIR="${src_dir}/tests/data")
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    # All programs of one Wine prefix share one desktop and one keyboard focus: a test
    # that types into its dialog must not run beside another that opens windows.
    set_tests_properties(${name} PROPERTIES LABELS "wine;${T_LABELS}" TIMEOUT 300
                         RESOURCE_LOCK wine_desktop)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "native;${T_LABELS}")
  endif()
endfunction()
