# The fixed-point amount type and the statutory rate tables.
add_library(velnor_amount STATIC
  ${CMAKE_CURRENT_LIST_DIR}/DecimalText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FixedDecimal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RateTables.cpp
)
target_link_libraries(velnor_amount PUBLIC velnor_common)
