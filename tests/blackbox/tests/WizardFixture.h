// One run of the real program per test: a folder of its own with copies of
// the program, the packs and the scriptable eboot.dll, the double's log and
// script in that folder, and the process killed at the end whatever happened.
#pragma once

#include "ChildProcess.h"
#include "DoubleLog.h"
#include "FileDialogWindow.h"
#include "WizardWindow.h"

#include <gtest/gtest.h>

#include <string>

namespace blackbox {

constexpr wchar_t kProgramName[] = L"KALDREN_R530_Updater.exe";

// Indices of the six pages.
enum Page { kWelcome, kGettingStarted, kImageFile, kNotice, kUpdating, kComplete };

// Texts the wizard takes from the resource module in use.
struct WizardTexts {
    std::wstring caption, next, finish, retry, pressKey, updateFailed, cancel;
};
// The texts of the program's own English set, as they must read.
WizardTexts EnglishTexts();
WizardTexts TextsOf(const std::wstring& module);

class WizardTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Config.ini beside the program naming this pack (used as written);
    // an empty value removes the file.
    void UseLanguage(const std::wstring& value);
    void WriteScript(const std::string& text);
    // The module whose resources the wizard should show: the pack Config.ini
    // names, or the one the system language picks, or the program itself
    // when that pack is not there.
    std::wstring ModuleInUse() const;

    void StartProgram();
    // Starts the program and waits for its wizard on the welcome page.
    void StartWizard();
    void ClickNext();
    void GoToImagePage();
    // Chooses path (typed into the file-name box) with Browse and Open.
    void ChooseImage(const std::wstring& typed, const std::wstring& expectedPath);
    // Welcome to the Updating page with an image chosen on the way.
    void GoToUpdatingPage();
    wizdriver::FileDialogWindow OpenFileDialog();

    std::wstring MakeImage(const std::wstring& relativePath);
    DoubleLog Log() const { return DoubleLog::Read(m_logPath); }
    bool WaitForLogLine(const std::string& line, int count, DWORD timeoutMs) const;
    std::string Output() const;
    std::string Diagnostics() const;

    std::wstring m_folder;
    std::wstring m_logPath;
    std::wstring m_scriptPath;
    std::wstring m_language; // empty: no Config.ini
    ChildProcess m_process;
    wizdriver::WizardWindow m_wizard;
};

} // namespace blackbox
