velnor_add_fuzzer(fuzz_host_data SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_host_data.cpp
  LIBS velnor_host_standin)
