// Ids of the window room's test resources, shared by the script and the tests.
#pragma once
#define IDD_SAMPLE 100
#define IDD_SAMPLE_EX 101
#define IDD_BROKEN 102
#define IDC_NAME_LABEL 1000
#define IDC_NAME 1001
#define IDC_LOUD 1002
#define IDC_FIRST 1003
#define IDC_SECOND 1004
#define IDC_GROUP 1005
#define IDC_APPLY 1006
#define IDM_POPUP 200
#define IDM_OPEN 40001
#define IDM_SAVE 40002
#define IDM_RECENT 40003
#define IDM_SHUFFLE 40004
#define IDM_REPEAT 40005
#define IDM_EXIT 40006
