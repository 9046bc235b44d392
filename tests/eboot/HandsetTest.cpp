// The stand-in eboot.dll (a virtual handset), loaded from a private folder
// per test with its own eboot.ini, and called by ordinal as the program does.
#include "eboot/HandsetResults.h"
#include "engine/EbootApi.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

typedef int(__stdcall* PrepareFn)();
typedef int(__stdcall* DetectFn)();
typedef int(__stdcall* ReleaseFn)(DWORD*);
typedef int(__stdcall* DownloadFn)(DownloadRequest);

std::vector<int> g_reports;
std::function<void(int)> g_onReport;

void __stdcall RecordProgress(int nPercent) {
    g_reports.push_back(nPercent);
    if (g_onReport)
        g_onReport(nPercent);
}

std::wstring ExeFolder() {
    wchar_t sz[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, sz, MAX_PATH);
    std::wstring path(sz, n);
    return path.substr(0, path.rfind(L'\\') + 1);
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE hFind = FindFirstFileW((folder + L"*").c_str(), &data);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + L"\\");
            else
                DeleteFileW((folder + name).c_str());
        } while (FindNextFileW(hFind, &data));
        FindClose(hFind);
    }
    RemoveDirectoryW(folder.c_str());
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD dw = 0;
    const BOOL bOk = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &dw, nullptr);
    CloseHandle(h);
    return bOk && dw == bytes.size();
}

bool ReadBytes(const std::wstring& path, std::string* pBytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    pBytes->clear();
    char buf[65536];
    DWORD dw = 0;
    while (ReadFile(h, buf, sizeof(buf), &dw, nullptr) && dw > 0)
        pBytes->append(buf, dw);
    CloseHandle(h);
    return true;
}

LONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Bytes that differ from chunk to chunk, so a misplaced chunk shows.
std::string Image(size_t nBytes) {
    std::string bytes(nBytes, '\0');
    unsigned int x = 12345;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return bytes;
}

std::string Ansi(const std::wstring& wide) {
    char sz[1024];
    BOOL bUsedDefault = FALSE;
    const int n =
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, sz, sizeof(sz), nullptr, &bUsedDefault);
    return n > 0 && !bUsedDefault ? std::string(sz) : std::string();
}

class DownloadLibraryHandset : public ::testing::Test {
protected:
    void SetUp() override {
        g_reports.clear();
        g_onReport = nullptr;
        static LONG s_nFolders = 0;
        wchar_t szTemp[MAX_PATH];
        ASSERT_NE(GetTempPathW(MAX_PATH, szTemp), 0u);
        wchar_t szName[64];
        swprintf(szName, 64, L"handset-%lu-%lu-%ld\\", GetCurrentProcessId(), GetTickCount(),
                 InterlockedIncrement(&s_nFolders));
        m_folder = std::wstring(szTemp) + szName;
        ASSERT_TRUE(CreateDirectoryW(m_folder.c_str(), nullptr));
        const std::wstring dll = m_folder + L"eboot.dll";
        ASSERT_TRUE(CopyFileW((ExeFolder() + L"handset\\eboot.dll").c_str(), dll.c_str(), TRUE));
        m_hLibrary = LoadLibraryW(dll.c_str());
        ASSERT_NE(m_hLibrary, nullptr);
        m_pfnPrepare = Entry<PrepareFn>(5);
        m_pfnDetect = Entry<DetectFn>(9);
        m_pfnRelease = Entry<ReleaseFn>(10);
        m_pfnDownload = Entry<DownloadFn>(11);
        ASSERT_TRUE(m_pfnPrepare && m_pfnDetect && m_pfnRelease && m_pfnDownload);
    }

    void TearDown() override {
        g_onReport = nullptr;
        if (m_hLibrary != nullptr)
            FreeLibrary(m_hLibrary);
        if (!m_folder.empty())
            RemoveTree(m_folder);
    }

    template <typename Fn> Fn Entry(WORD nOrdinal) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(
            m_hLibrary, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(nOrdinal)))));
    }

    void WriteSettings(const std::string& keys) const {
        ASSERT_TRUE(WriteBytes(m_folder + L"eboot.ini", "[Handset]\r\n" + keys));
    }

    int Download(const char* pszImagePath) {
        DownloadRequest request = {};
        request.pszImagePath = pszImagePath;
        request.dwReserved1 = 0xCCCCCCCC;
        request.pbStop = &m_bStop;
        request.dwReserved2 = 0xCCCCCCCC;
        request.pfnProgress = &RecordProgress;
        return m_pfnDownload(request);
    }

    int Download(const std::wstring& image) {
        const std::string narrow = Ansi(image);
        EXPECT_FALSE(narrow.empty()) << "the image path has no ANSI form here";
        return Download(narrow.c_str());
    }

    std::wstring m_folder;
    HMODULE m_hLibrary = nullptr;
    PrepareFn m_pfnPrepare = nullptr;
    DetectFn m_pfnDetect = nullptr;
    ReleaseFn m_pfnRelease = nullptr;
    DownloadFn m_pfnDownload = nullptr;
    volatile LONG m_bStop = 0;
};

TEST_F(DownloadLibraryHandset, WritesAndVerifiesWholeImage) {
    WriteSettings("Flash=flash.bin\r\nChunkSize=4096\r\nChunkPauseMs=0\r\n");
    const std::string image = Image(100003); // not a whole number of chunks
    const std::wstring imagePath = m_folder + L"caf\u00e9 load.bin";
    ASSERT_TRUE(WriteBytes(imagePath, image));

    EXPECT_EQ(Download(imagePath), kHandsetWritten);
    std::string flash;
    ASSERT_TRUE(ReadBytes(m_folder + L"flash.bin", &flash));
    EXPECT_TRUE(flash == image) << "flash holds " << flash.size() << " bytes";

    ASSERT_GE(g_reports.size(), 10u) << "progress should follow the chunks";
    EXPECT_EQ(g_reports.front(), 0);
    EXPECT_EQ(g_reports.back(), 100);
    for (size_t i = 1; i < g_reports.size(); ++i)
        EXPECT_GT(g_reports[i], g_reports[i - 1]) << "report " << i;
}

TEST_F(DownloadLibraryHandset, WorksWithoutSettings) {
    const std::string image = Image(40000);
    ASSERT_TRUE(WriteBytes(m_folder + L"load.bin", image));
    EXPECT_EQ(Download(m_folder + L"load.bin"), kHandsetWritten);
    std::string flash;
    ASSERT_TRUE(ReadBytes(m_folder + L"VirtualHandset.flash", &flash));
    EXPECT_TRUE(flash == image);
    EXPECT_EQ(g_reports.back(), 100);
}

TEST_F(DownloadLibraryHandset, EachFailureHasItsOwnCodeAndSparesTheFlash) {
    ASSERT_TRUE(WriteBytes(m_folder + L"load.bin", Image(2000)));
    ASSERT_TRUE(WriteBytes(m_folder + L"empty.bin", ""));
    ASSERT_TRUE(CreateDirectoryW((m_folder + L"folder.bin").c_str(), nullptr));
    const struct {
        const char* pszWhat;
        const char* pszSettings;
        const wchar_t* pszImage; // null: a null path
        int nResult;
        bool bFlashKept;
    } cases[] = {
        {"missing image", "", L"missing.bin", kHandsetImageMissing, true},
        {"image is a folder", "", L"folder.bin", kHandsetImageMissing, true},
        {"null path", "", nullptr, kHandsetImageMissing, true},
        {"empty image", "", L"empty.bin", kHandsetEmptyImage, true},
        {"no handset", "Connected=0\r\n", L"load.bin", kHandsetNotConnected, true},
        {"image larger than flash", "Capacity=1999\r\n", L"load.bin", kHandsetWriteFailed, true},
        {"flash cannot be written", "Flash=no-such-folder\\flash.bin\r\n", L"load.bin",
         kHandsetWriteFailed, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        ASSERT_TRUE(WriteBytes(m_folder + L"VirtualHandset.flash", "earlier load"));
        WriteSettings(std::string("ChunkPauseMs=0\r\n") + c.pszSettings);
        g_reports.clear();
        const int nResult =
            c.pszImage != nullptr ? Download(m_folder + c.pszImage) : Download(nullptr);
        EXPECT_EQ(nResult, c.nResult);
        EXPECT_NE(nResult, kHandsetWritten);
        if (c.bFlashKept) {
            std::string flash;
            ASSERT_TRUE(ReadBytes(m_folder + L"VirtualHandset.flash", &flash));
            EXPECT_EQ(flash, "earlier load");
            EXPECT_TRUE(g_reports.empty());
        }
    }
    EXPECT_EQ(Download(""), kHandsetImageMissing);
}

TEST_F(DownloadLibraryHandset, VerifyCatchesFlashThatDiffersFromImage) {
    WriteSettings("Flash=flash.bin\r\nChunkSize=1000\r\nChunkPauseMs=0\r\n");
    ASSERT_TRUE(WriteBytes(m_folder + L"load.bin", Image(5000)));
    const std::wstring flash = m_folder + L"flash.bin";
    // 90 percent: every chunk is written and the read-back has not begun.
    g_onReport = [&flash](int nPercent) {
        if (nPercent != 90)
            return;
        HANDLE h = CreateFileW(flash.c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        SetFilePointer(h, 4321, nullptr, FILE_BEGIN);
        DWORD dw = 0;
        WriteFile(h, "XYZ", 3, &dw, nullptr);
        CloseHandle(h);
    };
    EXPECT_EQ(Download(m_folder + L"load.bin"), kHandsetVerifyFailed);
    ASSERT_FALSE(g_reports.empty());
    EXPECT_NE(g_reports.back(), 100);
}

TEST_F(DownloadLibraryHandset, StopsWithinOneChunk) {
    const LONGLONG kChunk = 1000;
    WriteSettings("Flash=flash.bin\r\nChunkSize=1000\r\nChunkPauseMs=5\r\n");
    ASSERT_TRUE(WriteBytes(m_folder + L"load.bin", Image(50000)));
    const std::wstring flash = m_folder + L"flash.bin";
    LONGLONG nWrittenAtStop = -1;
    volatile LONG* pbStop = &m_bStop;
    g_onReport = [&](int nPercent) {
        if (nPercent >= 30 && nWrittenAtStop < 0) {
            nWrittenAtStop = FileSize(flash);
            *pbStop = 1;
        }
    };
    EXPECT_EQ(Download(m_folder + L"load.bin"), kHandsetStopped);
    ASSERT_GE(nWrittenAtStop, 0);
    EXPECT_LE(FileSize(flash) - nWrittenAtStop, kChunk);
    EXPECT_LT(FileSize(flash), 50000);
    EXPECT_LT(g_reports.back(), 100);
}

TEST_F(DownloadLibraryHandset, StopSetBeforeTheCallWritesNothing) {
    WriteSettings("Flash=flash.bin\r\nChunkPauseMs=0\r\n");
    ASSERT_TRUE(WriteBytes(m_folder + L"load.bin", Image(50000)));
    m_bStop = 1;
    EXPECT_EQ(Download(m_folder + L"load.bin"), kHandsetStopped);
    EXPECT_LE(FileSize(m_folder + L"flash.bin"), 0);
}

TEST_F(DownloadLibraryHandset, OtherEntryPointsNeverFailTheCaller) {
    EXPECT_EQ(m_pfnPrepare(), 1);
    EXPECT_EQ(m_pfnDetect(), 1);
    WriteSettings("Connected=0\r\n");
    EXPECT_EQ(m_pfnDetect(), 0) << "no handset is connected";
    DWORD dwArg = 0;
    EXPECT_EQ(m_pfnRelease(&dwArg), 1);
    EXPECT_EQ(dwArg, 0u);
    EXPECT_EQ(m_pfnRelease(nullptr), 1);
}

} // namespace
