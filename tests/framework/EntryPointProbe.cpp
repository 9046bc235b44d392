// A GUI program with nothing but an application object: the class layer's
// entry point must be linked in and drive it. Exits 0 when everything the
// entry point promises held when InitInstance ran, else a code naming what
// did not.
#include <windows.h>

#include <cwchar>

#include "framework/CWinApp.h"

class CProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        HINSTANCE hExe = ::GetModuleHandleW(nullptr);
        if (m_hInstance != hExe)
            m_nResult = 2;
        else if (AfxGetInstanceHandle() != hExe || AfxGetResourceHandle() != hExe)
            m_nResult = 3;
        else if (m_pszAppName == nullptr || wcscmp(m_pszAppName, L"framework_entry_probe") != 0)
            m_nResult = 4;
        else
            m_nResult = 0;
        return FALSE;
    }
    int ExitInstance() override { return m_nResult; }

private:
    int m_nResult = 1; // InitInstance never ran
};

CProbeApp theApp;
