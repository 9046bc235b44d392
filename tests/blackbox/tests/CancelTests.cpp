// Cancelling while the library is still transferring: the window must go at
// once and the process must end soon after, however the library behaves.
#include "WizardFixture.h"

#include "RemoteWindow.h"

using namespace wizdriver;

namespace blackbox {
namespace {

using BlackboxCancel = WizardTest;

constexpr ULONGLONG kWindowGoneMs = 1000;
constexpr ULONGLONG kProcessEndMs = 5000;

TEST_F(BlackboxCancel, MidTransferClosesAtOnceAndEndsWithoutACrash) {
    struct Case {
        const char* what;
        const char* script;
        bool bySystemMenu;
    };
    const Case cases[] = {
        {"library stops when asked", "progress=30\nstep_ms=50\nhold=1\nstop=honour\n", false},
        {"closed from the system menu", "progress=30\nstep_ms=50\nhold=1\nstop=honour\n", true},
        {"library reports for 3 s more",
         "progress=30\nstep_ms=50\nhold=1\nstop=ignore\nafter_stop_ms=3000\n", false},
        {"library never returns and keeps reporting",
         "progress=30\nstep_ms=50\nhold=1\nstop=ignore\nafter_stop_ms=60000\n", false},
        {"library never returns, silently",
         "progress=\nstep_ms=50\nhold=1\nstop=ignore\nafter_stop_ms=60000\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(WriteScript(c.script));
        ASSERT_NO_FATAL_FAILURE(StartWizard());
        ASSERT_NO_FATAL_FAILURE(GoToUpdatingPage());
        ASSERT_TRUE(WaitUntil([&] { return Log().CountCalls(11) == 1; }, 3000)) << Log().Text();
        if (std::string(c.script).find("progress=30") != std::string::npos) {
            ASSERT_TRUE(WaitForLogLine("progress 30", 1, 3000));
        }
        const HWND window = m_wizard.Handle();

        const ULONGLONG pressed = GetTickCount64();
        ASSERT_TRUE(c.bySystemMenu ? m_wizard.SysClose() : m_wizard.Click(kCancelId));
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); },
                              kProcessEndMs));
        const ULONGLONG gone = GetTickCount64() - pressed;
        const bool ended = m_process.WaitForExit(static_cast<DWORD>(kProcessEndMs));
        const ULONGLONG end = GetTickCount64() - pressed;
        std::printf("%s: window gone after %llu ms, process ended after %llu ms\n", c.what, gone,
                    end);

        EXPECT_LE(gone, kWindowGoneMs);
        EXPECT_TRUE(ended);
        EXPECT_LE(end, kProcessEndMs);
        const DoubleLog log = Log();
        EXPECT_EQ(1, log.Count("stop-seen")) << log.Text();
        EXPECT_EQ(1, log.CountCalls(10)) << log.Text();
        EXPECT_EQ(std::string::npos, Output().find("Unhandled")) << Output();
        if (ended) {
            EXPECT_LT(m_process.ExitCode(), 0xC0000000u) << "ended by an exception";
        }
        m_process.Kill();
    }
}

} // namespace
} // namespace blackbox
