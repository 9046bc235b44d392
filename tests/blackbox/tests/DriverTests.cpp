// The driver against a wizard whose behaviour is known, so that the checks
// made on the real program through it mean what they say.
#include "ChildProcess.h"
#include "FileDialogWindow.h"
#include "Files.h"
#include "RemoteWindow.h"
#include "RunFolder.h"
#include "WizardWindow.h"

#include <gtest/gtest.h>

#include <prsht.h>

using namespace blackbox;
using namespace wizdriver;

namespace {

class BlackboxDriver : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = FreshRunFolder();
        ASSERT_FALSE(m_folder.empty());
        ASSERT_EQ(nullptr, FindPhoneWindow()) << "another wizard is running";
    }

    void TearDown() override { m_process.Kill(); }

    void Start(const std::wstring& arguments = L"") {
        ASSERT_TRUE(m_process.Start(JoinPath(ModuleFolder(), L"blackbox_standin.exe"), m_folder, {},
                                    Output(), arguments));
        m_wizard = WizardWindow::WaitForWizard(15000);
        ASSERT_TRUE(m_wizard.Exists());
        ASSERT_EQ(m_process.Id(), m_wizard.ProcessId());
        ASSERT_TRUE(m_wizard.WaitForPage(0, 5000));
    }

    FileDialogWindow OpenFileDialog() {
        EXPECT_TRUE(m_wizard.ClickPageControl(kBrowseId));
        return FileDialogWindow(m_wizard.WaitForFileDialog(5000));
    }

    std::wstring Output() const { return JoinPath(m_folder, L"output.txt"); }

    std::wstring m_folder;
    ChildProcess m_process;
    WizardWindow m_wizard;
};

TEST_F(BlackboxDriver, ReadsButtonsControlsAndFocusOfAnotherProcess) {
    ASSERT_NO_FATAL_FAILURE(Start());
    const WizardState state = m_wizard.State();
    EXPECT_FALSE(state.caption.empty());
    EXPECT_TRUE(state.visible);
    ASSERT_TRUE(state.next.exists);
    EXPECT_TRUE(state.next.visible);
    EXPECT_FALSE(state.next.enabled) << Describe(state);
    ASSERT_TRUE(state.cancel.exists);
    EXPECT_TRUE(state.cancel.enabled);
    EXPECT_FALSE(state.help.exists && state.help.visible);

    const ControlState* path = state.Control(kImagePathId);
    ASSERT_NE(nullptr, path) << Describe(state);
    EXPECT_EQ(L"Edit", path->className);
    EXPECT_TRUE(path->style & ES_READONLY);
    EXPECT_EQ(L"Browse", state.ControlText(kBrowseId));

    // Focus as the wizard's own thread sees it, moved by a click.
    ASSERT_TRUE(m_wizard.ClickPageControl(kBrowseId));
    FileDialogWindow dialog(m_wizard.WaitForFileDialog(5000));
    ASSERT_TRUE(dialog.Exists());
    ASSERT_TRUE(dialog.Cancel());
    ASSERT_TRUE(dialog.WaitClosed(5000));
    EXPECT_TRUE(
        WaitUntil([&] { return m_wizard.Focus() == m_wizard.PageControl(kBrowseId); }, 2000))
        << Describe(m_wizard.State());
}

TEST_F(BlackboxDriver, AnswersTheOpenFileDialog) {
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::wstring image = JoinPath(m_folder, L"image.bin");
    ASSERT_TRUE(WriteTextFile(image, "image"));

    FileDialogWindow dialog = OpenFileDialog();
    ASSERT_TRUE(dialog.Exists());
    EXPECT_EQ(L"Flash", dialog.FileName());
    EXPECT_EQ(L"Bin Files(*.bin)", dialog.FileType());
    ASSERT_TRUE(dialog.SetFileName(image));
    EXPECT_EQ(image, dialog.FileName());
    ASSERT_TRUE(dialog.PressOpen());
    ASSERT_TRUE(dialog.WaitClosed(5000));
    EXPECT_TRUE(WaitUntil([&] { return m_wizard.PageControlText(kImagePathId) == image; }, 3000))
        << Describe(m_wizard.State());
}

TEST_F(BlackboxDriver, MouseClickIgnoresADisabledButtonAndPressesAnEnabledOne) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_FALSE(m_wizard.Button(kNextId).enabled);
    ASSERT_TRUE(m_wizard.ClickWithMouse(kNextId));
    Sleep(500);
    EXPECT_EQ(0, m_wizard.ActivePageIndex());

    const std::wstring image = JoinPath(m_folder, L"image.bin");
    ASSERT_TRUE(WriteTextFile(image, "image"));
    FileDialogWindow dialog = OpenFileDialog();
    ASSERT_TRUE(dialog.SetFileName(image));
    ASSERT_TRUE(dialog.PressOpen());
    ASSERT_TRUE(dialog.WaitClosed(5000));
    ASSERT_TRUE(WaitUntil([&] { return m_wizard.Button(kNextId).enabled; }, 3000));

    ASSERT_TRUE(m_wizard.ClickWithMouse(kNextId));
    EXPECT_TRUE(m_wizard.WaitForPage(1, 3000)) << Describe(m_wizard.State());
}

TEST_F(BlackboxDriver, ReadsTheProgressBarWithoutSharingMemory) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(m_wizard.PressByMessage(PSBTN_NEXT)); // presses although Next is disabled
    ASSERT_TRUE(m_wizard.WaitForPage(1, 3000));
    const ProgressState progress = m_wizard.Progress();
    ASSERT_TRUE(progress.exists);
    EXPECT_EQ(0, progress.low);
    EXPECT_EQ(100, progress.high);
    EXPECT_EQ(37, progress.pos);
    EXPECT_EQ(L"37%", m_wizard.PageControlText(kPercentId));
}

TEST_F(BlackboxDriver, EscapeAndCloseReachTheWizard) {
    ASSERT_NO_FATAL_FAILURE(Start());
    // A plain property sheet takes Escape as Cancel: the posted key does arrive.
    ASSERT_TRUE(m_wizard.PostEscape());
    EXPECT_TRUE(m_process.WaitForExit(5000));

    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(m_wizard.SysClose());
    EXPECT_TRUE(m_process.WaitForExit(5000));
}

TEST_F(BlackboxDriver, CrashOutputIsCaught) {
    ASSERT_NO_FATAL_FAILURE(Start(L"crash"));
    ASSERT_TRUE(m_wizard.Click(kCancelId));
    ASSERT_TRUE(m_process.WaitForExit(30000));
    EXPECT_NE(std::string::npos, ReadSharedFile(Output()).find("Unhandled"))
        << ReadSharedFile(Output());
}

} // namespace
