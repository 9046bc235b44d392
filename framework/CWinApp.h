// The application object. Exactly one exists per program, normally a global
// of a class derived from CWinApp; its constructor registers it, and the
// program's entry point (wWinMain in this layer) drives it:
//   1. records the executable as the instance and the current resource module
//      and stores it in m_hInstance;
//   2. fixes the display name: the name given to the constructor, else string
//      AFX_IDS_APP_TITLE of the executable, else the executable's file name
//      without its extension;
//   3. InitInstance; when it returns TRUE, Run (a message loop until WM_QUIT);
//      when FALSE, no message loop, and a window m_pMainWnd still names is
//      destroyed;
//   4. ExitInstance, whose result is the exit code.
#pragma once

#include <windows.h>

#include "framework/CCmdTarget.h"
#include "framework/CString.h"
#include "framework/FrameworkIds.h"

class CWnd;

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const wchar_t* lpszAppName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    const wchar_t* m_pszAppName = nullptr; // the display name

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    // The default handler of ID_HELP for an application's message map. This
    // layer has no help viewer to start, so it does nothing.
    void OnHelp();
    // Kept for code written for the old 3D look of dialog controls, which
    // every supported system has anyway; returns TRUE.
    BOOL Enable3dControlsStatic();

    // TRUE when the application's message map handles ID_HELP.
    BOOL HandlesHelp() const;

private:
    friend int AfxWinMain(HINSTANCE hInstance, int nCmdShow);
    void FixDisplayName();

    CString m_strAppName;
    bool m_bAppNameGiven = false;
    int m_nExitCode = 0;
};

// The registered application object, or nullptr.
CWinApp* AfxGetApp();
// The executable's module.
HINSTANCE AfxGetInstanceHandle();
// The module every lookup by number goes to: strings, icons, page templates.
// The executable's module until it is changed.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hResource);
// Nothing in this layer hosts ActiveX controls; kept so start-up code reads
// as written for platforms that need it.
void AfxEnableControlContainer();

// The work of the program's entry point, for the application object that is
// registered; the exit code.
int AfxWinMain(HINSTANCE hInstance, int nCmdShow);
