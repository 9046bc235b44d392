// A second start while a wizard runs: it brings that wizard to the front and
// ends, and the library never hears from it.
#include "WizardFixture.h"

#include "Files.h"
#include "RemoteWindow.h"

using namespace wizdriver;

namespace blackbox {
namespace {

using BlackboxSingleInstance = WizardTest;

// Waits while keeping this thread's own window answering.
template <class Pred> bool PumpUntil(Pred pred, DWORD timeoutMs) {
    return WaitUntil(
        [&] {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            return pred();
        },
        timeoutMs);
}

// A plain window of this process, put in front of the wizard.
class FrontWindow {
public:
    FrontWindow() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BlackboxFrontWindow";
        RegisterClassW(&wc);
        m_hwnd = CreateWindowExW(0, wc.lpszClassName, L"in front", WS_POPUP | WS_VISIBLE, 0, 0, 800,
                                 600, nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(m_hwnd);
    }
    FrontWindow(const FrontWindow&) = delete;
    FrontWindow& operator=(const FrontWindow&) = delete;
    ~FrontWindow() { DestroyWindow(m_hwnd); }
    HWND Handle() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

int CountPhoneWindows() {
    int count = 0;
    for (HWND hwnd = GetWindow(GetDesktopWindow(), GW_CHILD); hwnd;
         hwnd = GetWindow(hwnd, GW_HWNDNEXT))
        count += GetPropW(hwnd, L"Phone") != nullptr;
    return count;
}

TEST_F(BlackboxSingleInstance, SecondStartRestoresTheRunningWizardAndEnds) {
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kGettingStarted, 5000));
    ASSERT_TRUE(WaitUntil([&] { return Log().CountCalls(9) == 1; }, 2000));

    for (bool minimised : {true, false}) {
        SCOPED_TRACE(minimised ? "wizard minimised" : "wizard behind another window");
        FrontWindow front;
        if (minimised) {
            ShowWindow(m_wizard.Handle(), SW_MINIMIZE);
            ASSERT_TRUE(PumpUntil([&] { return IsIconic(m_wizard.Handle()) != FALSE; }, 3000));
        }
        ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == front.Handle(); }, 3000));

        const std::wstring secondLog = JoinPath(m_folder, L"second-log.txt");
        DeleteFileW(secondLog.c_str());
        ChildProcess second;
        ASSERT_TRUE(
            second.Start(JoinPath(m_folder, kProgramName), m_folder,
                         {{L"EBOOT_DOUBLE_LOG", secondLog}, {L"EBOOT_DOUBLE_SCRIPT", m_scriptPath}},
                         JoinPath(m_folder, L"second-output.txt")));
        EXPECT_TRUE(PumpUntil([&] { return !second.Running(); }, 5000));
        EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == m_wizard.Handle(); }, 2000));
        EXPECT_FALSE(IsIconic(m_wizard.Handle()));
        EXPECT_TRUE(IsWindowVisible(m_wizard.Handle()));

        EXPECT_EQ("", ReadSharedFile(secondLog)) << "the second copy called the library";
        EXPECT_TRUE(m_process.Running());
        EXPECT_EQ(1, CountPhoneWindows());
        EXPECT_EQ(kGettingStarted, m_wizard.ActivePageIndex());
        EXPECT_EQ(std::vector<int>{9}, Log().Calls());
    }
}

TEST_F(BlackboxSingleInstance, TwoStartsCloseTogetherShowOneWizard) {
    ChildProcess other;
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    ASSERT_TRUE(other.Start(JoinPath(m_folder, kProgramName), m_folder,
                            {{L"EBOOT_DOUBLE_LOG", JoinPath(m_folder, L"other-log.txt")}},
                            JoinPath(m_folder, L"other-output.txt")));
    m_wizard = WizardWindow::WaitForWizard(20000);
    ASSERT_TRUE(m_wizard.Exists());
    // One of the two gives way and ends; the other shows its wizard.
    EXPECT_TRUE(WaitUntil([&] { return !m_process.Running() || !other.Running(); }, 10000));
    EXPECT_TRUE(Stays([&] { return CountPhoneWindows() == 1; }, 1000));
    EXPECT_TRUE(m_process.Running() != other.Running());
    other.Kill();
}

} // namespace
} // namespace blackbox
