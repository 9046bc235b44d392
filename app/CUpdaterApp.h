// The application object: chooses and loads the language pack, lets only one
// copy run, runs the wizard modally and unloads the pack on the way out.
#pragma once

#include <windows.h>

#include "framework/CWinApp.h"

class CUpdaterApp : public CWinApp {
public:
    CUpdaterApp();
    ~CUpdaterApp() override;

    DECLARE_MESSAGE_MAP()

public:
    BOOL InitInstance() override;
    int ExitInstance() override;

    // Turns the executable's full path in szPath into the path of Config.ini
    // beside it. FALSE, with szPath then meaningless, when the path names no
    // directory or the result would not fit.
    static BOOL MakeConfigPath(wchar_t (&szPath)[MAX_PATH]);

    // The pack for a system default language, compared as the whole identifier.
    static const wchar_t* PackForLanguage(LANGID langId);

private:
    static void ActivateRunningCopy();
    void RunWizard();
};
