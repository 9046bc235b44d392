// The Updating page driven through the scriptable library: what it shows on
// arrival, for each report, after a failure and on Retry.
#include "WizardFixture.h"

#include "Files.h"
#include "RemoteWindow.h"

#include <commctrl.h>

using namespace wizdriver;

namespace blackbox {
namespace {

using BlackboxUpdatingPage = WizardTest;

// What a progress bar of range 0..100 makes of a position.
int PositionAsTheBarKeepsIt(int value) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_POPUP, 0, 0, 100, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(value), 0);
    const int pos = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
    DestroyWindow(bar);
    return pos;
}

void ExpectDownloadingState(const WizardState& state, const WizardTexts& texts,
                            const std::wstring& nextCaption) {
    EXPECT_EQ(kUpdating, state.pageIndex);
    EXPECT_TRUE(state.next.visible);
    EXPECT_FALSE(state.next.enabled) << Describe(state);
    EXPECT_EQ(nextCaption, state.next.text);
    EXPECT_TRUE(state.cancel.visible && state.cancel.enabled);
    EXPECT_TRUE(state.cancel.focused) << Describe(state);
    EXPECT_TRUE(state.cancel.isDefault) << Describe(state);
    EXPECT_FALSE(state.back.visible);
    EXPECT_EQ(texts.pressKey, state.ControlText(kStatusTextId));
    EXPECT_TRUE(state.progress.exists);
    EXPECT_EQ(0, state.progress.low);
    EXPECT_EQ(100, state.progress.high);
    EXPECT_EQ(0, state.progress.pos);
    EXPECT_EQ(L"", state.ControlText(kPercentId));
}

TEST_F(BlackboxUpdatingPage, ArrivesResetWithNextDisabledAndCancelFocused) {
    // The first report comes late, so the page is seen as it was prepared.
    ASSERT_NO_FATAL_FAILURE(WriteScript("progress=50\nstep_ms=4000\nhold=1\n"));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_NO_FATAL_FAILURE(GoToUpdatingPage());
    const WizardTexts texts = TextsOf(ModuleInUse());
    EXPECT_EQ(EnglishTexts().pressKey, texts.pressKey);
    EXPECT_EQ(EnglishTexts().next, texts.next);

    // The frame moves the focus after activation; give it a moment to settle.
    WaitUntil([&] { return m_wizard.Button(kCancelId).focused; }, 1000);
    Sleep(200);
    ExpectDownloadingState(m_wizard.State(), texts, texts.next);

    ASSERT_TRUE(WaitUntil([&] { return Log().CountCalls(11) == 1; }, 3000)) << Log().Text();
    const DoubleLog log = Log();
    EXPECT_EQ((std::vector<int>{9, 5, 9, 11}), log.Calls());
    ASSERT_EQ(1u, log.Downloads().size());
    EXPECT_EQ(NarrowPath(JoinPath(m_folder, L"images\\load.bin"), CP_ACP), log.Downloads()[0].path);
    EXPECT_EQ(0, log.Downloads()[0].stopAtEntry);
    EXPECT_EQ(1, log.Downloads()[0].hasCallback);

    // A real click on the disabled Next starts nothing.
    ASSERT_TRUE(m_wizard.ClickWithMouse(kNextId));
    EXPECT_TRUE(Stays([&] { return m_wizard.ActivePageIndex() == kUpdating; }, 500));
    EXPECT_EQ(1, Log().CountCalls(5));
}

TEST_F(BlackboxUpdatingPage, ShowsEachReportedValueUnchanged) {
    for (int value : {37, 150, -5}) {
        SCOPED_TRACE("report " + std::to_string(value));
        ASSERT_NO_FATAL_FAILURE(
            WriteScript("progress=" + std::to_string(value) + "\nstep_ms=10\nhold=1\n"));
        ASSERT_NO_FATAL_FAILURE(StartWizard());
        ASSERT_NO_FATAL_FAILURE(GoToUpdatingPage());
        const std::wstring shown = std::to_wstring(value) + L"%";
        EXPECT_TRUE(WaitUntil([&] { return m_wizard.PageControlText(kPercentId) == shown; }, 5000))
            << Describe(m_wizard.State());
        EXPECT_EQ(PositionAsTheBarKeepsIt(value), m_wizard.Progress().pos);
        EXPECT_EQ(0, m_wizard.Progress().low);
        EXPECT_EQ(100, m_wizard.Progress().high);
        m_process.Kill();
    }
}

TEST_F(BlackboxUpdatingPage, FailureOffersRetryAndKeepsTheLastReport) {
    for (int result : {0, 2, -1}) {
        SCOPED_TRACE("library result " + std::to_string(result));
        ASSERT_NO_FATAL_FAILURE(
            WriteScript("results=" + std::to_string(result) + "\nprogress=10,45\nstep_ms=20\n"));
        ASSERT_NO_FATAL_FAILURE(StartWizard());
        ASSERT_NO_FATAL_FAILURE(GoToUpdatingPage());
        const WizardTexts texts = TextsOf(ModuleInUse());
        EXPECT_EQ(EnglishTexts().retry, texts.retry);
        EXPECT_EQ(EnglishTexts().updateFailed, texts.updateFailed);
        ASSERT_TRUE(WaitUntil([&] { return m_wizard.Button(kNextId).text == texts.retry; }, 5000))
            << Describe(m_wizard.State());
        // Focus and style follow the caption; let the page finish its work.
        WaitUntil([&] { return m_wizard.Button(kNextId).focused; }, 1000);

        const WizardState state = m_wizard.State();
        EXPECT_EQ(kUpdating, state.pageIndex);
        EXPECT_TRUE(state.next.visible && state.next.enabled) << Describe(state);
        EXPECT_TRUE(state.next.focused) << Describe(state);
        EXPECT_TRUE(state.next.isDefault) << Describe(state);
        EXPECT_TRUE(state.cancel.visible && state.cancel.enabled);
        EXPECT_EQ(texts.updateFailed, state.ControlText(kStatusTextId));
        EXPECT_EQ(45, state.progress.pos);
        EXPECT_EQ(L"45%", state.ControlText(kPercentId));
        EXPECT_EQ(std::vector<int>{result}, Log().Returns());
        EXPECT_TRUE(Stays([&] { return m_wizard.ActivePageIndex() == kUpdating; }, 300));
        m_process.Kill();
    }
}

TEST_F(BlackboxUpdatingPage, RetryStartsAFreshAttemptOnThisPageAndSuccessMovesOnByItself) {
    ASSERT_NO_FATAL_FAILURE(WriteScript("results=0,1\nprogress=10,45\nstep_ms=20\n"));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_NO_FATAL_FAILURE(GoToUpdatingPage());
    const WizardTexts texts = TextsOf(ModuleInUse());
    ASSERT_TRUE(WaitUntil([&] { return m_wizard.Button(kNextId).text == texts.retry; }, 5000));
    ASSERT_TRUE(WaitUntil([&] { return m_wizard.Button(kNextId).enabled; }, 2000));

    // The second attempt reports late, so its fresh start can be seen.
    ASSERT_NO_FATAL_FAILURE(WriteScript("results=0,1\nprogress=60\nstep_ms=2500\n"));
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(WaitUntil([&] { return Log().CountCalls(11) == 2; }, 2000)) << Log().Text();
    WaitUntil([&] { return m_wizard.Button(kCancelId).focused; }, 1000);
    ExpectDownloadingState(m_wizard.State(), texts, texts.retry);
    const DoubleLog log = Log();
    EXPECT_EQ((std::vector<int>{9, 5, 9, 11, 5, 9, 11}), log.Calls());
    ASSERT_EQ(2u, log.Downloads().size());
    EXPECT_EQ(log.Downloads()[0].path, log.Downloads()[1].path);
    EXPECT_EQ(0, log.Downloads()[1].stopAtEntry);

    // No key is pressed from here on.
    ASSERT_TRUE(m_wizard.WaitForPage(kComplete, 8000)) << Diagnostics();
    EXPECT_EQ((std::vector<int>{0, 1}), Log().Returns());
}

} // namespace
} // namespace blackbox
