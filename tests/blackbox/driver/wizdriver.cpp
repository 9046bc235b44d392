// wizdriver: looks at and drives the running wizard from the command line.
//   wizdriver state
//   wizdriver wait-wizard [ms] | wait-page N [ms]
//   wizdriver press next|cancel|back|finish     (a click, like a user's)
//   wizdriver press-message next|cancel|back|finish  (the frame's message)
//   wizdriver mouse next|cancel|back|finish     (real mouse input)
//   wizdriver click ID                          (a control of the active page)
//   wizdriver escape | close | sysclose
//   wizdriver filedialog state|cancel|open|set NAME|choose NAME
// Exit code 0 on success, 1 when the wizard or the item is not there, 2 on
// a usage error.
#include "FileDialogWindow.h"
#include "RemoteWindow.h"
#include "WizardWindow.h"

#include <prsht.h>

#include <cstdio>
#include <cwchar>
#include <string>

using namespace wizdriver;

namespace {

void Print(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
              &written, nullptr);
}

int Usage() {
    Print("usage: wizdriver state | wait-wizard [ms] | wait-page N [ms] | press BUTTON |\n"
          "       press-message BUTTON | mouse BUTTON | click ID | escape | close | sysclose |\n"
          "       filedialog state|cancel|open|set NAME|choose NAME\n"
          "BUTTON: next cancel back finish\n");
    return 2;
}

struct NamedButton {
    const wchar_t* name;
    int id;
    int psbtn;
};

const NamedButton kButtons[] = {
    {L"next", kNextId, PSBTN_NEXT},
    {L"cancel", kCancelId, PSBTN_CANCEL},
    {L"back", kBackId, PSBTN_BACK},
    {L"finish", kFinishId, PSBTN_FINISH},
};

const NamedButton* ButtonNamed(const wchar_t* name) {
    for (const NamedButton& button : kButtons) {
        if (_wcsicmp(button.name, name) == 0)
            return &button;
    }
    return nullptr;
}

DWORD NumberOr(int argc, wchar_t** argv, int index, DWORD fallback) {
    return argc > index ? static_cast<DWORD>(_wtoi(argv[index])) : fallback;
}

int FileDialogCommand(const WizardWindow& wizard, int argc, wchar_t** argv) {
    if (argc < 3)
        return Usage();
    const std::wstring action = argv[2];
    FileDialogWindow dialog(wizard.WaitForFileDialog(3000));
    if (!dialog.Exists()) {
        Print("no open-file dialog\n");
        return 1;
    }
    if (action == L"state") {
        Print("file name \"" + Utf8(dialog.FileName()) + "\"\nfile type \"" +
              Utf8(dialog.FileType()) + "\"\n");
        return 0;
    }
    if (action == L"cancel")
        return dialog.Cancel() && dialog.WaitClosed(3000) ? 0 : 1;
    if (action == L"open")
        return dialog.PressOpen() && dialog.WaitClosed(3000) ? 0 : 1;
    if (argc < 4)
        return Usage();
    if (action == L"set")
        return dialog.SetFileName(argv[3]) ? 0 : 1;
    if (action == L"choose")
        return dialog.SetFileName(argv[3]) && dialog.PressOpen() && dialog.WaitClosed(3000) ? 0 : 1;
    return Usage();
}

int Run(int argc, wchar_t** argv) {
    if (argc < 2)
        return Usage();
    const std::wstring command = argv[1];
    if (command == L"wait-wizard") {
        WizardWindow wizard = WizardWindow::WaitForWizard(NumberOr(argc, argv, 2, 10000));
        return wizard.Exists() ? 0 : 1;
    }
    WizardWindow wizard(FindPhoneWindow());
    if (!wizard.Exists()) {
        Print("no wizard\n");
        return 1;
    }
    if (command == L"state") {
        Print(Describe(wizard.State()));
        return 0;
    }
    if (command == L"wait-page" && argc >= 3)
        return wizard.WaitForPage(_wtoi(argv[2]), NumberOr(argc, argv, 3, 10000)) ? 0 : 1;
    if (command == L"escape")
        return wizard.PostEscape() ? 0 : 1;
    if (command == L"close")
        return wizard.Close() ? 0 : 1;
    if (command == L"sysclose")
        return wizard.SysClose() ? 0 : 1;
    if (command == L"click" && argc >= 3)
        return wizard.ClickPageControl(_wtoi(argv[2])) ? 0 : 1;
    if (command == L"filedialog")
        return FileDialogCommand(wizard, argc, argv);
    if (argc >= 3) {
        const NamedButton* button = ButtonNamed(argv[2]);
        if (!button)
            return Usage();
        if (command == L"press")
            return wizard.Click(button->id) ? 0 : 1;
        if (command == L"press-message")
            return wizard.PressByMessage(button->psbtn) ? 0 : 1;
        if (command == L"mouse")
            return wizard.ClickWithMouse(button->id) ? 0 : 1;
    }
    return Usage();
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    return Run(argc, argv);
}
