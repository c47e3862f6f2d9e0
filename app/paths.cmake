# Path helpers, command line and the receiving product's level rules: portable, so that
# their logic is tested natively. On Windows the folder helpers use the Win32 calls.
add_library(velnor_app_portable STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PathHelpers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReceivingProduct.cpp
)
target_link_libraries(velnor_app_portable PUBLIC velnor_common)
target_include_directories(velnor_app_portable PUBLIC ${PROJECT_SOURCE_DIR})
if(WIN32)
  target_sources(velnor_app_portable PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PathHelpers_win.cpp)
  target_link_libraries(velnor_app_portable PUBLIC shlwapi)

  # The compatibility check itself: the definition file and the host's message display.
  add_library(velnor_app_paths_win STATIC ${CMAKE_CURRENT_LIST_DIR}/ReceivingProduct_win.cpp)
  target_link_libraries(velnor_app_paths_win PUBLIC velnor_app_portable velnor_host)
endif()
