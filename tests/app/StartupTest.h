// Starting the real program, as often as a test needs, from a folder of its
// own holding copies of the program, the packs, the recording pack and the
// scriptable eboot.dll; every process started is killed at the end.
#pragma once

#include "ChildProcess.h"
#include "WizardWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace startup {

constexpr wchar_t kProgramName[] = L"KALDREN_R530_Updater.exe";
constexpr wchar_t kRecordingPackName[] = L"RecordingPack.dll";
constexpr DWORD kStartTimeoutMs = 20000;
// A copy that does not run the wizard must be gone within this.
constexpr DWORD kShortRunMs = 8000;

// The texts by which a module's resource set shows itself on the first page.
struct WelcomeTexts {
    std::wstring title;             // the window's title: the page's template caption
    std::wstring next;              // string 104
    std::wstring cancel;            // string 111
    std::vector<std::wstring> page; // the welcome template's texts, in order
};
WelcomeTexts ExpectedWelcome(const std::wstring& module);
WelcomeTexts ShownWelcome(const wizdriver::WizardWindow& wizard);
std::string Describe(const WelcomeTexts& texts);
bool operator==(const WelcomeTexts& a, const WelcomeTexts& b);

// Top-level windows of a process that a user can see.
std::vector<HWND> VisibleWindowsOf(DWORD processId);
std::wstring Lower(std::wstring text);
// Modules named Language.*.dll or RecordingPack.dll loaded in the process
// (full paths, lower case, sorted); empty also when the process cannot be read.
std::vector<std::wstring> PacksLoadedIn(DWORD processId, bool* readable = nullptr);
// Every top-level window carrying the property "Phone".
std::vector<HWND> PhoneWindows();

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Config.ini beside the program with this Language line, bytes as given.
    void WriteConfig(const std::string& languageValue);
    std::wstring InFolder(const std::wstring& name) const;

    // Starts one more copy of the program; all share the folder and logs.
    blackbox::ChildProcess& Start();
    // Starts the first copy and waits until its wizard shows the welcome page.
    void StartWizard();
    // The wizard is the only window its process shows, for a while.
    void ExpectOnlyTheWizardShown();
    // Cancel, as a user would; the first copy must then end.
    void CloseWizard();
    // Lines of the recording pack's log.
    std::vector<std::string> PackLog() const;
    std::string Diagnostics() const;

    std::wstring m_folder;
    std::wstring m_packLog;
    std::vector<std::unique_ptr<blackbox::ChildProcess>> m_processes;
    wizdriver::WizardWindow m_wizard;
};

// Polls pred until it holds or the time is up, handling this thread's
// messages meanwhile, so that windows of the test itself stay responsive.
template <class Pred> bool WaitPumping(Pred pred, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (pred())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(20);
    }
}

} // namespace startup
