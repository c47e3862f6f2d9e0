velnor_add_test(conditions_env_tests
  SOURCES EnvFileTest.cpp TempFolder.cpp
  LIBS velnor_conditions_env velnor_host_standin)

velnor_add_test(conditions_rules_tests
  SOURCES CondRulesTest.cpp
  LIBS velnor_conditions_rules)
