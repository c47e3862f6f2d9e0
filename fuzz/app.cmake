velnor_add_fuzzer(fuzz_command_line SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_command_line.cpp
  LIBS velnor_app_portable)
velnor_add_fuzzer(fuzz_level_value SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_level_value.cpp
  LIBS velnor_app_portable)
velnor_add_fuzzer(fuzz_path_helpers SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_path_helpers.cpp
  LIBS velnor_app_portable)
