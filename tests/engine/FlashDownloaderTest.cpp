// The downloader against the scriptable double of eboot.dll.
#include "engine/CFlashDownloader.h"
#include "tests/engine/TestSupport.h"

#include <mutex>
#include <string>
#include <vector>

namespace {

std::mutex g_progressLock;
std::vector<int> g_progressA;
std::vector<int> g_progressB;

void __stdcall ProgressA(int nPercent) {
    std::lock_guard<std::mutex> lock(g_progressLock);
    g_progressA.push_back(nPercent);
}

void __stdcall ProgressB(int nPercent) {
    std::lock_guard<std::mutex> lock(g_progressLock);
    g_progressB.push_back(nPercent);
}

class FlashDownloaderTest : public EbootDoubleTest {
protected:
    void SetUp() override {
        EbootDoubleTest::SetUp();
        g_progressA.clear();
        g_progressB.clear();
    }
};

// Runs CFlashDownloader::Download on a thread of its own, as the program does.
class DownloadOnThread {
public:
    explicit DownloadOnThread(CFlashDownloader& downloader)
        : m_downloader(downloader),
          m_hThread(CreateThread(nullptr, 0, &DownloadOnThread::Proc, this, 0, nullptr)) {}
    ~DownloadOnThread() {
        if (m_hThread != nullptr) {
            WaitForSingleObject(m_hThread, INFINITE);
            CloseHandle(m_hThread);
        }
    }
    bool Join(DWORD dwTimeoutMs) { return WaitForSingleObject(m_hThread, dwTimeoutMs) == 0; }
    int Result() const { return m_nResult; }

private:
    static DWORD WINAPI Proc(LPVOID p) {
        DownloadOnThread* self = static_cast<DownloadOnThread*>(p);
        self->m_nResult = self->m_downloader.Download();
        return 0;
    }
    CFlashDownloader& m_downloader;
    int m_nResult = -100;
    HANDLE m_hThread;
};

TEST_F(FlashDownloaderTest, LibraryGetsTerminatedEmptyPathBeforeAnyImageIsChosen) {
    WriteScript("progress=\nstep_ms=0\n");
    CFlashDownloader downloader;
    EXPECT_STREQ(downloader.GetImagePath(), L".\\FLASH.bin");
    EXPECT_EQ(downloader.Download(), 1);
    ASSERT_EQ(DownloadCalls().size(), 1u);
    EXPECT_EQ(DownloadCalls()[0], "call 11 path= stop=0 cb=0");
}

TEST_F(FlashDownloaderTest, RequestCarriesNarrowPathFlagAndCallback) {
    WriteScript("progress=0,50,100\nstep_ms=0\n");
    CFlashDownloader downloader;
    ASSERT_EQ(downloader.SetImagePath(L"C:\\loads\\R530.bin"), 1);
    EXPECT_STREQ(downloader.GetImagePathA(), "C:\\loads\\R530.bin");
    ASSERT_EQ(downloader.SetProgressCallback(&ProgressA), 1);
    EXPECT_EQ(downloader.Download(), 1);
    EXPECT_EQ(DownloadCalls(), std::vector<std::string>{
                                   "call 11 path=" + Hex("C:\\loads\\R530.bin") + " stop=0 cb=1"});
    EXPECT_EQ(g_progressA, (std::vector<int>{0, 50, 100}));
}

TEST_F(FlashDownloaderTest, NullPathChangesNeitherForm) {
    CFlashDownloader downloader;
    ASSERT_EQ(downloader.SetImagePath(L"C:\\loads\\first.bin"), 1);
    EXPECT_EQ(downloader.SetImagePath(nullptr), 0);
    EXPECT_STREQ(downloader.GetImagePath(), L"C:\\loads\\first.bin");
    EXPECT_STREQ(downloader.GetImagePathA(), "C:\\loads\\first.bin");
}

TEST_F(FlashDownloaderTest, NullCallbackKeepsTheEarlierOne) {
    WriteScript("progress=0,100\nstep_ms=0\n");
    CFlashDownloader downloader;
    ASSERT_EQ(downloader.SetProgressCallback(&ProgressA), 1);
    EXPECT_EQ(downloader.SetProgressCallback(nullptr), 0);
    downloader.Download();
    ASSERT_EQ(downloader.SetProgressCallback(&ProgressB), 1);
    downloader.Download();
    EXPECT_EQ(g_progressA, (std::vector<int>{0, 100}));
    EXPECT_EQ(g_progressB, (std::vector<int>{0, 100}));
}

TEST_F(FlashDownloaderTest, OnlyLibraryResultOneIsSuccessAndRawValueIsKept) {
    WriteScript("results=1,0,2,-1\nprogress=\nstep_ms=0\n");
    CFlashDownloader downloader;
    ASSERT_EQ(downloader.SetImagePath(L"C:\\loads\\R530.bin"), 1);
    const struct {
        int nLibrary;
        int nDownload;
    } cases[] = {{1, 1}, {0, 0}, {2, 0}, {-1, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(downloader.Download(), c.nDownload) << "library returned " << c.nLibrary;
        EXPECT_EQ(downloader.GetResult(), c.nLibrary);
    }
    // Every attempt, the retries included, prepares and detects first.
    const std::vector<std::string> once = {"call 5", "call 9", "call 11"};
    std::vector<std::string> expected;
    for (int i = 0; i < 4; ++i)
        expected.insert(expected.end(), once.begin(), once.end());
    EXPECT_EQ(Calls(), expected);
}

TEST_F(FlashDownloaderTest, StopRequestedBetweenDownloadsIsClearedBeforeTransfer) {
    WriteScript("progress=0,100\nstep_ms=0\nstop=honour\n");
    CFlashDownloader downloader;
    EXPECT_EQ(downloader.RequestStop(), 1);
    EXPECT_EQ(downloader.GetStopFlag(), 1);
    EXPECT_EQ(downloader.Download(), 1);
    EXPECT_EQ(downloader.GetResult(), 1);
    ASSERT_EQ(DownloadCalls().size(), 1u);
    EXPECT_NE(DownloadCalls()[0].find(" stop=0 "), std::string::npos) << DownloadCalls()[0];
}

TEST_F(FlashDownloaderTest, StopDuringTransferReachesLibraryThroughFlag) {
    WriteScript("progress=\nhold=1\nstop=honour\nresults=1\n");
    CFlashDownloader downloader;
    DownloadOnThread run(downloader);
    ASSERT_TRUE(WaitForLine("call 11", 10000));
    EXPECT_FALSE(run.Join(100)) << "the double should hold until the flag is set";
    EXPECT_EQ(downloader.RequestStop(), 1);
    ASSERT_TRUE(run.Join(10000));
    EXPECT_EQ(run.Result(), 0);
    EXPECT_EQ(downloader.GetResult(), 3);
    const std::vector<std::string> lines = LogLines();
    EXPECT_EQ(lines.back(), "return 11 3");
    EXPECT_EQ(lines[lines.size() - 2], "stop-seen");
}

// A path the library cannot be given whole must not leave an earlier path
// behind, nor a truncated one that might name another file.
TEST_F(FlashDownloaderTest, PathTooLongForNarrowFormIsRefused) {
    const struct {
        size_t nChars;
        int nResult;
    } cases[] = {{259, 1}, {260, 0}, {519, 0}, {520, 0}, {2000, 0}};
    WriteScript("progress=\nstep_ms=0\n");
    for (const auto& c : cases) {
        CFlashDownloader downloader;
        ASSERT_EQ(downloader.SetImagePath(L"C:\\loads\\R530.bin"), 1);
        std::wstring path = L"C:\\no-such-folder\\";
        path += std::wstring(c.nChars - path.size() - 4, L'x') + L".bin";
        ASSERT_EQ(path.size(), c.nChars);
        EXPECT_EQ(downloader.SetImagePath(path.c_str()), c.nResult) << c.nChars << " characters";
        if (c.nResult == 1) {
            EXPECT_EQ(std::string(downloader.GetImagePathA()),
                      std::string(path.begin(), path.end()));
        } else {
            EXPECT_STREQ(downloader.GetImagePathA(), "") << c.nChars << " characters";
            downloader.Download();
            EXPECT_EQ(DownloadCalls().back(), "call 11 path= stop=0 cb=0");
        }
    }
}

} // namespace
