// Numbers of the resource set. The program's own resources and every
// language pack use these same numbers.
#pragma once

// Page templates
#define IDD_WELCOME 129
#define IDD_GETTING_STARTED 130
#define IDD_PREPARING_UPDATE 131
#define IDD_UPDATE_NOTICE 132
#define IDD_UPDATING 133
#define IDD_UPDATE_COMPLETE 134

// Strings
#define IDS_WIZARD_CAPTION 102
#define IDS_NEXT 104
#define IDS_FINISH 105
#define IDS_RETRY 106
#define IDS_PRESS_KEY 107
#define IDS_UPDATE_FAILED 108
#define IDS_CANCEL 111

// Pictures
#define IDB_INFO_MARK 135
#define IDB_WARNING_MARK 136
#define IDB_HANDSET 139

// Icon group
#define IDI_UPDATER 128

// Controls addressed by number; every other control is -1
#define IDC_PROGRESS 1000
#define IDC_STATUS_TEXT 1001
#define IDC_IMAGE_PATH 1003
#define IDC_BROWSE 1004
#define IDC_PERCENT 1005
