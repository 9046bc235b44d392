#include "engine/CFlashDownloader.h"

#include <clocale>
#include <cstring>
#include <cwchar>

namespace {

const wchar_t kDefaultImagePath[] = L".\\FLASH.bin";

// Worst case of the code pages in use: two bytes per UTF-16 unit.
const int kConvertBytes = 2 * CFlashDownloader::kWidePathChars;

struct Conversion {
    int nBytes;  // bytes written, terminator included; 0 when it failed
    bool bLossy; // a character had no exact counterpart
};

// No best-fit mapping: a look-alike character could name some other file,
// while the default character ('?') names none.
Conversion ConvertPath(UINT nCodePage, const wchar_t* pszWide, char* pszOut, int cbOut) {
    BOOL bUsedDefault = FALSE;
    const bool bUtf = nCodePage == CP_UTF7 || nCodePage == CP_UTF8;
    const int nBytes = WideCharToMultiByte(nCodePage, bUtf ? 0 : WC_NO_BEST_FIT_CHARS, pszWide, -1,
                                           pszOut, cbOut, nullptr, bUtf ? nullptr : &bUsedDefault);
    return Conversion{nBytes, bUsedDefault != FALSE};
}

// The code page of the C run time's current locale, which setlocale chose.
UINT CrtCodePage(UINT nFallback) {
    const UINT nCodePage = ___lc_codepage_func();
    return nCodePage != 0 ? nCodePage : nFallback;
}

} // namespace

CodePageChoice CodePageForLanguage(LANGID langId) {
    switch (langId) {
    case 0x0404: // Chinese, Taiwan
    case 0x0C04: // Chinese, Hong Kong SAR
        return CodePageChoice{".950", 950};
    case 0x0804: // Chinese, People's Republic of China
        return CodePageChoice{".936", 936};
    case 0x0419: // Russian
        return CodePageChoice{".1251", 1251};
    default:
        return CodePageChoice{".1252", 1252};
    }
}

CFlashDownloader::CFlashDownloader()
    : m_nResult(0), m_bStop(0), m_szImagePath(), m_szImagePathA(), m_pfnProgress(nullptr),
      m_request() {
    std::memcpy(m_szImagePath, kDefaultImagePath, sizeof(kDefaultImagePath));
}

CFlashDownloader::~CFlashDownloader() = default;

int CFlashDownloader::SetProgressCallback(ProgressCallback pfnProgress) {
    if (pfnProgress == nullptr)
        return 0;
    m_pfnProgress = pfnProgress;
    return 1;
}

int CFlashDownloader::SetImagePath(const wchar_t* pszPath) {
    if (pszPath == nullptr)
        return 0;
    const size_t nChars = wcsnlen(pszPath, kWidePathChars);
    if (nChars >= kWidePathChars) {
        // Too long to hold: keeping the earlier narrow path would download
        // a file the user did not choose, so the next download must fail.
        m_szImagePath[0] = L'\0';
        m_szImagePathA[0] = '\0';
        return 0;
    }
    std::memcpy(m_szImagePath, pszPath, (nChars + 1) * sizeof(wchar_t));
    SelectCodePage();
    const UINT nCodePage = CrtCodePage(CodePageForLanguage(GetSystemDefaultLangID()).nCodePage);
    return StoreNarrowPath(nCodePage) ? 1 : 0;
}

void CFlashDownloader::SelectCodePage() {
    setlocale(LC_ALL, CodePageForLanguage(GetSystemDefaultLangID()).pszLocale);
}

bool CFlashDownloader::StoreNarrowPath(UINT nCodePage) {
    char szConverted[kConvertBytes];
    const Conversion full = ConvertPath(nCodePage, m_szImagePath, szConverted, kConvertBytes);
    const bool bFits = full.nBytes > 0 && full.nBytes <= kNarrowPathBytes;
    if (bFits && !full.bLossy) {
        std::memcpy(m_szImagePathA, szConverted, full.nBytes);
        return true;
    }

    // The library could not open the path as it stands; the file's short
    // name is the same file and may fit and convert exactly.
    wchar_t szShort[kWidePathChars];
    const DWORD nShort = GetShortPathNameW(m_szImagePath, szShort, kWidePathChars);
    if (nShort > 0 && nShort < static_cast<DWORD>(kWidePathChars)) {
        const Conversion alias = ConvertPath(nCodePage, szShort, szConverted, kConvertBytes);
        if (alias.nBytes > 0 && alias.nBytes <= kNarrowPathBytes && !alias.bLossy) {
            std::memcpy(m_szImagePathA, szConverted, alias.nBytes);
            return true;
        }
    }

    if (bFits) {
        // Substitute characters in place: names no file, so the download fails.
        ConvertPath(nCodePage, m_szImagePath, m_szImagePathA, kNarrowPathBytes);
        return true;
    }

    // Never a truncated path, which could name some other file.
    m_szImagePathA[0] = '\0';
    return false;
}

int CFlashDownloader::Download() {
    Eboot_Prepare();
    Eboot_Detect();
    m_request.pszImagePath = m_szImagePathA;
    m_request.pbStop = &m_bStop;
    m_request.pfnProgress = m_pfnProgress;
    InterlockedExchange(&m_bStop, 0);
    m_nResult = Eboot_Download(m_request);
    return m_nResult == 1 ? 1 : 0;
}

int CFlashDownloader::RequestStop() {
    InterlockedExchange(&m_bStop, 1);
    return 1;
}
