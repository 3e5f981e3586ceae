// Resource ids of the common-control tests.
#pragma once
#define IDD_PAGE_EX 300
#define IDS_PAGE_TITLE 301
#define IDC_PAGE_CHECK 1300
