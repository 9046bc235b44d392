// The download thread against the scriptable double of eboot.dll, reporting
// to real windows of the test's thread.
#include "engine/CDownloadThread.h"
#include "engine/CFlashDownloader.h"
#include "engine/DownloadMessages.h"
#include "framework/CWnd.h"
#include "tests/engine/ImportPatch.h"
#include "tests/engine/MessageWindow.h"
#include "tests/engine/TestSupport.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Stands for the Updating page: the engine only reads its window handle.
struct PageStandIn {
    explicit PageStandIn(HWND hWnd) { page.m_hWnd = hWnd; }
    ~PageStandIn() { page.m_hWnd = nullptr; } // the window is not the object's to detach
    CWnd page;
};

class DownloadThreadTest : public EbootDoubleTest {
protected:
    void SetUp() override {
        EbootDoubleTest::SetUp();
        WriteScript("progress=0,50,100\nstep_ms=0\n");
        ASSERT_NE(window.Handle(), nullptr);
        ASSERT_NE(otherWindow.Handle(), nullptr);
        thread.SetDownloader(&downloader);
        thread.SetPage(&page.page);
    }
    void TearDown() override {
        // Nothing may be left running into the next test.
        ASSERT_TRUE(thread.WaitUntilFinished(20000));
        EbootDoubleTest::TearDown();
    }

    MessageWindow window;
    MessageWindow otherWindow;
    PageStandIn page{window.Handle()};
    CFlashDownloader downloader;
    CDownloadThread thread;
};

TEST_F(DownloadThreadTest, EachAttemptPostsItsResultExactlyOnce) {
    WriteScript("results=1,0,2,-1\nprogress=0,100\nstep_ms=0\n");
    const WPARAM expected[] = {1, 0, 0, 0};
    DWORD dwPreviousThreadId = 0;
    for (size_t i = 0; i < 4; ++i) {
        ASSERT_EQ(thread.Start(), 1);
        ASSERT_NE(thread.GetThreadHandle(), nullptr);
        const DWORD dwThreadId = GetThreadId(thread.GetThreadHandle());
        EXPECT_NE(dwThreadId, dwPreviousThreadId) << "each attempt runs on a thread of its own";
        dwPreviousThreadId = dwThreadId;
        ASSERT_TRUE(window.PumpUntilDone(i + 1, 10000)) << "attempt " << i + 1;
        ASSERT_TRUE(thread.WaitUntilFinished(10000));
    }
    MessageWindow::Pump(200);
    const std::vector<RecordedMessage> done = window.DoneMessages();
    ASSERT_EQ(done.size(), 4u);
    for (size_t i = 0; i < done.size(); ++i) {
        EXPECT_EQ(done[i].message, 0x040Bu);
        EXPECT_EQ(done[i].wParam, expected[i]) << "attempt " << i + 1;
        EXPECT_EQ(done[i].lParam, 0);
    }
    const std::vector<std::string> once = {"call 5", "call 9", "call 11"};
    std::vector<std::string> calls;
    for (int i = 0; i < 4; ++i)
        calls.insert(calls.end(), once.begin(), once.end());
    EXPECT_EQ(Calls(), calls);
}

TEST_F(DownloadThreadTest, RetryHoldsOnlyTheNewThreadHandle) {
    ASSERT_EQ(thread.Start(), 1);
    ASSERT_TRUE(window.PumpUntilDone(1, 10000));
    ASSERT_TRUE(thread.WaitUntilFinished(10000));
    const HANDLE hFirst = thread.GetThreadHandle();
    ASSERT_EQ(thread.Start(), 1);
    const HANDLE hSecond = thread.GetThreadHandle();
    ASSERT_TRUE(window.PumpUntilDone(2, 10000));
    // The first handle was released: it is either reused for the second
    // thread or names no thread any more.
    if (hSecond != hFirst) {
        EXPECT_EQ(GetThreadId(hFirst), 0u) << "the first thread's handle leaked";
    }
    EXPECT_NE(GetThreadId(hSecond), 0u);
}

TEST_F(DownloadThreadTest, DestructionReleasesTheThreadHandle) {
    HANDLE hThread = nullptr;
    {
        CDownloadThread local;
        local.SetDownloader(&downloader);
        local.SetPage(&page.page);
        ASSERT_EQ(local.Start(), 1);
        hThread = local.GetThreadHandle();
        ASSERT_TRUE(window.PumpUntilDone(1, 10000));
        ASSERT_TRUE(local.WaitUntilFinished(10000));
    }
    EXPECT_EQ(GetThreadId(hThread), 0u);
}

TEST(DownloadThreadUnlinked, RequestStopAndStartNeedADownloader) {
    CDownloadThread thread;
    EXPECT_EQ(thread.RequestStop(), 0);
    EXPECT_EQ(thread.Start(), 0);
    EXPECT_EQ(thread.GetThreadHandle(), nullptr);
    EXPECT_TRUE(thread.WaitUntilFinished(0));
}

TEST_F(DownloadThreadTest, StopAfterDownloadRestsUntilNextDownloadClearsIt) {
    ASSERT_EQ(thread.Start(), 1);
    ASSERT_TRUE(window.PumpUntilDone(1, 10000));
    EXPECT_EQ(thread.RequestStop(), 1);
    EXPECT_EQ(downloader.GetStopFlag(), 1);
    ASSERT_TRUE(thread.WaitUntilFinished(10000));

    ASSERT_EQ(thread.Start(), 1);
    ASSERT_TRUE(window.PumpUntilDone(2, 10000));
    EXPECT_EQ(window.DoneMessages()[1].wParam, 1u) << "the retry must not be stopped";
    const std::vector<std::string> downloads = DownloadCalls();
    ASSERT_EQ(downloads.size(), 2u);
    EXPECT_NE(downloads[1].find(" stop=0 "), std::string::npos) << downloads[1];
}

HANDLE WINAPI FailingCreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID,
                                  DWORD, LPDWORD) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

TEST_F(DownloadThreadTest, ThreadThatCannotBeCreatedPostsNothing) {
    {
        ImportPatch patch("kernel32.dll", "CreateThread",
                          reinterpret_cast<void*>(&FailingCreateThread));
        ASSERT_TRUE(patch.IsApplied());
        EXPECT_EQ(thread.Start(), 0);
    }
    EXPECT_EQ(thread.GetThreadHandle(), nullptr);
    MessageWindow::Pump(300);
    EXPECT_TRUE(window.DoneMessages().empty());
    EXPECT_TRUE(Calls().empty());
    EXPECT_TRUE(thread.WaitUntilFinished(0));
}

TEST_F(DownloadThreadTest, PageWindowIsTakenWhenTheDownloadEnds) {
    WriteScript("progress=\nhold=1\nstop=honour\n");
    ASSERT_EQ(thread.Start(), 1);
    ASSERT_TRUE(WaitForLine("call 11", 10000));
    page.page.m_hWnd = otherWindow.Handle();
    thread.RequestStop();
    ASSERT_TRUE(otherWindow.PumpUntilDone(1, 10000));
    MessageWindow::Pump(100);
    EXPECT_TRUE(window.DoneMessages().empty());
    ASSERT_EQ(otherWindow.DoneMessages().size(), 1u);
    EXPECT_EQ(otherWindow.DoneMessages()[0].wParam, 0u);
}

TEST_F(DownloadThreadTest, WaitUntilFinishedWaitsForTheRunningDownload) {
    WriteScript("progress=\nhold=1\nstop=honour\n");
    ASSERT_EQ(thread.Start(), 1);
    ASSERT_TRUE(WaitForLine("call 11", 10000));
    EXPECT_FALSE(thread.WaitUntilFinished(200));
    thread.RequestStop();
    EXPECT_TRUE(thread.WaitUntilFinished(10000));
    EXPECT_EQ(LogLines().back(), "return 11 3");
}

HWND g_hProgressWindow = nullptr;

// Like the Updating page: each report is a message sent to a window of the
// thread that started the download.
void __stdcall SendProgress(int nPercent) {
    SendMessageW(g_hProgressWindow, WM_APP, static_cast<WPARAM>(nPercent), 0);
}

TEST_F(DownloadThreadTest, WaitUntilFinishedHandlesProgressSentMeanwhile) {
    WriteScript("progress=0,25,50,75,100\nstep_ms=10\n");
    g_hProgressWindow = window.Handle();
    downloader.SetProgressCallback(&SendProgress);
    ASSERT_EQ(thread.Start(), 1);
    EXPECT_TRUE(thread.WaitUntilFinished(10000)) << "the reports were never handled";
    std::vector<WPARAM> reported;
    for (const RecordedMessage& m : window.Messages()) {
        if (m.message == WM_APP)
            reported.push_back(m.wParam);
    }
    EXPECT_EQ(reported, (std::vector<WPARAM>{0, 25, 50, 75, 100}));
    // The posted result waits in the queue for the message loop.
    EXPECT_TRUE(window.PumpUntilDone(1, 10000));
}

ImportPatch* g_pExecutionStatePatch = nullptr;
std::wstring g_executionStateLog;

EXECUTION_STATE WINAPI RecordExecutionState(EXECUTION_STATE esFlags) {
    char line[64];
    std::snprintf(line, sizeof(line), "execution-state %lx thread %lu\n",
                  static_cast<unsigned long>(esFlags), GetCurrentThreadId());
    HANDLE hFile = CreateFileW(g_executionStateLog.c_str(), FILE_APPEND_DATA,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile != INVALID_HANDLE_VALUE) {
        DWORD dwWritten = 0;
        WriteFile(hFile, line, static_cast<DWORD>(std::strlen(line)), &dwWritten, nullptr);
        CloseHandle(hFile);
    }
    typedef EXECUTION_STATE(WINAPI * Fn)(EXECUTION_STATE);
    return reinterpret_cast<Fn>(g_pExecutionStatePatch->Original())(esFlags);
}

TEST_F(DownloadThreadTest, KeepsSystemAwakeOnlyWhileTransferRuns) {
    g_executionStateLog = m_log;
    ImportPatch patch("kernel32.dll", "SetThreadExecutionState",
                      reinterpret_cast<void*>(&RecordExecutionState));
    ASSERT_TRUE(patch.IsApplied());
    g_pExecutionStatePatch = &patch;
    ASSERT_EQ(thread.Start(), 1);
    const DWORD dwThreadId = GetThreadId(thread.GetThreadHandle());
    ASSERT_TRUE(window.PumpUntilDone(1, 10000));
    ASSERT_TRUE(thread.WaitUntilFinished(10000));
    g_pExecutionStatePatch = nullptr;

    std::vector<std::string> lines;
    for (const std::string& line : LogLines()) {
        if (line.compare(0, 5, "call ") == 0)
            lines.push_back(line.substr(0, line.find(' ', 5)));
        else if (line.compare(0, 16, "execution-state ") == 0 ||
                 line.compare(0, 10, "return 11 ") == 0)
            lines.push_back(line);
    }
    const std::string onThread = " thread " + std::to_string(dwThreadId);
    EXPECT_EQ(lines, (std::vector<std::string>{"execution-state 80000001" + onThread, "call 5",
                                               "call 9", "call 11", "return 11 1",
                                               "execution-state 80000000" + onThread}));
}

} // namespace
