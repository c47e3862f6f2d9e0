// Ids of the dialog template that the framework tests run.
#pragma once

#define IDD_FRAMEWORK_TEST 9001
#define IDC_TEST_EDIT 9010
#define IDC_TEST_EXTRA 9011
#define IDD_MISSING 9099
