# The batch exporter: the program's aggregation and export on a host data file.
add_executable(velnor-export
  ${CMAKE_CURRENT_LIST_DIR}/velnor-export/VelnorExport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/velnor-export/ConsoleText.cpp
)
if(WIN32)
  target_sources(velnor-export PRIVATE ${VELNOR_EXPORT_STRINGS_RC})
endif()
target_link_libraries(velnor-export PRIVATE velnor_export velnor_aggregation
  velnor_app_shell_portable velnor_host_standin)
