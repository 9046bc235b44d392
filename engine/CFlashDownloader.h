// Holds what one firmware download needs and runs it through eboot.dll.
#pragma once

#include "engine/EbootApi.h"

// The C run time's locale and the code page of the narrow image path that
// the library receives, chosen by the system's default language.
struct CodePageChoice {
    const char* pszLocale; // for setlocale, e.g. ".936"
    UINT nCodePage;
};

CodePageChoice CodePageForLanguage(LANGID langId);

class CFlashDownloader {
public:
    CFlashDownloader();
    virtual ~CFlashDownloader();

    CFlashDownloader(const CFlashDownloader&) = delete;
    CFlashDownloader& operator=(const CFlashDownloader&) = delete;

    int SetProgressCallback(ProgressCallback pfnProgress);
    int SetImagePath(const wchar_t* pszPath);
    static void SelectCodePage();
    int Download();
    int RequestStop();

    // Read-only views of the state, for tests and diagnostics.
    int GetResult() const { return m_nResult; }
    LONG GetStopFlag() const { return m_bStop; }
    const wchar_t* GetImagePath() const { return m_szImagePath; }
    const char* GetImagePathA() const { return m_szImagePathA; }

    enum { kWidePathChars = 520, kNarrowPathBytes = 260 };

private:
    bool StoreNarrowPath(UINT nCodePage);

    int m_nResult;
    volatile LONG m_bStop;
    wchar_t m_szImagePath[kWidePathChars];
    char m_szImagePathA[kNarrowPathBytes];
    ProgressCallback m_pfnProgress;
    DownloadRequest m_request;
};
