// The download library's binding: the request record, the progress callback
// type and its four entry points, imported from eboot.dll by ordinal only.
#pragma once

#include <windows.h>

#include <cstddef>

// Progress in percent; the called function removes its argument.
typedef void(__stdcall* ProgressCallback)(int nPercent);

// Crosses into the library by value, so its layout is fixed.
struct DownloadRequest {
    const char* pszImagePath;
    DWORD dwReserved1;
    volatile LONG* pbStop;
    DWORD dwReserved2;
    ProgressCallback pfnProgress;
};

#ifndef _WIN64
static_assert(sizeof(DownloadRequest) == 20, "the library expects five 32-bit fields");
static_assert(offsetof(DownloadRequest, pszImagePath) == 0, "pszImagePath at 0");
static_assert(offsetof(DownloadRequest, dwReserved1) == 4, "dwReserved1 at 4");
static_assert(offsetof(DownloadRequest, pbStop) == 8, "pbStop at 8");
static_assert(offsetof(DownloadRequest, dwReserved2) == 12, "dwReserved2 at 12");
static_assert(offsetof(DownloadRequest, pfnProgress) == 16, "pfnProgress at 16");
#endif

// Handed to the library's teardown; the program itself never touches it.
extern DWORD g_dwTeardownArg;

extern "C" {
int __stdcall Eboot_Prepare(void);                     // ordinal 5
int __stdcall Eboot_Detect(void);                      // ordinal 9
int __stdcall Eboot_Release(DWORD* pArg);              // ordinal 10
int __stdcall Eboot_Download(DownloadRequest request); // ordinal 11: 1 = image written
}
