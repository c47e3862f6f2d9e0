velnor_add_test(conditions_env_tests
  SOURCES EnvFileTest.cpp TempFolder.cpp
  LIBS velnor_conditions_env)
