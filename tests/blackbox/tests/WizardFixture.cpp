#include "WizardFixture.h"

#include "Files.h"
#include "PackResources.h"
#include "RemoteWindow.h"
#include "RunFolder.h"

using namespace wizdriver;

namespace blackbox {

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kStepTimeoutMs = 5000;

std::wstring StageFolder() {
    return JoinPath(ModuleFolder(), L"stage");
}

std::wstring PackOfSystemLanguage() {
    switch (GetSystemDefaultLangID()) {
    case 0x0404:
    case 0x0C04:
        return L"Language.0C04.dll";
    case 0x0804:
        return L"Language.0804.dll";
    case 0x0419:
        return L"Language.0419.dll";
    default:
        return L"Language.0409.dll";
    }
}

} // namespace

WizardTexts EnglishTexts() {
    return {L"Wizard",
            L"Next",
            L"Finish",
            L"Retry",
            L"Press 'VOLUME DOWN' key, then the update process will start automatically.",
            L"Update failed. Please make sure that Windows ActiveSync is installed and USB "
            L"cable is connected.",
            L"Cancel"};
}

WizardTexts TextsOf(const std::wstring& module) {
    return {ModuleString(module, 102), ModuleString(module, 104), ModuleString(module, 105),
            ModuleString(module, 106), ModuleString(module, 107), ModuleString(module, 108),
            ModuleString(module, 111)};
}

void WizardTest::SetUp() {
    m_folder = FreshRunFolder();
    ASSERT_FALSE(m_folder.empty());
    const std::vector<std::wstring> staged = FilesIn(StageFolder());
    ASSERT_FALSE(staged.empty()) << "nothing staged in the test program's stage folder";
    for (const std::wstring& name : staged)
        ASSERT_TRUE(CopyFileW(JoinPath(StageFolder(), name).c_str(),
                              JoinPath(m_folder, name).c_str(), FALSE));
    m_logPath = JoinPath(m_folder, L"eboot-log.txt");
    m_scriptPath = JoinPath(m_folder, L"eboot-script.txt");
    ASSERT_EQ(nullptr, FindPhoneWindow()) << "a wizard from elsewhere is running";
}

void WizardTest::TearDown() {
    if (HasFailure())
        std::printf("--- what was seen\n%s", Diagnostics().c_str());
    m_process.Kill();
}

void WizardTest::UseLanguage(const std::wstring& value) {
    m_language = value;
    if (value.empty()) {
        DeleteFileW(JoinPath(m_folder, L"Config.ini").c_str());
        return;
    }
    ASSERT_TRUE(WriteTextFile(JoinPath(m_folder, L"Config.ini"),
                              "[Config]\r\nLanguage=" + Utf8(value) + "\r\n"));
}

void WizardTest::WriteScript(const std::string& text) {
    ASSERT_TRUE(WriteTextFile(m_scriptPath, text));
}

std::wstring WizardTest::ModuleInUse() const {
    const std::wstring pack = m_language.empty() ? PackOfSystemLanguage() : m_language;
    const std::wstring path =
        pack.find(L'\\') == std::wstring::npos ? JoinPath(m_folder, pack) : pack;
    return FileExists(path) ? path : JoinPath(m_folder, kProgramName);
}

void WizardTest::StartProgram() {
    m_process.Kill();
    DeleteFileW(m_logPath.c_str());
    ASSERT_TRUE(
        m_process.Start(JoinPath(m_folder, kProgramName), m_folder,
                        {{L"EBOOT_DOUBLE_LOG", m_logPath}, {L"EBOOT_DOUBLE_SCRIPT", m_scriptPath}},
                        JoinPath(m_folder, L"output.txt")));
}

void WizardTest::StartWizard() {
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    m_wizard = WizardWindow::WaitForWizard(kStartTimeoutMs);
    ASSERT_TRUE(m_wizard.Exists()) << "no window with the property Phone";
    ASSERT_EQ(m_process.Id(), m_wizard.ProcessId());
    ASSERT_TRUE(
        WaitUntil([&] { return IsWindowVisible(m_wizard.Handle()) != FALSE; }, kStepTimeoutMs));
    ASSERT_TRUE(m_wizard.WaitForPage(kWelcome, kStepTimeoutMs));
}

void WizardTest::ClickNext() {
    const ButtonState next = m_wizard.Button(kNextId);
    ASSERT_TRUE(next.visible && next.enabled) << Describe(m_wizard.State());
    ASSERT_TRUE(m_wizard.Click(kNextId));
}

void WizardTest::GoToImagePage() {
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kGettingStarted, kStepTimeoutMs));
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kImageFile, kStepTimeoutMs));
}

wizdriver::FileDialogWindow WizardTest::OpenFileDialog() {
    EXPECT_TRUE(m_wizard.ClickPageControl(kBrowseId));
    FileDialogWindow dialog(m_wizard.WaitForFileDialog(kStepTimeoutMs));
    EXPECT_TRUE(dialog.Exists()) << "no open-file dialog owned by the wizard";
    return dialog;
}

void WizardTest::ChooseImage(const std::wstring& typed, const std::wstring& expectedPath) {
    FileDialogWindow dialog = OpenFileDialog();
    ASSERT_TRUE(dialog.Exists());
    ASSERT_TRUE(dialog.SetFileName(typed));
    ASSERT_TRUE(dialog.PressOpen());
    ASSERT_TRUE(dialog.WaitClosed(kStepTimeoutMs));
    ASSERT_TRUE(WaitUntil([&] { return m_wizard.PageControlText(kImagePathId) == expectedPath; },
                          kStepTimeoutMs))
        << "path box: " << Utf8(m_wizard.PageControlText(kImagePathId));
}

void WizardTest::GoToUpdatingPage() {
    ASSERT_NO_FATAL_FAILURE(GoToImagePage());
    const std::wstring image = MakeImage(L"images\\load.bin");
    ASSERT_NO_FATAL_FAILURE(ChooseImage(image, image));
    ASSERT_TRUE(WaitUntil([&] { return m_wizard.Button(kNextId).enabled; }, kStepTimeoutMs));
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kNotice, kStepTimeoutMs));
    ASSERT_TRUE(WaitUntil([&] { return m_wizard.Button(kNextId).enabled; }, kStepTimeoutMs));
    ASSERT_NO_FATAL_FAILURE(ClickNext());
    ASSERT_TRUE(m_wizard.WaitForPage(kUpdating, kStepTimeoutMs));
}

std::wstring WizardTest::MakeImage(const std::wstring& relativePath) {
    const std::wstring path = JoinPath(m_folder, relativePath);
    const size_t slash = path.find_last_of(L'\\');
    MakeFolders(path.substr(0, slash));
    EXPECT_TRUE(WriteTextFile(path, "not a real load"));
    return path;
}

bool WizardTest::WaitForLogLine(const std::string& line, int count, DWORD timeoutMs) const {
    return WaitUntil([&] { return Log().Count(line) >= count; }, timeoutMs);
}

std::string WizardTest::Output() const {
    return ReadSharedFile(JoinPath(m_folder, L"output.txt"));
}

std::string WizardTest::Diagnostics() const {
    std::string text;
    if (m_wizard.Exists())
        text += Describe(m_wizard.State());
    text += "--- library log\n" + Log().Text();
    text += "--- program output\n" + Output();
    return text;
}

} // namespace blackbox
