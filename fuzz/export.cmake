velnor_add_fuzzer(fuzz_support_inf SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_support_inf.cpp
  LIBS velnor_export velnor_records)
