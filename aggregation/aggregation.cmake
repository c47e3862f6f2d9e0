# Enumeration of the assets through the host and their conversion into export records.
add_library(velnor_aggregation STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/AssetAggregator.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ConvertAssets.cpp
)
target_link_libraries(velnor_aggregation PUBLIC velnor_records velnor_amount velnor_qeluty)
