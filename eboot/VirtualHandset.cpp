// A virtual handset behind eboot.dll's four entry points: the "flash" is a
// file, and entry point 11 writes the image into it chunk by chunk, watching
// the stop flag, then reads it back to verify it. Settings come from
// eboot.ini beside this DLL (section [Handset]); see README.md.
#include "eboot/HandsetResults.h"
#include "engine/EbootApi.h"

#include <cstring>

namespace {

const int kPathChars = 1024;
const DWORD kPollMs = 5;

struct Settings {
    wchar_t szFlash[kPathChars];
    bool bConnected;
    DWORD dwChunkBytes;
    DWORD dwChunkPauseMs;
    ULONGLONG ullCapacity;
};

// Closes a file handle when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : m_h(h) {}
    ~FileHandle() {
        if (IsOpen())
            CloseHandle(m_h);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool IsOpen() const { return m_h != INVALID_HANDLE_VALUE && m_h != nullptr; }
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

// A buffer on the process heap, freed when it goes out of scope.
class HeapBuffer {
public:
    explicit HeapBuffer(SIZE_T cb) : m_p(static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, cb))) {}
    ~HeapBuffer() {
        if (m_p != nullptr)
            HeapFree(GetProcessHeap(), 0, m_p);
    }
    HeapBuffer(const HeapBuffer&) = delete;
    HeapBuffer& operator=(const HeapBuffer&) = delete;
    BYTE* Get() const { return m_p; }

private:
    BYTE* m_p;
};

// The folder of this DLL, with a trailing backslash.
void ModuleFolder(wchar_t* pszOut, int cch) {
    pszOut[0] = L'\0';
    HMODULE hSelf = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&ModuleFolder), &hSelf))
        return;
    const DWORD n = GetModuleFileNameW(hSelf, pszOut, cch);
    if (n == 0 || n >= static_cast<DWORD>(cch)) {
        pszOut[0] = L'\0';
        return;
    }
    wchar_t* pSlash = wcsrchr(pszOut, L'\\');
    if (pSlash != nullptr)
        pSlash[1] = L'\0';
}

bool IsAbsolute(const wchar_t* psz) {
    return (psz[0] != L'\0' && psz[1] == L':') || psz[0] == L'\\' || psz[0] == L'/';
}

Settings ReadSettings() {
    Settings s;
    wchar_t szFolder[kPathChars];
    ModuleFolder(szFolder, kPathChars);
    wchar_t szIni[kPathChars];
    wcsncpy(szIni, szFolder, kPathChars - 1);
    szIni[kPathChars - 1] = L'\0';
    wcsncat(szIni, L"eboot.ini", kPathChars - 1 - wcslen(szIni));

    wchar_t szFlash[kPathChars];
    GetPrivateProfileStringW(L"Handset", L"Flash", L"VirtualHandset.flash", szFlash, kPathChars,
                             szIni);
    s.szFlash[0] = L'\0';
    if (!IsAbsolute(szFlash))
        wcsncpy(s.szFlash, szFolder, kPathChars - 1);
    s.szFlash[kPathChars - 1] = L'\0';
    wcsncat(s.szFlash, szFlash, kPathChars - 1 - wcslen(s.szFlash));

    s.bConnected = GetPrivateProfileIntW(L"Handset", L"Connected", 1, szIni) != 0;
    s.dwChunkBytes = GetPrivateProfileIntW(L"Handset", L"ChunkSize", 32768, szIni);
    if (s.dwChunkBytes == 0 || s.dwChunkBytes > 16u * 1024 * 1024)
        s.dwChunkBytes = 32768;
    s.dwChunkPauseMs = GetPrivateProfileIntW(L"Handset", L"ChunkPauseMs", 100, szIni);
    s.ullCapacity = GetPrivateProfileIntW(L"Handset", L"Capacity", 64u * 1024 * 1024, szIni);
    return s;
}

bool ReadExactly(HANDLE hFile, BYTE* p, DWORD cb) {
    DWORD dwRead = 0;
    return ReadFile(hFile, p, cb, &dwRead, nullptr) && dwRead == cb;
}

bool Rewind(HANDLE hFile) {
    LARGE_INTEGER zero = {};
    return SetFilePointerEx(hFile, zero, nullptr, FILE_BEGIN) != FALSE;
}

// One call of entry point 11.
class Transfer {
public:
    explicit Transfer(const DownloadRequest& request) : m_request(request), m_nLastPercent(-1) {}

    int Run() {
        const Settings settings = ReadSettings();
        if (m_request.pszImagePath == nullptr || m_request.pszImagePath[0] == '\0')
            return kHandsetImageMissing;
        // The path is a multibyte string in the ANSI code page.
        FileHandle image(CreateFileA(m_request.pszImagePath, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size = {};
        if (!image.IsOpen() || !GetFileSizeEx(image.Get(), &size))
            return kHandsetImageMissing;
        if (size.QuadPart == 0)
            return kHandsetEmptyImage;
        if (!settings.bConnected)
            return kHandsetNotConnected;
        if (static_cast<ULONGLONG>(size.QuadPart) > settings.ullCapacity)
            return kHandsetWriteFailed;

        HeapBuffer buffer(2 * static_cast<SIZE_T>(settings.dwChunkBytes));
        if (buffer.Get() == nullptr)
            return kHandsetWriteFailed;
        FileHandle flash(CreateFileW(settings.szFlash, GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!flash.IsOpen())
            return kHandsetWriteFailed;

        const ULONGLONG ullTotal = static_cast<ULONGLONG>(size.QuadPart);
        Report(0);
        const int nWritten = Write(image.Get(), flash.Get(), ullTotal, settings, buffer.Get());
        if (nWritten != kHandsetWritten)
            return nWritten;
        return Verify(image.Get(), flash.Get(), ullTotal, settings, buffer.Get());
    }

private:
    bool StopRequested() const { return m_request.pbStop != nullptr && *m_request.pbStop != 0; }

    // The time the handset takes for a chunk; true when a stop arrived meanwhile.
    bool Pause(DWORD dwMs) const {
        const DWORD dwStart = GetTickCount();
        for (;;) {
            if (StopRequested())
                return true;
            const DWORD dwElapsed = GetTickCount() - dwStart;
            if (dwElapsed >= dwMs)
                return false;
            Sleep(dwMs - dwElapsed < kPollMs ? dwMs - dwElapsed : kPollMs);
        }
    }

    // Reports only rising values, so progress never goes back.
    void Report(int nPercent) {
        if (nPercent <= m_nLastPercent)
            return;
        m_nLastPercent = nPercent;
        if (m_request.pfnProgress != nullptr)
            m_request.pfnProgress(nPercent);
    }

    // Writing is 0..90 percent of the work, reading back the rest.
    static int Percent(ULONGLONG ullDone, ULONGLONG ullTotal, int nFrom, int nSpan) {
        return nFrom + static_cast<int>(ullDone * static_cast<ULONGLONG>(nSpan) / ullTotal);
    }

    int Write(HANDLE hImage, HANDLE hFlash, ULONGLONG ullTotal, const Settings& settings,
              BYTE* pBuffer) {
        ULONGLONG ullDone = 0;
        while (ullDone < ullTotal) {
            if (Pause(settings.dwChunkPauseMs))
                return kHandsetStopped;
            const DWORD cb = static_cast<DWORD>(ullTotal - ullDone < settings.dwChunkBytes
                                                    ? ullTotal - ullDone
                                                    : settings.dwChunkBytes);
            if (!ReadExactly(hImage, pBuffer, cb))
                return kHandsetImageMissing;
            DWORD dwWritten = 0;
            if (!WriteFile(hFlash, pBuffer, cb, &dwWritten, nullptr) || dwWritten != cb)
                return kHandsetWriteFailed;
            ullDone += cb;
            Report(Percent(ullDone, ullTotal, 0, 90));
        }
        if (!FlushFileBuffers(hFlash))
            return kHandsetWriteFailed;
        return kHandsetWritten;
    }

    int Verify(HANDLE hImage, HANDLE hFlash, ULONGLONG ullTotal, const Settings& settings,
               BYTE* pBuffer) {
        LARGE_INTEGER flashSize = {};
        if (!GetFileSizeEx(hFlash, &flashSize) ||
            static_cast<ULONGLONG>(flashSize.QuadPart) != ullTotal)
            return kHandsetVerifyFailed;
        if (!Rewind(hImage))
            return kHandsetImageMissing;
        if (!Rewind(hFlash))
            return kHandsetVerifyFailed;
        BYTE* pFlashChunk = pBuffer + settings.dwChunkBytes;
        ULONGLONG ullDone = 0;
        while (ullDone < ullTotal) {
            if (StopRequested())
                return kHandsetStopped;
            const DWORD cb = static_cast<DWORD>(ullTotal - ullDone < settings.dwChunkBytes
                                                    ? ullTotal - ullDone
                                                    : settings.dwChunkBytes);
            if (!ReadExactly(hImage, pBuffer, cb))
                return kHandsetImageMissing;
            if (!ReadExactly(hFlash, pFlashChunk, cb) || std::memcmp(pBuffer, pFlashChunk, cb) != 0)
                return kHandsetVerifyFailed;
            ullDone += cb;
            Report(Percent(ullDone, ullTotal, 90, 10));
        }
        return kHandsetWritten;
    }

    const DownloadRequest& m_request;
    int m_nLastPercent;
};

} // namespace

// Prepare: nothing to set up for a file-backed handset.
extern "C" int __stdcall Eboot_Prepare(void) {
    return 1;
}

// Detect: 1 when the (virtual) handset is connected.
extern "C" int __stdcall Eboot_Detect(void) {
    return ReadSettings().bConnected ? 1 : 0;
}

// Release: holds nothing between calls, and leaves the caller's value alone.
extern "C" int __stdcall Eboot_Release(DWORD* pArg) {
    (void)pArg;
    return 1;
}

extern "C" int __stdcall Eboot_Download(DownloadRequest request) {
    Transfer transfer(request);
    return transfer.Run();
}
