# The remembered destination file and the dialog's decisions: portable, so that they are
# tested natively as well.
add_library(velnor_conditions_env STATIC ${CMAKE_CURRENT_LIST_DIR}/EnvFile.cpp)
target_link_libraries(velnor_conditions_env PUBLIC velnor_common velnor_host velnor_app_portable)
target_include_directories(velnor_conditions_env PUBLIC ${PROJECT_SOURCE_DIR})

add_library(velnor_conditions_rules STATIC ${CMAKE_CURRENT_LIST_DIR}/CondRules.cpp)
target_link_libraries(velnor_conditions_rules PUBLIC
  velnor_common velnor_app_portable velnor_conditions_paths)

# The conditions dialog; its template is in res/Conditions.rc.
if(WIN32)
  add_library(velnor_conditions STATIC ${CMAKE_CURRENT_LIST_DIR}/CondDlg_win.cpp)
  target_link_libraries(velnor_conditions PUBLIC
    velnor_conditions_env velnor_conditions_rules velnor_framework velnor_host)
endif()
