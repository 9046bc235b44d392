// Choosing the image, the notice page and the completion page, from outside.
#include "WizardFixture.h"

#include "Files.h"
#include "PackResources.h"
#include "RemoteWindow.h"

using namespace wizdriver;

namespace blackbox {
namespace {

using BlackboxGuidancePages = WizardTest;

void ExpectDialogDefaults(const FileDialogWindow& dialog) {
    EXPECT_EQ(L"Flash", dialog.FileName());
    EXPECT_EQ(L"Bin Files(*.bin)", dialog.FileType());
}

TEST_F(BlackboxGuidancePages, ImagePageArrivesWithNextDisabledAndAReadOnlyEmptyBox) {
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_NO_FATAL_FAILURE(GoToImagePage());
    WaitUntil([&] { return m_wizard.Button(kCancelId).focused; }, 1000);
    Sleep(200);
    const WizardState state = m_wizard.State();
    EXPECT_TRUE(state.next.visible);
    EXPECT_FALSE(state.next.enabled) << Describe(state);
    EXPECT_TRUE(state.cancel.focused) << Describe(state);
    EXPECT_TRUE(state.cancel.isDefault) << Describe(state);
    const ControlState* box = state.Control(kImagePathId);
    ASSERT_NE(nullptr, box) << Describe(state);
    EXPECT_EQ(L"", box->text);
    EXPECT_TRUE(box->style & ES_READONLY);
    EXPECT_TRUE(box->style & ES_AUTOHSCROLL) << "a long path must scroll within the box";

    // Typing into the box changes nothing.
    for (wchar_t c : std::wstring(L"C:\\x.bin"))
        PostMessageW(box->hwnd, WM_CHAR, c, 1);
    Sleep(300);
    EXPECT_EQ(L"", WindowText(box->hwnd));

    ASSERT_TRUE(m_wizard.ClickWithMouse(kNextId));
    EXPECT_TRUE(Stays([&] { return m_wizard.ActivePageIndex() == kImageFile; }, 500));
}

TEST_F(BlackboxGuidancePages, CancellingTheFirstDialogKeepsNextDisabled) {
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_NO_FATAL_FAILURE(GoToImagePage());
    FileDialogWindow dialog = OpenFileDialog();
    ASSERT_TRUE(dialog.Exists());
    ExpectDialogDefaults(dialog);
    EXPECT_FALSE(IsWindowEnabled(m_wizard.Handle())) << "the wizard waits for the dialog";
    ASSERT_TRUE(dialog.Cancel());
    ASSERT_TRUE(dialog.WaitClosed(5000));
    EXPECT_TRUE(Stays([&] { return !m_wizard.Button(kNextId).enabled; }, 500))
        << Describe(m_wizard.State());
    EXPECT_EQ(L"", m_wizard.PageControlText(kImagePathId));
    ASSERT_TRUE(m_wizard.ClickWithMouse(kNextId));
    EXPECT_TRUE(Stays([&] { return m_wizard.ActivePageIndex() == kImageFile; }, 500));

    // The same click does move on once a file is chosen: it did hit Next.
    const std::wstring image = MakeImage(L"images\\load.bin");
    ASSERT_NO_FATAL_FAILURE(ChooseImage(image, image));
    ASSERT_TRUE(WaitUntil([&] { return m_wizard.Button(kNextId).enabled; }, 2000));
    ASSERT_TRUE(m_wizard.ClickWithMouse(kNextId));
    EXPECT_TRUE(m_wizard.WaitForPage(kNotice, 3000)) << Describe(m_wizard.State());
}

TEST_F(BlackboxGuidancePages, EachChoiceReplacesTheLastAndTheLastReachesTheLibrary) {
    ASSERT_NO_FATAL_FAILURE(WriteScript("progress=50\nstep_ms=3000\nhold=1\n"));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_NO_FATAL_FAILURE(GoToImagePage());
    const std::wstring first = MakeImage(L"images\\first.bin");
    const std::wstring second = MakeImage(L"other images\\second.bin");

    ASSERT_NO_FATAL_FAILURE(ChooseImage(first, first));
    auto expectNextReady = [&] {
        WaitUntil([&] { return m_wizard.Button(kNextId).focused; }, 1000);
        const ButtonState next = m_wizard.Button(kNextId);
        EXPECT_TRUE(next.enabled) << Describe(m_wizard.State());
        EXPECT_TRUE(next.focused) << Describe(m_wizard.State());
        EXPECT_TRUE(next.isDefault) << Describe(m_wizard.State());
    };
    expectNextReady();

    {
        FileDialogWindow dialog = OpenFileDialog();
        ASSERT_TRUE(dialog.Exists());
        ExpectDialogDefaults(dialog); // not the earlier choice
        ASSERT_TRUE(dialog.SetFileName(second));
        ASSERT_TRUE(dialog.PressOpen());
        ASSERT_TRUE(dialog.WaitClosed(5000));
    }
    ASSERT_TRUE(WaitUntil([&] { return m_wizard.PageControlText(kImagePathId) == second; }, 5000));
    expectNextReady();

    {
        FileDialogWindow dialog = OpenFileDialog();
        ASSERT_TRUE(dialog.Exists());
        ExpectDialogDefaults(dialog);
        ASSERT_TRUE(dialog.Cancel());
        ASSERT_TRUE(dialog.WaitClosed(5000));
    }
    EXPECT_TRUE(Stays([&] { return m_wizard.PageControlText(kImagePathId) == second; }, 300));
    EXPECT_TRUE(m_wizard.Button(kNextId).enabled);

    // Notice page: Next comes back enabled, Finish stays away.
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kNotice, 5000));
    ASSERT_TRUE(WaitUntil([&] { return m_wizard.Button(kNextId).enabled; }, 2000))
        << Describe(m_wizard.State());
    const WizardState notice = m_wizard.State();
    EXPECT_TRUE(notice.next.visible);
    EXPECT_FALSE(notice.finish.exists && notice.finish.visible) << Describe(notice);

    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kUpdating, 5000));
    EXPECT_EQ(TextsOf(ModuleInUse()).next, m_wizard.Button(kNextId).text);
    ASSERT_TRUE(WaitUntil([&] { return Log().CountCalls(11) == 1; }, 3000)) << Log().Text();
    EXPECT_EQ(NarrowPath(second, CP_ACP), Log().Downloads()[0].path) << Log().Text();
}

TEST_F(BlackboxGuidancePages, TypedNameWithoutExtensionComesBackWithBin) {
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_NO_FATAL_FAILURE(GoToImagePage());
    // The dialog adds the extension only for a file that exists.
    const std::wstring image = MakeImage(L"images\\noext.bin");
    const std::wstring typed = image.substr(0, image.size() - 4);
    ASSERT_NO_FATAL_FAILURE(ChooseImage(typed, image));
}

// Run as if on a Simplified Chinese system.
TEST_F(BlackboxGuidancePages, ChinesePathReachesTheLibraryInCodePage936) {
    ASSERT_EQ(0x0804, GetSystemDefaultLangID()) << "needs a Simplified Chinese system language";
    ASSERT_NO_FATAL_FAILURE(WriteScript("progress=50\nstep_ms=3000\nhold=1\n"));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    EXPECT_NE(std::wstring::npos, ModuleInUse().find(L"Language.0804.dll"));
    EXPECT_EQ(TextsOf(ModuleInUse()).next, m_wizard.Button(kNextId).text);
    ASSERT_NO_FATAL_FAILURE(GoToImagePage());
    const std::wstring image = MakeImage(L"\u56fa\u4ef6\\\u66f4\u65b0.bin");
    ASSERT_NO_FATAL_FAILURE(ChooseImage(image, image));
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kNotice, 5000));
    ASSERT_TRUE(WaitUntil([&] { return m_wizard.Button(kNextId).enabled; }, 2000));
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kUpdating, 5000));
    ASSERT_TRUE(WaitUntil([&] { return Log().CountCalls(11) == 1; }, 3000)) << Log().Text();
    const std::vector<unsigned char> expected = NarrowPath(image, 936);
    EXPECT_EQ(expected, Log().Downloads()[0].path) << Log().Text();
    EXPECT_NE(NarrowPath(image, CP_UTF8), expected);
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
    auto identity = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION* info) {
        HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        const BOOL ok = GetFileInformationByHandle(file, info);
        CloseHandle(file);
        return ok != FALSE;
    };
    BY_HANDLE_FILE_INFORMATION first = {}, second = {};
    return identity(a, &first) && identity(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

// Run as if on a Simplified Chinese system. The path fits the dialog but
// not, in code page 936, the library's 260 bytes: whatever reaches the
// library must be whole and must not name some other file.
TEST_F(BlackboxGuidancePages, PathTooLongForTheCodePageNeverReachesTheLibraryCut) {
    ASSERT_EQ(0x0804, GetSystemDefaultLangID()) << "needs a Simplified Chinese system language";
    ASSERT_NO_FATAL_FAILURE(WriteScript("progress=50\nstep_ms=3000\nhold=1\n"));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_NO_FATAL_FAILURE(GoToImagePage());
    // Folders of Chinese names filling the path up to about 250 characters.
    std::wstring relative;
    for (wchar_t c = 0x56fa; m_folder.size() + relative.size() + 40 < 250; ++c)
        relative += std::wstring(30, c) + L"\\";
    relative += L"\u66f4\u65b0.bin";
    const std::wstring image = MakeImage(relative);
    ASSERT_LT(image.size(), 260u) << "the dialog could not return it";
    ASSERT_GT(NarrowPath(image, 936).size(), 259u) << "fits the library anyway";
    ASSERT_NO_FATAL_FAILURE(ChooseImage(image, image));
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kNotice, 5000));
    ASSERT_TRUE(WaitUntil([&] { return m_wizard.Button(kNextId).enabled; }, 2000));
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kUpdating, 5000));
    ASSERT_TRUE(WaitUntil([&] { return Log().CountCalls(11) == 1; }, 3000)) << Log().Text();

    const std::vector<unsigned char> sent = Log().Downloads()[0].path;
    EXPECT_LE(sent.size(), 259u);
    if (!sent.empty()) {
        const std::string narrow(sent.begin(), sent.end());
        wchar_t wide[MAX_PATH * 2] = {};
        MultiByteToWideChar(936, 0, narrow.c_str(), -1, wide, MAX_PATH * 2);
        EXPECT_TRUE(SameFile(wide, image)) << "the library was sent " << Utf8(wide);
    }
}

TEST_F(BlackboxGuidancePages, CompletionPageOffersOnlyFinishWhichEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(WriteScript("progress=50,100\nstep_ms=20\nresults=1\n"));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_NO_FATAL_FAILURE(GoToUpdatingPage());
    ASSERT_TRUE(m_wizard.WaitForPage(kComplete, 5000));
    const WizardTexts texts = TextsOf(ModuleInUse());
    EXPECT_EQ(EnglishTexts().finish, texts.finish);
    WizardState state;
    // The page hides Next as it becomes active.
    WaitUntil([&] { return (state = m_wizard.State()).VisibleButtons().size() == 1; }, 1000);
    const std::vector<const ButtonState*> shown = state.VisibleButtons();
    ASSERT_EQ(1u, shown.size()) << Describe(state);
    EXPECT_EQ(state.cancel.hwnd, shown[0]->hwnd) << "Finish is the Cancel button";
    EXPECT_EQ(texts.finish, shown[0]->text);
    EXPECT_TRUE(shown[0]->enabled);
    EXPECT_EQ(0, Log().CountCalls(10));

    const ULONGLONG pressed = GetTickCount64();
    ASSERT_TRUE(m_wizard.Click(kCancelId));
    ASSERT_TRUE(m_process.WaitForExit(5000)) << Diagnostics();
    std::printf("Finish: process ended after %llu ms\n", GetTickCount64() - pressed);
    const DoubleLog log = Log();
    EXPECT_EQ(1, log.CountCalls(10)) << log.Text();
    EXPECT_EQ(10, log.Calls().back());
    EXPECT_EQ(std::string::npos, Output().find("Unhandled")) << Output();
}

} // namespace
} // namespace blackbox
