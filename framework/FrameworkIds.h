// Numbers the class layer itself gives a meaning to.
#pragma once

// The standard Help command. An application whose message map handles it
// gets PSP_HASHELP on every property page it builds.
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

// String of the executable that names the application, when present.
#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE 0xE000
#endif

// The wizard frame's own buttons, by control number on the sheet window.
#ifndef ID_WIZBACK
#define ID_WIZBACK 0x3023
#endif
#ifndef ID_WIZNEXT
#define ID_WIZNEXT 0x3024
#endif
#ifndef ID_WIZFINISH
#define ID_WIZFINISH 0x3025
#endif
