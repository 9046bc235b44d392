// Test tool: shows the six page templates of a language pack (or of the
// program's own set, which this tool carries) inside a real comctl32 wizard,
// with the button captions and page states the wizard gives them, so that
// layouts can be looked at and measured.
//
//   resource_viewer [--pack FILE] [--page N] [--failed] [--hold MS]
//   resource_viewer [--pack FILE] --check
//
// --page N shows page N (1-6) for MS milliseconds (default 3000), placed at
// the top left of the screen, and prints the window's size as "size W H".
// --failed shows the Updating page after a failed download.
// --check visits every page, prints what each text needs and has, and exits
// with 1 when a text does not fit or controls collide.

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "LayoutCheck.h"
#include "PageTemplate.h"
#include "res/resource.h"

namespace {

constexpr int kPageCount = 6;
constexpr UINT kFirstTemplate = IDD_WELCOME;
constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr UINT WM_APPLY_PAGE_STATE = WM_APP + 1;
// Progress the Updating page shows in a screenshot.
constexpr int kShownPercent = 40;

struct Options {
    std::wstring pack;
    int page = 1;
    bool failed = false;
    bool check = false;
    DWORD holdMs = 3000;
};

HMODULE g_module = nullptr;
Options g_options;

std::wstring LoadText(UINT id) {
    const wchar_t* text = nullptr;
    int length = LoadStringW(g_module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

void PrintUtf8(const std::wstring& line) {
    int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, out.data(), size, nullptr, nullptr);
    std::printf("%s\n", out.c_str());
}

// What the wizard does to its buttons and to the page when a page becomes
// active, so the pictures show what the user would see.
void ApplyPageState(HWND page, int index) {
    HWND sheet = GetParent(page);
    HWND next = GetDlgItem(sheet, kNextButton);
    ShowWindow(GetDlgItem(sheet, kBackButton), SW_HIDE);
    SetWindowTextW(next, LoadText(IDS_NEXT).c_str());
    SetWindowTextW(GetDlgItem(sheet, IDCANCEL), LoadText(IDS_CANCEL).c_str());
    // Sent, not posted as PropSheet_SetWizButtons does, so that the frame
    // cannot show a button again after it has been hidden below.
    SendMessageW(sheet, PSM_SETWIZBUTTONS, 0, PSWIZB_NEXT);
    switch (index) {
    case 2:
        SetDlgItemTextW(page, IDC_IMAGE_PATH, L"C:\\Updates\\R530.bin");
        break;
    case 4: {
        HWND progress = GetDlgItem(page, IDC_PROGRESS);
        SendMessageW(progress, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendMessageW(progress, PBM_SETPOS, kShownPercent, 0);
        wchar_t percent[16];
        swprintf(percent, 16, L"%d%%", kShownPercent);
        SetDlgItemTextW(page, IDC_PERCENT, percent);
        if (g_options.failed) {
            SetDlgItemTextW(page, IDC_STATUS_TEXT, LoadText(IDS_UPDATE_FAILED).c_str());
            SetWindowTextW(next, LoadText(IDS_RETRY).c_str());
        } else {
            SetDlgItemTextW(page, IDC_STATUS_TEXT, LoadText(IDS_PRESS_KEY).c_str());
            SendMessageW(sheet, PSM_SETWIZBUTTONS, 0, 0);
        }
        break;
    }
    case 5:
        ShowWindow(next, SW_HIDE);
        SetWindowTextW(GetDlgItem(sheet, IDCANCEL), LoadText(IDS_FINISH).c_str());
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->code == PSN_SETACTIVE) {
            // After the frame's own handling of the activation.
            PostMessageW(page, WM_APPLY_PAGE_STATE, 0, 0);
            SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        return FALSE;
    case WM_APPLY_PAGE_STATE:
        ApplyPageState(page, static_cast<int>(GetWindowLongPtrW(page, GWLP_USERDATA)));
        return TRUE;
    default:
        return FALSE;
    }
}

bool ParseOptions(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == L"--pack" && hasValue)
            g_options.pack = argv[++i];
        else if (arg == L"--page" && hasValue)
            g_options.page = _wtoi(argv[++i]);
        else if (arg == L"--hold" && hasValue)
            g_options.holdMs = static_cast<DWORD>(_wtoi(argv[++i]));
        else if (arg == L"--failed")
            g_options.failed = true;
        else if (arg == L"--check")
            g_options.check = true;
        else
            return false;
    }
    return g_options.page >= 1 && g_options.page <= kPageCount;
}

void PumpMessages(HWND sheet) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!PropSheet_IsDialogMessage(sheet, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

int CheckAllPages(HWND sheet) {
    ShownTexts shown{LoadText(IDS_PRESS_KEY), LoadText(IDS_UPDATE_FAILED), L"100%"};
    LayoutReport report;
    for (int i = 0; i < kPageCount; ++i) {
        PropSheet_SetCurSel(sheet, nullptr, i);
        PumpMessages(sheet);
        CheckPageLayout(PropSheet_GetCurrentPageHwnd(sheet), kFirstTemplate + static_cast<UINT>(i),
                        shown, report);
    }
    CheckButtonCaptions(
        sheet,
        {LoadText(IDS_NEXT), LoadText(IDS_FINISH), LoadText(IDS_RETRY), LoadText(IDS_CANCEL)},
        report);
    for (const std::wstring& line : report.lines)
        PrintUtf8(line);
    for (const std::wstring& fault : report.faults)
        PrintUtf8(L"FAULT: " + fault);
    PrintUtf8(report.faults.empty() ? L"all texts fit" : L"some texts do not fit");
    return report.faults.empty() ? 0 : 1;
}

void Hold(HWND sheet) {
    // Painted before anyone is told to look.
    PumpMessages(sheet);
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    GetWindowRect(sheet, &r);
    std::printf("size %ld %ld\n", r.right - r.left, r.bottom - r.top);
    std::fflush(stdout);
    const DWORD until = GetTickCount() + g_options.holdMs;
    while (PropSheet_GetCurrentPageHwnd(sheet) && GetTickCount() < until) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        PumpMessages(sheet);
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (!ParseOptions(argc, argv)) {
        std::fprintf(stderr, "usage: resource_viewer [--pack FILE] [--page N] [--failed] "
                             "[--hold MS] [--check]\n");
        return 2;
    }
    g_module =
        g_options.pack.empty() ? GetModuleHandleW(nullptr) : LoadLibraryW(g_options.pack.c_str());
    if (!g_module) {
        std::fprintf(stderr, "cannot load the pack (error %lu)\n", GetLastError());
        return 2;
    }
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    const FrameFont font = ReadFrameFont();
    std::vector<std::vector<DWORD>> templates;
    std::vector<PROPSHEETPAGEW> pages(kPageCount);
    for (int i = 0; i < kPageCount; ++i) {
        templates.push_back(
            CopyTemplateWithFont(g_module, kFirstTemplate + static_cast<UINT>(i), font));
        if (templates.back().empty()) {
            std::fprintf(stderr, "template %u is missing or not a classic template\n",
                         kFirstTemplate + static_cast<UINT>(i));
            return 2;
        }
        PROPSHEETPAGEW& p = pages[static_cast<size_t>(i)];
        p.dwSize = sizeof p;
        p.dwFlags = PSP_DLGINDIRECT;
        p.hInstance = g_module;
        p.pResource = reinterpret_cast<LPCDLGTEMPLATEW>(templates.back().data());
        p.pfnDlgProc = PageProc;
        p.lParam = i;
    }
    const std::wstring caption = LoadText(IDS_WIZARD_CAPTION);
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_MODELESS;
    header.hInstance = g_module;
    header.pszCaption = caption.c_str();
    header.nPages = kPageCount;
    header.nStartPage = static_cast<UINT>(g_options.check ? 0 : g_options.page - 1);
    header.ppsp = pages.data();
    auto sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
    if (!sheet || sheet == reinterpret_cast<HWND>(-1)) {
        std::fprintf(stderr, "the wizard could not be created\n");
        return 2;
    }
    SetWindowPos(sheet, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(sheet, SW_SHOW);
    PumpMessages(sheet);
    PrintUtf8(L"frame font: " + font.face + L" " + std::to_wstring(font.pointSize));

    int result = 0;
    if (g_options.check)
        result = CheckAllPages(sheet);
    else
        Hold(sheet);
    DestroyWindow(sheet);
    return result;
}
