# The path as the built program sees it: under Wine the Unix root is drive Z:.
function(velnor_native_path_for_target out path)
  if(WIN32)
    set(${out} "Z:${path}" PARENT_SCOPE)
  else()
    set(${out} "${path}" PARENT_SCOPE)
  endif()
endfunction()

# velnor_add_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [WINE_ONLY] [NATIVE_ONLY]
#                  [BIN_DIR] [OUTPUT_FOLDER folder] [RESOURCES edition] [DEPENDS target...]
#                  [LABELS label...])
#
# One GoogleTest executable per module. Natively every test case becomes a CTest test;
# under Wine each executable is one CTest test, because every Wine start costs about a
# second. Every test links the file seam that can be made to fail.
#   BIN_DIR        VELNOR_BIN_DIR names the build's bin folder (where the programs are).
#   OUTPUT_FOLDER  the test is built into a folder of its own below bin/.
#   RESOURCES      the resources of that edition are compiled into the test.
#   LABELS         gui: drives windows; gui-heavy: whole runs and busy windows, left out
#                  of the x86 suite where it runs under emulation (scripts/test).
function(velnor_add_test name)
  cmake_parse_arguments(T "WINE_ONLY;NATIVE_ONLY;BIN_DIR" "OUTPUT_FOLDER;RESOURCES"
                        "SOURCES;LIBS;LABELS;DEPENDS" ${ARGN})
  if(T_WINE_ONLY AND NOT WIN32)
    return()
  endif()
  if(T_NATIVE_ONLY AND WIN32)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} velnor_test_support velnor_faults gmock
                        gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  velnor_native_path_for_target(src_dir ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    VELNOR_SOURCE_DIR="${src_dir}" VELNOR_TEST_DATA_DIR="${src_dir}/tests/data")
  if(T_BIN_DIR)
    velnor_native_path_for_target(bin_dir ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
    target_compile_definitions(${name} PRIVATE VELNOR_BIN_DIR="${bin_dir}")
  endif()
  if(T_OUTPUT_FOLDER)
    set_target_properties(${name} PROPERTIES
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${T_OUTPUT_FOLDER})
  endif()
  if(T_RESOURCES)
    velnor_add_resources(${name} ${T_RESOURCES})
  endif()
  if(T_DEPENDS)
    add_dependencies(${name} ${T_DEPENDS})
  endif()
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
