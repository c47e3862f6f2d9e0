velnor_add_fuzzer(fuzz_host_records SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_host_records.cpp
  LIBS velnor_aggregation velnor_export velnor_host_standin)
