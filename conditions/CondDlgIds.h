// Resource ids of the conditions dialog (template 130), shared by res/Conditions.rc and
// the code. Plain defines: the resource compiler reads this file too.
#pragma once

#define IDD_CONDITIONS 130

#define IDC_COND_COMPANY_CAPTION 1000
#define IDC_COND_COMPANY_SEP 1001
#define IDC_COND_COMPANY 1002
#define IDC_COND_PERIOD_CAPTION 1003
#define IDC_COND_PERIOD_SEP 1004
#define IDC_COND_PERIOD 1005
#define IDC_COND_COST_CAPTION 1006
#define IDC_COND_COST_SEP 1007
#define IDC_COND_COST 1008
#define IDC_COND_BUSINESS_GROUP 1009
#define IDC_COND_GENERAL 1010
#define IDC_COND_REALESTATE 1011
#define IDC_COND_BOTH 1012
#define IDC_COND_OUTPUT_GROUP 1013
#define IDC_COND_OUTPUT 1014
#define IDC_COND_BROWSE 1015
