// Resource ids of the shell's tests.
#pragma once
#define IDR_OKMENU_BAR 110
#define IDR_PLAIN_MENU 120
#define IDS_OK 130
#define IDS_MENU 131
#define IDM_SORT 40001
#define IDM_DELETE 40002
#define IDM_NEW 40003
#define IDM_DONE 40004
