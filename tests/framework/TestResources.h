// Numbers of the test program's resources and of its second resource module.
#pragma once

// Page templates. Both modules hold the first three under the same numbers
// with different texts; only the program holds the last.
#define IDD_TEST_FIRST 301
#define IDD_TEST_SECOND 302
#define IDD_TEST_THIRD_EX 303
#define IDD_TEST_FOURTH 304
#define IDD_TEST_PROGRAM_ONLY 305

// Controls of the templates
#define IDC_TEST_LABEL 1101
#define IDC_TEST_EDIT 1102
#define IDC_TEST_BUTTON 1103
#define IDC_TEST_PROGRESS 1104
#define IDC_TEST_PICTURE 1105

// Strings
#define IDS_TEST_SHORT 401
#define IDS_TEST_LONG 402
#define IDS_TEST_PROGRAM_ONLY 403
#define IDS_TEST_CAPTION 404

// Pictures; the icon is in the program only.
#define IDB_TEST_SQUARE 601
#define IDI_TEST_PROGRAM_ONLY 501

// The second module's file.
#define TEST_SECOND_MODULE L"FrameworkSecond.dll"
