// Resource ids of the program, shared by the resource scripts and the code.
#pragma once

// Program: icon and the version text that the export writes.
#define IDR_MAINFRAME 128
#define IDS_VERSION 1

// Progress window.
#define IDD_PROGRESS 131
#define IDC_PROGRESS_OVERALL 1018
#define IDC_PROGRESS_ACTIVITY 1019
