velnor_add_fuzzer(fuzz_path_checks SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_path_checks.cpp
  LIBS velnor_conditions_paths)
