#include "TestSupport.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "TestResources.h"

namespace {
CTestApp g_testApp;
std::vector<std::string> g_events;
ScriptedUser* g_pScriptedUser = nullptr;

// About 2 s of ticks after the last step before the watchdog closes the wizard.
const int kIdleTicksBeforeCancel = 50;
} // namespace

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

BOOL CTestApp::InitInstance() {
    return m_onInitInstance ? m_onInitInstance() : FALSE;
}

int CTestApp::ExitInstance() {
    ++m_nExitCalls;
    return m_nExitCode;
}

CTestApp& TestApp() {
    return g_testApp;
}

std::vector<std::string>& Events() {
    return g_events;
}

void Record(const std::string& event) {
    g_events.push_back(event);
}

BEGIN_MESSAGE_MAP(CRecordingPage, CPropertyPage)
ON_BN_CLICKED(IDC_TEST_BUTTON, &CRecordingPage::OnPress)
ON_MESSAGE(WM_APP + 5, &CRecordingPage::OnPrivate)
END_MESSAGE_MAP()

CRecordingPage::CRecordingPage(const char* pszName, UINT nIDTemplate)
    : CPropertyPage(nIDTemplate), m_name(pszName) {}

BOOL CRecordingPage::OnInitDialog() {
    Record(m_name + ":init");
    return CPropertyPage::OnInitDialog();
}

void CRecordingPage::DoDataExchange(CDataExchange* pDX) {
    Record(m_name + ":ddx");
    DDX_Control(pDX, IDC_TEST_PROGRESS, m_progress);
}

BOOL CRecordingPage::OnSetActive() {
    Record(m_name + ":setactive");
    return m_bAcceptActivation;
}

BOOL CRecordingPage::OnKillActive() {
    Record(m_name + ":killactive");
    return m_bAllowLeaving;
}

LRESULT CRecordingPage::OnWizardNext() {
    Record(m_name + ":wiznext");
    return m_nWizardNext;
}

void CRecordingPage::OnReset() {
    Record(m_name + ":reset");
    CPropertyPage::OnReset();
}

void CRecordingPage::OnCancel() {
    Record(m_name + ":cancel");
}

BOOL CRecordingPage::OnQueryCancel() {
    Record(m_name + ":querycancel");
    return m_bAllowCancel;
}

void CRecordingPage::OnPress() {
    Record(m_name + ":press");
}

LRESULT CRecordingPage::OnPrivate(WPARAM wParam, LPARAM lParam) {
    Record(m_name + ":private");
    return static_cast<LRESULT>(wParam + lParam);
}

void CRecordingPage::PostNcDestroy() {
    Record(m_name + ":destroyed");
}

CRecordingSheet::CRecordingSheet(bool bWizard) : CPropertySheet(IDS_TEST_CAPTION) {
    if (bWizard)
        m_psh.dwFlags |= PSH_WIZARD;
    m_psh.dwFlags &= ~PSH_HASHELP;
}

BOOL CRecordingSheet::OnInitDialog() {
    CPropertySheet::OnInitDialog();
    Record("sheet:init");
    m_bButtonsExistedAtInit = GetDlgItem(ID_WIZNEXT) != nullptr && GetDlgItem(IDCANCEL) != nullptr;
    m_bPageExistedAtInit = PropSheet_GetCurrentPageHwnd(m_hWnd) != nullptr;
    return TRUE;
}

BOOL CRecordingSheet::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
        ++m_nEscapesSeen;
        if (m_bSwallowEscape)
            return TRUE;
    }
    return CPropertySheet::PreTranslateMessage(pMsg);
}

void CRecordingSheet::PostNcDestroy() {
    Record("sheet:destroyed");
}

ScriptedUser::ScriptedUser(CPropertySheet& sheet, UINT nIntervalMs) : m_sheet(sheet) {
    g_pScriptedUser = this;
    m_nTimer = ::SetTimer(nullptr, 0, nIntervalMs, &ScriptedUser::OnTimer);
}

ScriptedUser::~ScriptedUser() {
    ::KillTimer(nullptr, m_nTimer);
    g_pScriptedUser = nullptr;
}

void ScriptedUser::Stop() {
    ::KillTimer(nullptr, m_nTimer);
    m_nTimer = 0;
}

ScriptedUser& ScriptedUser::Then(Step step) {
    m_steps.push_back(std::move(step));
    return *this;
}

void CALLBACK ScriptedUser::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_pScriptedUser)
        g_pScriptedUser->Tick();
}

void ScriptedUser::Tick() {
    HWND hSheet = m_sheet.m_hWnd;
    if (hSheet == nullptr)
        return;
    if (!m_steps.empty()) {
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step(hSheet);
        return;
    }
    if (++m_nIdleTicks < kIdleTicksBeforeCancel)
        return;
    if (!m_bWatchdogActed) {
        m_bWatchdogActed = true;
        ADD_FAILURE() << "the wizard was still open after the last step";
        PressButton(hSheet, PSBTN_CANCEL);
    } else {
        ::DestroyWindow(hSheet);
    }
}

void PressButton(HWND hSheet, int nButton) {
    PropSheet_PressButton(hSheet, nButton);
}

HWND ActivePage(HWND hSheet) {
    return PropSheet_GetCurrentPageHwnd(hSheet);
}

std::wstring WindowText(HWND hWnd) {
    wchar_t szText[512] = {};
    ::GetWindowTextW(hWnd, szText, 512);
    return szText;
}

std::wstring ControlText(HWND hDlg, int nID) {
    return WindowText(::GetDlgItem(hDlg, nID));
}
