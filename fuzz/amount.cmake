velnor_add_fuzzer(fuzz_amount_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_amount_text.cpp
  LIBS velnor_amount)
