// What the class layer's tests share: the test program's application
// object, a log of the handlers that ran, a scripted user that acts on a
// modal wizard from timer ticks, and recording pages and sheets.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/CProgressCtrl.h"
#include "framework/CPropertyPage.h"
#include "framework/CPropertySheet.h"
#include "framework/CWinApp.h"

// The test program's one application object. Like the product's, its message
// map handles ID_HELP; each test sets what InitInstance and ExitInstance do.
class CTestApp : public CWinApp {
public:
    BOOL InitInstance() override;
    int ExitInstance() override;

    std::function<BOOL()> m_onInitInstance;
    int m_nExitCode = 0;
    int m_nExitCalls = 0;

    DECLARE_MESSAGE_MAP()
};

CTestApp& TestApp();

// The handlers that ran, as "who:what", in order.
std::vector<std::string>& Events();
void Record(const std::string& event);

// A page that records every handler the frame reaches and answers with the
// results a test sets.
class CRecordingPage : public CPropertyPage {
public:
    CRecordingPage(const char* pszName, UINT nIDTemplate);

    std::string m_name;
    BOOL m_bAcceptActivation = TRUE;
    BOOL m_bAllowLeaving = TRUE;
    BOOL m_bAllowCancel = TRUE;
    LRESULT m_nWizardNext = 0;
    CProgressCtrl m_progress;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    LRESULT OnWizardNext() override;
    void OnReset() override;
    void OnCancel() override;
    BOOL OnQueryCancel() override;

    void OnPress();
    LRESULT OnPrivate(WPARAM wParam, LPARAM lParam);

protected:
    void PostNcDestroy() override;

    DECLARE_MESSAGE_MAP()
};

// A sheet that records its initialisation and destruction and, when asked,
// swallows the Escape key in PreTranslateMessage.
class CRecordingSheet : public CPropertySheet {
public:
    explicit CRecordingSheet(bool bWizard = true);

    bool m_bSwallowEscape = false;
    int m_nEscapesSeen = 0;
    bool m_bButtonsExistedAtInit = false;
    bool m_bPageExistedAtInit = false;

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void PostNcDestroy() override;
};

// Acts on a running modal wizard as a user would: one step per timer tick on
// the wizard's own thread. When the steps are done and the wizard is still
// open, it reports a failure and closes the wizard, so that a broken test
// cannot hang the run.
class ScriptedUser {
public:
    using Step = std::function<void(HWND hSheet)>;

    explicit ScriptedUser(CPropertySheet& sheet, UINT nIntervalMs = 40);
    ~ScriptedUser();
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;

    ScriptedUser& Then(Step step);
    // No more ticks: from here the wizard gets no messages from this user.
    void Stop();
    // Ticks of the watchdog after the last step: none has to act in a test
    // that closes the wizard itself.
    bool WatchdogActed() const { return m_bWatchdogActed; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Tick();

    CPropertySheet& m_sheet;
    std::deque<Step> m_steps;
    UINT_PTR m_nTimer = 0;
    int m_nIdleTicks = 0;
    bool m_bWatchdogActed = false;
};

// Sheet helpers.
void PressButton(HWND hSheet, int nButton); // PSM_PRESSBUTTON, e.g. PSBTN_NEXT
HWND ActivePage(HWND hSheet);
std::wstring WindowText(HWND hWnd);
std::wstring ControlText(HWND hDlg, int nID);

// A loaded module, freed at the end of the scope.
class LoadedModule {
public:
    explicit LoadedModule(const wchar_t* pszName) : m_hModule(::LoadLibraryW(pszName)) {}
    ~LoadedModule() {
        if (m_hModule)
            ::FreeLibrary(m_hModule);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    HINSTANCE get() const { return m_hModule; }

private:
    HINSTANCE m_hModule;
};

// Makes a module the current resource module for a scope.
class CurrentResourceModule {
public:
    explicit CurrentResourceModule(HINSTANCE hModule) : m_hPrevious(AfxGetResourceHandle()) {
        AfxSetResourceHandle(hModule);
    }
    ~CurrentResourceModule() { AfxSetResourceHandle(m_hPrevious); }
    CurrentResourceModule(const CurrentResourceModule&) = delete;
    CurrentResourceModule& operator=(const CurrentResourceModule&) = delete;

private:
    HINSTANCE m_hPrevious;
};
