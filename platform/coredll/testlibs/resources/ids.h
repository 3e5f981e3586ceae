// Ids of the test program's resources, shared by its script and its tests.
#define IDS_CUSTOM 117
#define IDS_NEUTRAL 118
#define IDS_LONG 40088
#define IDM_MAIN 134
#define IDB_LOGO 139
#define IDB_PALETTE 140
#define IDB_SHORT 141
#define IDI_APP 105
#define IDR_TABLE 300
#define IDR_SCHEMA 107
#define IDD_ABOUT 115
#define IDD_TAGS 116
#define IDC_TITLE 1001
#define IDC_LIST 1002
