// A two-page wizard that exercises the driver on a window whose behaviour is
// known: page 0 has a read-only path box and Browse (Next enabled only once
// a file is chosen), page 1 a progress bar held at 0..100, 37 and "37%".
// With the argument "crash", cancelling dereferences null, to show how a
// crash appears to the harness.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <prsht.h>

#include <cwchar>

namespace {

bool g_crashOnCancel = false;

void ChooseFile(HWND page) {
    wchar_t path[MAX_PATH] = L"Flash";
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = GetParent(page);
    ofn.lpstrFilter = L"Bin Files(*.bin)\0*.bin\0All Files(*.*)\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = L"bin";
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
    if (GetOpenFileNameW(&ofn)) {
        SetDlgItemTextW(page, 1003, path);
        PropSheet_SetWizButtons(GetParent(page), PSWIZB_NEXT);
    }
}

INT_PTR CALLBACK FilePage(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && LOWORD(wp) == 1004 && HIWORD(wp) == BN_CLICKED) {
        ChooseFile(page);
        return TRUE;
    }
    if (msg == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lp);
        if (header->code == PSN_SETACTIVE) {
            PropSheet_SetWizButtons(GetParent(page), 0);
            return TRUE;
        }
        if (header->code == PSN_RESET && g_crashOnCancel) {
            volatile int* nowhere = nullptr;
            *nowhere = 1;
        }
    }
    return FALSE;
}

INT_PTR CALLBACK ProgressPage(HWND page, UINT msg, WPARAM, LPARAM lp) {
    if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lp)->code == PSN_SETACTIVE) {
        SendDlgItemMessageW(page, 1000, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageW(page, 1000, PBM_SETPOS, 37, 0);
        SetDlgItemTextW(page, 1005, L"37%");
        PropSheet_SetWizButtons(GetParent(page), PSWIZB_FINISH);
        return TRUE;
    }
    return FALSE;
}

int CALLBACK SheetCallback(HWND sheet, UINT msg, LPARAM) {
    if (msg == PSCB_INITIALIZED)
        SetPropW(sheet, L"Phone", reinterpret_cast<HANDLE>(1));
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    g_crashOnCancel = wcsstr(commandLine, L"crash") != nullptr;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    PROPSHEETPAGEW pages[2] = {};
    for (PROPSHEETPAGEW& page : pages) {
        page.dwSize = sizeof(page);
        page.hInstance = instance;
    }
    pages[0].pszTemplate = MAKEINTRESOURCEW(200);
    pages[0].pfnDlgProc = FilePage;
    pages[1].pszTemplate = MAKEINTRESOURCEW(201);
    pages[1].pfnDlgProc = ProgressPage;

    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    header.hInstance = instance;
    header.pszCaption = L"Stand-in wizard";
    header.nPages = 2;
    header.ppsp = pages;
    header.pfnCallback = SheetCallback;
    PropertySheetW(&header);
    return 0;
}
