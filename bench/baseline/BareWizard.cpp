// The platform's floor: a comctl32 wizard with nothing of the program's own.
//   (no argument)  one blank page; marks its window like the program does, so
//                  the driver finds both the same way.
//   attempt        three blank pages; activating the second starts a thread
//                  that at once posts its end back, and the second page then
//                  shows the third: the bare path of one download attempt,
//                  timestamped into the bench record.
// Built a second time with BARE_WIZARD_BINDS_COMDLG32, binding the open-file
// dialog's library at load time as the program does, to show what that costs.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>
#ifdef BARE_WIZARD_BINDS_COMDLG32
#include <commdlg.h>
#endif

#include <cwchar>

#include "bench/BenchRecord.h"

namespace {

constexpr UINT WM_ATTEMPT_DONE = WM_USER + 11;
constexpr int kTemplate = 1;
constexpr int kAttemptPage = 1;
constexpr int kAfterAttemptPage = 2;

bench::Record* g_pRecord = nullptr;
HANDLE g_hThread = nullptr;

// The readings go to the record when the bench runs, else nowhere.
void Note(int nIndex, LONGLONG qpc) {
    if (g_pRecord != nullptr)
        g_pRecord->qpcBase[nIndex] = qpc;
}

DWORD WINAPI AttemptThread(LPVOID pParam) {
    Note(1, bench::Now());
    Note(2, bench::Now());
    PostMessageW(static_cast<HWND>(pParam), WM_ATTEMPT_DONE, 1, 0);
    return 0;
}

void StartAttempt(HWND hPage) {
    Note(0, bench::Now());
    g_hThread = CreateThread(nullptr, 0, AttemptThread, hPage, 0, nullptr);
}

void EndAttempt(HWND hPage) {
    if (g_hThread != nullptr) {
        CloseHandle(g_hThread);
        g_hThread = nullptr;
    }
    PropSheet_SetCurSel(GetParent(hPage), nullptr, kAfterAttemptPage);
}

INT_PTR CALLBACK PageProc(HWND hPage, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(hPage, DWLP_USER, reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(PSN_SETACTIVE)) {
            PropSheet_SetWizButtons(GetParent(hPage), PSWIZB_NEXT);
            if (GetWindowLongPtrW(hPage, DWLP_USER) == kAttemptPage)
                StartAttempt(hPage);
            SetWindowLongPtrW(hPage, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        return FALSE;
    case WM_ATTEMPT_DONE:
        EndAttempt(hPage);
        return TRUE;
    case WM_SHOWWINDOW:
        if (wParam != 0 && GetWindowLongPtrW(hPage, DWLP_USER) == kAfterAttemptPage &&
            g_pRecord != nullptr && g_pRecord->nBaseDone == 0) {
            Note(3, bench::Now());
            InterlockedExchange(&g_pRecord->nBaseDone, 1);
        }
        return FALSE;
    default:
        return FALSE;
    }
}

int CALLBACK SheetCallback(HWND hSheet, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED)
        SetPropW(hSheet, L"Phone", reinterpret_cast<HANDLE>(1));
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR pszCmdLine, int) {
#ifdef BARE_WIZARD_BINDS_COMDLG32
    // Referenced, never called: only the import matters.
    static BOOL(WINAPI* volatile s_pfnOpen)(OPENFILENAMEW*) = GetOpenFileNameW;
    (void)s_pfnOpen;
#endif
    g_pRecord = bench::OpenRecord();
    const bool bAttempt = std::wcsstr(pszCmdLine, L"attempt") != nullptr;

    PROPSHEETPAGEW pages[3] = {};
    for (int i = 0; i < 3; ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEW);
        pages[i].hInstance = hInstance;
        pages[i].pszTemplate = MAKEINTRESOURCEW(kTemplate);
        pages[i].pfnDlgProc = PageProc;
        pages[i].lParam = i;
    }
    PROPSHEETHEADERW sheet = {};
    sheet.dwSize = sizeof(sheet);
    sheet.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    sheet.hInstance = hInstance;
    sheet.pszCaption = L"Wizard";
    sheet.nPages = bAttempt ? 3 : 1;
    sheet.ppsp = pages;
    sheet.pfnCallback = SheetCallback;
    PropertySheetW(&sheet);
    if (g_hThread != nullptr)
        CloseHandle(g_hThread);
    return 0;
}
