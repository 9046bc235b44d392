// Only one copy runs: a later start brings the running wizard to the front
// and ends, showing nothing of its own; a name taken by another kind of object
// stops the program silently.
#include "StartupTest.h"

#include "RemoteWindow.h"

using namespace wizdriver;

namespace startup {
namespace {

using StartupSingleCopy = StartupTest;

// A plain window of the test's own, put in front of the wizard.
class DecoyWindow {
public:
    DecoyWindow() {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"StartupDecoy";
        RegisterClassW(&windowClass);
        m_hwnd = CreateWindowExW(0, L"StartupDecoy", L"Decoy", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                                 40, 500, 400, nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    DecoyWindow(const DecoyWindow&) = delete;
    DecoyWindow& operator=(const DecoyWindow&) = delete;
    ~DecoyWindow() {
        if (m_hwnd)
            DestroyWindow(m_hwnd);
    }
    HWND Handle() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
};

// Runs a copy that must not show a wizard: it ends within a few seconds and no
// window of it is ever visible.
void ExpectSilentShortRun(blackbox::ChildProcess& copy) {
    ASSERT_NE(0u, copy.Id()) << "the copy was not started";
    bool showedSomething = false;
    const bool ended = WaitPumping(
        [&] {
            showedSomething = showedSomething || !VisibleWindowsOf(copy.Id()).empty();
            return !copy.Running();
        },
        kShortRunMs);
    EXPECT_TRUE(ended) << "the copy did not end within " << kShortRunMs << " ms";
    EXPECT_FALSE(showedSomething) << "the copy showed a window of its own";
}

TEST_F(StartupSingleCopy, SecondStartBringsTheRunningWizardToTheFrontAndEnds) {
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    // Somewhere other than the first page, to see that the running copy's state stays.
    ASSERT_TRUE(m_wizard.Click(kNextId));
    ASSERT_TRUE(m_wizard.WaitForPage(1, kShortRunMs));
    DecoyWindow decoy;
    ASSERT_NE(nullptr, decoy.Handle());

    struct Case {
        const char* what;
        bool minimised;
    };
    const Case cases[] = {{"minimised, another window in front", true},
                          {"already in front", false}};
    const HWND wizard = m_wizard.Handle();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.minimised) {
            ShowWindow(wizard, SW_MINIMIZE);
            SetForegroundWindow(decoy.Handle());
            ASSERT_TRUE(WaitPumping(
                [&] { return IsIconic(wizard) && GetForegroundWindow() == decoy.Handle(); },
                kShortRunMs))
                << "could not minimise the wizard and put the decoy in front";
        } else {
            SetForegroundWindow(wizard);
            ASSERT_TRUE(WaitPumping([&] { return GetForegroundWindow() == wizard; }, kShortRunMs));
        }

        blackbox::ChildProcess& second = Start();
        ASSERT_NO_FATAL_FAILURE(ExpectSilentShortRun(second));
        EXPECT_TRUE(WaitPumping(
            [&] {
                return !IsIconic(wizard) && IsWindowVisible(wizard) &&
                       GetForegroundWindow() == wizard;
            },
            2000))
            << "iconic " << IsIconic(wizard) << " visible " << IsWindowVisible(wizard)
            << " in front " << (GetForegroundWindow() == wizard);
        EXPECT_TRUE(m_processes.front()->Running());
        EXPECT_EQ(1, m_wizard.ActivePageIndex());
        EXPECT_EQ(std::vector<HWND>{wizard}, PhoneWindows());
    }
}

TEST_F(StartupSingleCopy, TenStartsCloseTogetherShowOneWizard) {
    std::vector<blackbox::ChildProcess*> copies;
    for (int i = 0; i < 10; ++i)
        copies.push_back(&Start());
    m_wizard = WizardWindow::WaitForWizard(kStartTimeoutMs);
    ASSERT_TRUE(m_wizard.Exists()) << "none of the copies showed a wizard";

    auto running = [&] {
        int count = 0;
        for (blackbox::ChildProcess* copy : copies)
            count += copy->Running() ? 1 : 0;
        return count;
    };
    auto shownWindows = [&] {
        size_t count = 0;
        for (blackbox::ChildProcess* copy : copies)
            count += VisibleWindowsOf(copy->Id()).size();
        return count;
    };
    bool oneWizard = true;
    const bool othersEnded = WaitUntil(
        [&] {
            oneWizard = oneWizard && PhoneWindows().size() == 1 && shownWindows() <= 1;
            return running() == 1;
        },
        kStartTimeoutMs);
    EXPECT_TRUE(othersEnded) << running() << " copies still running";
    EXPECT_TRUE(oneWizard) << "more than one wizard or window was shown";
    EXPECT_TRUE(Stays([&] { return PhoneWindows().size() == 1 && shownWindows() == 1; }, 1500));
    ASSERT_NO_FATAL_FAILURE(CloseWizard());
}

TEST_F(StartupSingleCopy, NameHeldByAnotherKindOfObjectStopsTheProgramSilently) {
    struct Case {
        const char* what;
        HANDLE (*create)();
    };
    const Case cases[] = {
        {"mutex", [] { return CreateMutexW(nullptr, FALSE, L"Phone"); }},
        {"event", [] { return CreateEventW(nullptr, TRUE, FALSE, L"Phone"); }},
    };
    // The pack is still loaded and unloaded on this path.
    ASSERT_NO_FATAL_FAILURE(WriteConfig("RecordingPack.dll"));
    std::vector<std::string> expectedLog;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HANDLE holder = c.create();
        ASSERT_NE(nullptr, holder);
        ASSERT_EQ(nullptr, CreateSemaphoreW(nullptr, 1, 1, L"Phone"))
            << "the name is not taken for a semaphore";

        blackbox::ChildProcess& copy = Start();
        ASSERT_NO_FATAL_FAILURE(ExpectSilentShortRun(copy));
        EXPECT_TRUE(PhoneWindows().empty());
        const std::string pid = std::to_string(copy.Id());
        expectedLog.push_back("attach pid=" + pid);
        expectedLog.push_back("detach pid=" + pid + " by=unload wizard=0");
        EXPECT_EQ(expectedLog, PackLog());
        CloseHandle(holder);
    }
}

} // namespace
} // namespace startup
