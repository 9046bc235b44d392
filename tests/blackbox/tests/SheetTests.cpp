// The wizard frame as a user and the library see it: the buttons it starts
// with, Escape, and the library's calls over a whole run.
#include "WizardFixture.h"

#include "Files.h"
#include "PackResources.h"
#include "RemoteWindow.h"

#include <cwctype>

using namespace wizdriver;

namespace blackbox {
namespace {

using BlackboxSheet = WizardTest;

TEST_F(BlackboxSheet, OpensOnTheWelcomePageWithItsButtonsCaptionedFromTheTextsInUse) {
    struct Case {
        const wchar_t* config; // empty: no Config.ini
        const char* what;
    };
    const Case cases[] = {
        {L"", "pack of the system language"},
        {L"Language.0409.dll", "English pack"},
        {L"NoSuchPack.dll", "program's own texts"},
        {L"Language.0804.dll", "Chinese pack"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(UseLanguage(c.config));
        ASSERT_NO_FATAL_FAILURE(StartWizard());
        const WizardTexts texts = TextsOf(ModuleInUse());
        if (ModuleInUse().find(L"0804") == std::wstring::npos) {
            EXPECT_EQ(EnglishTexts().next, texts.next);
            EXPECT_EQ(EnglishTexts().cancel, texts.cancel);
        }
        EXPECT_EQ(reinterpret_cast<HANDLE>(1), GetPropW(m_wizard.Handle(), L"Phone"));

        const WizardState state = m_wizard.State();
        EXPECT_EQ(kWelcome, state.pageIndex);
        EXPECT_TRUE(state.back.exists);
        EXPECT_FALSE(state.back.visible) << Describe(state);
        EXPECT_TRUE(state.next.visible && state.next.enabled) << Describe(state);
        EXPECT_EQ(texts.next, state.next.text);
        EXPECT_TRUE(state.cancel.visible && state.cancel.enabled) << Describe(state);
        EXPECT_EQ(texts.cancel, state.cancel.text);
        EXPECT_FALSE(state.help.exists && state.help.visible) << Describe(state);
        EXPECT_FALSE(state.finish.exists && state.finish.visible) << Describe(state);

        // Set-up is called once when the wizard opens, and nothing else yet.
        EXPECT_TRUE(Stays([&] { return Log().Calls() == std::vector<int>{9}; }, 500))
            << Log().Text();
    }
}

// Escape must never cancel, whichever page and control has the focus; and
// Back and Help stay away on every page.
TEST_F(BlackboxSheet, EveryPageIgnoresEscapeAndShowsNeitherBackNorHelp) {
    ASSERT_NO_FATAL_FAILURE(WriteScript("progress=10,20,30,40\nstep_ms=600\nresults=1\n"));
    ASSERT_NO_FATAL_FAILURE(StartWizard());

    auto checkPage = [&](int page) {
        SCOPED_TRACE("page " + std::to_string(page));
        const WizardState state = m_wizard.State();
        EXPECT_FALSE(state.back.visible) << Describe(state);
        EXPECT_FALSE(state.help.exists && state.help.visible) << Describe(state);
        ASSERT_TRUE(m_wizard.PostEscape());
        EXPECT_TRUE(
            Stays([&] { return m_wizard.Exists() && m_wizard.ActivePageIndex() == page; }, 400))
            << Describe(m_wizard.State());
        EXPECT_TRUE(m_process.Running());
    };

    ASSERT_NO_FATAL_FAILURE(checkPage(kWelcome));
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kGettingStarted, 5000));
    ASSERT_NO_FATAL_FAILURE(checkPage(kGettingStarted));
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kImageFile, 5000));
    ASSERT_NO_FATAL_FAILURE(checkPage(kImageFile));
    // Escape with the focus on a control of the page itself.
    const std::wstring image = MakeImage(L"images\\load.bin");
    ASSERT_NO_FATAL_FAILURE(ChooseImage(image, image));
    ASSERT_TRUE(WaitUntil(
        [&] {
            return m_wizard.Focus() == m_wizard.PageControl(kBrowseId) ||
                   m_wizard.Focus() == m_wizard.Button(kNextId).hwnd;
        },
        2000));
    ASSERT_NO_FATAL_FAILURE(checkPage(kImageFile));
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kNotice, 5000));
    ASSERT_NO_FATAL_FAILURE(checkPage(kNotice));
    ASSERT_TRUE(WaitUntil([&] { return m_wizard.Button(kNextId).enabled; }, 5000));
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kUpdating, 5000));
    ASSERT_NO_FATAL_FAILURE(checkPage(kUpdating)); // during the transfer
    ASSERT_TRUE(m_wizard.WaitForPage(kComplete, 10000));
    ASSERT_NO_FATAL_FAILURE(checkPage(kComplete));
}

// The library's view of a run with one failed attempt and a retry.
TEST_F(BlackboxSheet, LibraryIsSetUpOnceCalledPerAttemptAndReleasedOnceAtTheEnd) {
    ASSERT_NO_FATAL_FAILURE(WriteScript("results=0,1\nprogress=10,50\nstep_ms=20\n"));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_NO_FATAL_FAILURE(GoToUpdatingPage());
    const std::wstring retry = TextsOf(ModuleInUse()).retry;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const ButtonState next = m_wizard.Button(kNextId);
            return next.enabled && next.text == retry;
        },
        5000));
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kComplete, 5000));
    EXPECT_EQ((std::vector<int>{9, 5, 9, 11, 5, 9, 11}), Log().Calls()) << Log().Text();

    ASSERT_TRUE(m_wizard.Click(kCancelId)); // captioned Finish here
    ASSERT_TRUE(m_process.WaitForExit(5000));
    const DoubleLog log = Log();
    EXPECT_EQ((std::vector<int>{9, 5, 9, 11, 5, 9, 11, 10}), log.Calls()) << log.Text();
    EXPECT_EQ((std::vector<int>{0, 1}), log.Returns());
    for (const DownloadCall& call : log.Downloads()) {
        EXPECT_EQ(0, call.stopAtEntry) << "a retry must not start with the stop flag set";
        EXPECT_EQ(1, call.hasCallback);
    }
    ASSERT_FALSE(log.Lines().empty());
    EXPECT_EQ("0", FieldOf(log.Lines().back(), "value")) << log.Lines().back();
    EXPECT_EQ(std::string::npos, Output().find("Unhandled")) << Output();
}

HWND FindMessageBoxOf(DWORD processId) {
    for (HWND hwnd = GetWindow(GetDesktopWindow(), GW_CHILD); hwnd;
         hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        // The sheet is a dialog too; the box is the one without wizard buttons.
        if (owner == processId && IsWindowVisible(hwnd) && ClassName(hwnd) == L"#32770" &&
            !GetDlgItem(hwnd, kNextId))
            return hwnd;
    }
    return nullptr;
}

bool IsDecimalNumber(const std::wstring& text) {
    size_t start = !text.empty() && text[0] == L'-' ? 1 : 0;
    if (text.size() <= start)
        return false;
    for (size_t i = start; i < text.size(); ++i) {
        if (!iswdigit(text[i]))
            return false;
    }
    return true;
}

TEST_F(BlackboxSheet, PackWithoutTheIconShowsTheErrorNumberBeforeTheWizard) {
    const std::wstring pack = JoinPath(m_folder, L"Language.NoIcon.dll");
    ASSERT_TRUE(CopyFileW(JoinPath(m_folder, L"Language.0409.dll").c_str(), pack.c_str(), FALSE));
    ASSERT_TRUE(HasIconGroup(pack, 128)) << "the English pack should carry the icon";
    std::string error;
    ASSERT_TRUE(RemoveIconGroup(pack, 128, &error)) << error;
    ASSERT_FALSE(ModuleString(pack, 104).empty()) << "the edited pack lost its strings";
    ASSERT_NO_FATAL_FAILURE(UseLanguage(L"Language.NoIcon.dll"));
    ASSERT_NO_FATAL_FAILURE(StartProgram());

    HWND box = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (box = FindMessageBoxOf(m_process.Id())) != nullptr; }, 20000))
        << Diagnostics();
    EXPECT_EQ(L"KALDREN_R530_Updater", WindowText(box));
    std::wstring number;
    for (HWND child : ChildWindows(box)) {
        if (ClassName(child) == L"Static" && !WindowText(child).empty())
            number = WindowText(child);
    }
    EXPECT_TRUE(IsDecimalNumber(number)) << "message: " << Utf8(number);
    std::vector<std::wstring> buttons;
    for (HWND child : ChildWindows(box)) {
        if (ClassName(child) == L"Button" && IsWindowVisible(child))
            buttons.push_back(WindowText(child));
    }
    EXPECT_EQ(1u, buttons.size()) << "only OK";
    // The wizard waits for the answer: not marked, library not set up yet.
    EXPECT_EQ(nullptr, FindPhoneWindow());
    EXPECT_EQ(0, Log().CountCalls(9));
    HWND owner = GetWindow(box, GW_OWNER);

    ASSERT_TRUE(PostMessageW(FindDescendant(box, IDOK), BM_CLICK, 0, 0));
    m_wizard = WizardWindow::WaitForWizard(10000);
    ASSERT_TRUE(m_wizard.Exists()) << Diagnostics();
    EXPECT_EQ(owner, m_wizard.Handle()) << "the box belongs to the wizard";
    ASSERT_TRUE(m_wizard.WaitForPage(kWelcome, 5000));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(m_wizard.Handle()) != FALSE; }, 5000));
    EXPECT_EQ(L"Next", m_wizard.Button(kNextId).text);
    EXPECT_TRUE(WaitUntil([&] { return Log().Calls() == std::vector<int>{9}; }, 2000))
        << Log().Text();
}

} // namespace
} // namespace blackbox
