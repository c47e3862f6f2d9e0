velnor_add_fuzzer(fuzz_path_checks SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_path_checks.cpp
  LIBS velnor_conditions_paths)
velnor_add_fuzzer(fuzz_env_file SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_env_file.cpp
  LIBS velnor_conditions_env velnor_host_standin)
