// The floor of one progress report: a worker thread sends two messages per
// report to a window of the main thread, in loops of nReports, and leaves
// each loop's time in the bench record.
//   (no argument)  both messages go to a plain window that does nothing with
//                  them: the cost of the synchronous design itself.
//   controls       a bar position and a "%d%%" text go to a bare progress bar
//                  and a bare static control: the platform controls' own cost.
//   controls hidden  the same with the window never shown, so the controls
//                  skip their painting: what the painting costs.
#include <windows.h>

#include <commctrl.h>

#include <cwchar>

#include "bench/BenchRecord.h"

namespace {

constexpr int kBarId = 1000;
constexpr int kPercentId = 1005;
constexpr LONG kDefaultReports = 2000;
constexpr LONG kDefaultBatches = 7;
// Lets the window be shown and painted before the loops begin, as the
// Updating page is by the time the library reports.
constexpr DWORD kSettleMs = 200;

struct Target {
    HWND hWindow = nullptr;
    HWND hBar = nullptr;
    bool bControls = false;
    bool bHidden = false;
};

bench::Record* g_pRecord = nullptr;

void SendOneReport(const Target& target, LONG nValue) {
    if (!target.bControls) {
        SendMessageW(target.hWindow, WM_USER, static_cast<WPARAM>(nValue), 0);
        SendMessageW(target.hWindow, WM_USER + 1, static_cast<WPARAM>(nValue), 0);
        return;
    }
    SendMessageW(target.hBar, PBM_SETPOS, static_cast<WPARAM>(nValue), 0);
    wchar_t szText[16];
    std::swprintf(szText, 16, L"%d%%", static_cast<int>(nValue));
    SetDlgItemTextW(target.hWindow, kPercentId, szText);
}

DWORD WINAPI SenderThread(LPVOID pParam) {
    const Target& target = *static_cast<const Target*>(pParam);
    Sleep(kSettleMs);
    const LONG nReports = g_pRecord->nReports > 0 ? g_pRecord->nReports : kDefaultReports;
    LONG nBatches = g_pRecord->nBatches > 0 ? g_pRecord->nBatches : kDefaultBatches;
    if (nBatches > bench::kMaxBatches)
        nBatches = bench::kMaxBatches;
    for (LONG nBatch = 0; nBatch < nBatches; ++nBatch) {
        const LONGLONG qpcStart = bench::Now();
        for (LONG i = 0; i < nReports; ++i)
            SendOneReport(target, i % 101);
        g_pRecord->qpcBatchTicks[nBatch] = bench::Now() - qpcStart;
    }
    g_pRecord->nBaseBatches = nBatches;
    InterlockedExchange(&g_pRecord->nBaseDone, 1);
    PostMessageW(target.hWindow, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hWnd, message, wParam, lParam);
}

bool CreateTarget(HINSTANCE hInstance, Target& target) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = hInstance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BenchPlainWindow";
    if (!RegisterClassW(&windowClass))
        return false;
    target.hWindow = CreateWindowExW(0, windowClass.lpszClassName, L"Plain window",
                                     WS_OVERLAPPEDWINDOW | (target.bHidden ? 0 : WS_VISIBLE), 100,
                                     100, 360, 200, nullptr, nullptr, hInstance, nullptr);
    if (target.hWindow == nullptr)
        return false;
    if (!target.bControls)
        return true;
    const HFONT hFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    target.hBar = CreateWindowExW(
        0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 20, 20, 200, 24, target.hWindow,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarId)), hInstance, nullptr);
    HWND hPercent = CreateWindowExW(
        0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 20, 60, 40, 14, target.hWindow,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPercentId)), hInstance, nullptr);
    if (target.hBar == nullptr || hPercent == nullptr)
        return false;
    SendMessageW(target.hBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageW(hPercent, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
    return true;
}

} // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR pszCmdLine, int) {
    g_pRecord = bench::OpenRecord();
    if (g_pRecord == nullptr)
        return 2;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    Target target;
    target.bControls = std::wcsstr(pszCmdLine, L"controls") != nullptr;
    target.bHidden = std::wcsstr(pszCmdLine, L"hidden") != nullptr;
    if (!CreateTarget(hInstance, target))
        return 1;
    HANDLE hThread = CreateThread(nullptr, 0, SenderThread, &target, 0, nullptr);
    if (hThread == nullptr)
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    WaitForSingleObject(hThread, INFINITE);
    CloseHandle(hThread);
    return 0;
}
