# The conditions dialog on real windows under Wine, with its template from the resources.
if(WIN32)
  if(NOT COMMAND velnor_add_resources)
    include(${PROJECT_SOURCE_DIR}/res/Resources.cmake)
  endif()
  velnor_add_test(conditions_dialog_tests WINE_ONLY
    SOURCES CondDlgTest.cpp TempFolder.cpp
    LIBS velnor_conditions velnor_host_standin)
  velnor_add_resources(conditions_dialog_tests VelnorPro)
endif()
