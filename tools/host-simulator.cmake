# The host simulator: plays the host window for manual and automated runs of the link
# program under Wine. A console program, so that its report goes to standard output.
if(WIN32)
  add_executable(host-simulator ${CMAKE_CURRENT_LIST_DIR}/host-simulator/HostSimulator_win.cpp)
  target_link_libraries(host-simulator PRIVATE velnor_app_shell_portable velnor_host_standin
    velnor_common user32)
endif()
