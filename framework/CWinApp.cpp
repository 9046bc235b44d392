#include "framework/CWinApp.h"

#include "framework/CWnd.h"

namespace {
CWinApp* g_pApp = nullptr;
HINSTANCE g_hInstance = nullptr;
HINSTANCE g_hResource = nullptr;
} // namespace

CWinApp::CWinApp(const wchar_t* lpszAppName) {
    if (lpszAppName) {
        m_strAppName = lpszAppName;
        m_bAppNameGiven = true;
    }
    m_pszAppName = lpszAppName ? m_strAppName.GetString() : nullptr;
    g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        CWnd* pMain = m_pMainWnd;
        if (pMain && pMain->PreTranslateMessage(&msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

int CWinApp::ExitInstance() {
    return m_nExitCode;
}

void CWinApp::OnHelp() {}

BOOL CWinApp::Enable3dControlsStatic() {
    return TRUE;
}

BOOL CWinApp::HandlesHelp() const {
    return FindCommandEntry(ID_HELP, 0) != nullptr;
}

void CWinApp::FixDisplayName() {
    if (m_bAppNameGiven) {
        m_pszAppName = m_strAppName;
        return;
    }
    if (!m_strAppName.LoadString(g_hInstance, AFX_IDS_APP_TITLE)) {
        wchar_t szPath[MAX_PATH];
        DWORD nLength = ::GetModuleFileNameW(g_hInstance, szPath, MAX_PATH);
        if (nLength >= MAX_PATH)
            nLength = MAX_PATH - 1;
        szPath[nLength] = L'\0';
        const wchar_t* pName = szPath;
        for (const wchar_t* p = szPath; *p; ++p) {
            if (*p == L'\\' || *p == L'/' || *p == L':')
                pName = p + 1;
        }
        const wchar_t* pDot = nullptr;
        for (const wchar_t* p = pName; *p; ++p) {
            if (*p == L'.')
                pDot = p;
        }
        m_strAppName = pDot ? CString(pName, static_cast<int>(pDot - pName)) : CString(pName);
    }
    m_pszAppName = m_strAppName;
}

CWinApp* AfxGetApp() {
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle() {
    return g_hInstance ? g_hInstance : ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
    return g_hResource ? g_hResource : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hResource) {
    g_hResource = hResource;
}

void AfxEnableControlContainer() {}

int AfxWinMain(HINSTANCE hInstance, int) {
    g_hInstance = hInstance;
    g_hResource = hInstance;
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr)
        return -1;
    pApp->m_hInstance = hInstance;
    pApp->FixDisplayName();
    if (pApp->InitInstance())
        return pApp->Run();
    // No message loop: what is left of a main window goes now.
    if (pApp->m_pMainWnd && pApp->m_pMainWnd->m_hWnd)
        pApp->m_pMainWnd->DestroyWindow();
    pApp->m_pMainWnd = nullptr;
    return pApp->ExitInstance();
}
