#include "app/CUpdaterApp.h"

#include <cwchar>

#include "framework/FrameworkIds.h"
#include "wizard/CMyPropertySheet.h"

namespace {

const wchar_t kConfigFileName[] = L"Config.ini";
// Both the semaphore and the wizard window's property carry this name.
const wchar_t kInstanceName[] = L"Phone";
// GetPrivateProfileString's buffer: a longer value is cut to 127 characters.
const DWORD kLanguageChars = 128;

} // namespace

BEGIN_MESSAGE_MAP(CUpdaterApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CUpdaterApp::CUpdaterApp() : CWinApp(nullptr) {
    m_hInstance = nullptr;
}

CUpdaterApp::~CUpdaterApp() = default;

BOOL CUpdaterApp::MakeConfigPath(wchar_t (&szPath)[MAX_PATH]) {
    size_t nLength = wcsnlen(szPath, MAX_PATH);
    if (nLength == MAX_PATH) {
        return FALSE; // not even terminated: a truncated path names no directory
    }
    // Keep the directory with its trailing backslash; never look before the start.
    while (nLength > 0 && szPath[nLength - 1] != L'\\') {
        --nLength;
    }
    if (nLength == 0) {
        return FALSE;
    }
    const size_t nNameChars = sizeof(kConfigFileName) / sizeof(kConfigFileName[0]);
    if (nLength + nNameChars > MAX_PATH) {
        return FALSE;
    }
    wmemcpy(szPath + nLength, kConfigFileName, nNameChars);
    return TRUE;
}

const wchar_t* CUpdaterApp::PackForLanguage(LANGID langId) {
    switch (langId) {
    case 0x0404: // Chinese (Taiwan) shares the Hong Kong pack
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

BOOL CUpdaterApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControlsStatic();

    wchar_t szLanguage[kLanguageChars] = L"";
    wchar_t szConfigPath[MAX_PATH] = L"";
    const DWORD nModuleChars = ::GetModuleFileNameW(nullptr, szConfigPath, MAX_PATH);
    // Without a usable directory there is no Config.ini to read, and the
    // system's language decides, as when the file is missing.
    if (nModuleChars > 0 && nModuleChars < MAX_PATH && MakeConfigPath(szConfigPath)) {
        ::GetPrivateProfileStringW(L"Config", L"Language", L"", szLanguage, kLanguageChars,
                                   szConfigPath);
    }
    const wchar_t* pszPack =
        szLanguage[0] != L'\0' ? szLanguage : PackForLanguage(::GetSystemDefaultLangID());

    m_hInstance = ::LoadLibraryW(pszPack);
    if (m_hInstance != nullptr) {
        AfxSetResourceHandle(m_hInstance);
    }

    // Stays open until the process ends: it marks this copy as the running one.
    const HANDLE hSemaphore = ::CreateSemaphoreW(nullptr, 1, 1, kInstanceName);
    if (hSemaphore == nullptr) {
        return FALSE;
    }
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(hSemaphore);
        ActivateRunningCopy();
        return FALSE;
    }

    RunWizard();
    return FALSE;
}

void CUpdaterApp::ActivateRunningCopy() {
    for (HWND hWnd = ::GetWindow(::GetDesktopWindow(), GW_CHILD); ::IsWindow(hWnd);
         hWnd = ::GetWindow(hWnd, GW_HWNDNEXT)) {
        if (::GetPropW(hWnd, kInstanceName) != nullptr) {
            if (::IsIconic(hWnd)) {
                ::ShowWindow(hWnd, SW_RESTORE);
            }
            ::SetForegroundWindow(hWnd);
            return;
        }
    }
}

void CUpdaterApp::RunWizard() {
    CMyPropertySheet sheet;
    m_pMainWnd = &sheet;
    sheet.DoModal();
    // When the window could not be created the frame leaves this naming the
    // sheet, which is about to be destroyed.
    m_pMainWnd = nullptr;
}

int CUpdaterApp::ExitInstance() {
    if (m_hInstance != nullptr) {
        ::FreeLibrary(m_hInstance);
        m_hInstance = nullptr;
        // Nothing may look a resource up in the module just unloaded.
        AfxSetResourceHandle(AfxGetInstanceHandle());
    }
    return CWinApp::ExitInstance();
}
