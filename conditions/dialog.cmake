# The remembered destination file: portable, so that its file handling is tested natively.
add_library(velnor_conditions_env STATIC ${CMAKE_CURRENT_LIST_DIR}/EnvFile.cpp)
target_link_libraries(velnor_conditions_env PUBLIC velnor_common)
target_include_directories(velnor_conditions_env PUBLIC ${PROJECT_SOURCE_DIR})
