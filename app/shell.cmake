# The application object, progress window and the two programs VelnorPro and VelnorStd.

# The lookup of the selected data is host logic only: portable and tested natively.
add_library(velnor_app_shell_portable STATIC ${CMAKE_CURRENT_LIST_DIR}/SelectedData.cpp)
target_link_libraries(velnor_app_shell_portable PUBLIC velnor_host velnor_common)
target_include_directories(velnor_app_shell_portable PUBLIC ${PROJECT_SOURCE_DIR})

if(WIN32)
  include(${PROJECT_SOURCE_DIR}/res/Resources.cmake)

  # Everything of the program but its entry, edition and resources, so that tests can
  # run the application object and the progress window in their own process.
  add_library(velnor_shell STATIC
    ${CMAKE_CURRENT_LIST_DIR}/LinkApp_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RunSequence_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgressDlg_win.cpp
  )
  target_link_libraries(velnor_shell PUBLIC
    velnor_app_shell_portable velnor_app_paths_win velnor_app_portable velnor_conditions
    velnor_aggregation velnor_export velnor_framework velnor_host velnor_common)

  foreach(edition Pro Std)
    add_executable(Velnor${edition} WIN32
      ${CMAKE_CURRENT_LIST_DIR}/WinMain_win.cpp
      ${CMAKE_CURRENT_LIST_DIR}/Edition${edition}.cpp
    )
    target_link_libraries(Velnor${edition} PRIVATE velnor_shell velnor_host_standin)
    velnor_add_resources(Velnor${edition} Velnor${edition})
  endforeach()
endif()
