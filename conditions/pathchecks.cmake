# The destination checks of the conditions dialog: portable, with the drive type and
# access test behind a seam; on Windows the real calls.
add_library(velnor_conditions_paths STATIC ${CMAKE_CURRENT_LIST_DIR}/PathChecks.cpp)
target_link_libraries(velnor_conditions_paths PUBLIC velnor_common)
target_include_directories(velnor_conditions_paths PUBLIC ${PROJECT_SOURCE_DIR})
if(WIN32)
  target_sources(velnor_conditions_paths PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PathChecks_win.cpp)
endif()
