// The bench's eboot.dll: the four entry points, doing only what the driver's
// shared record orders and timestamping them, so that every figure measures
// the program and not a handset. Without a running bench it succeeds at once.
#include "engine/EbootApi.h"

#include "bench/BenchRecord.h"

#include <commctrl.h>
#include <prsht.h>

#include <cwchar>
#include <initializer_list>

namespace {

constexpr int kUpdatingPageIndex = 4;
constexpr int kCompletionPageIndex = 5;
constexpr DWORD kHoldLimitMs = 60000;
constexpr int kProgressId = 1000;
constexpr int kPercentId = 1005;
// The program's end-of-download message, WM_USER + 11.
constexpr UINT kDownloadDoneMessage = WM_USER + 11;

// Mapped on first use for the life of the process: the library has no
// later moment at which it could safely let go of it.
bench::Record* Shared() {
    static bench::Record* s_pRecord = bench::OpenRecord();
    return s_pRecord;
}

HHOOK g_hBeforeHook = nullptr;
HHOOK g_hAfterHook = nullptr;
HHOOK g_hQueueHook = nullptr;

// Index of a page in its sheet; -1 for any other window.
int PageIndex(HWND hPage) {
    if ((GetWindowLongW(hPage, GWL_STYLE) & WS_CHILD) == 0)
        return -1;
    HWND hSheet = GetParent(hPage);
    if (hSheet == nullptr)
        return -1;
    return static_cast<int>(
        SendMessageW(hSheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(hPage), 0));
}

bool IsSetActive(UINT message, LPARAM lParam) {
    return message == WM_NOTIFY &&
           reinterpret_cast<const NMHDR*>(lParam)->code == static_cast<UINT>(PSN_SETACTIVE);
}

// Before the page's own handler: the moment a page is told it becomes active.
LRESULT CALLBACK BeforeMessage(int nCode, WPARAM wParam, LPARAM lParam) {
    const LONGLONG qpcNow = bench::Now();
    const CWPSTRUCT* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && IsSetActive(pMsg->message, pMsg->lParam)) {
        bench::Record& record = *Shared();
        const int nIndex = PageIndex(pMsg->hwnd);
        if (nIndex == kUpdatingPageIndex && record.qpcUpdatingActive == 0)
            record.qpcUpdatingActive = qpcNow;
        else if (nIndex == kCompletionPageIndex && record.qpcCompletionActive == 0)
            record.qpcCompletionActive = qpcNow;
    }
    return CallNextHookEx(g_hBeforeHook, nCode, wParam, lParam);
}

// After the window's handler: the Updating page's activation handled, the
// completion page visible.
LRESULT CALLBACK AfterMessage(int nCode, WPARAM wParam, LPARAM lParam) {
    const LONGLONG qpcNow = bench::Now();
    const CWPRETSTRUCT* pMsg = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    bench::Record& record = *Shared();
    if (nCode != HC_ACTION) {
    } else if (pMsg->message == WM_SHOWWINDOW && pMsg->wParam != 0 &&
               record.qpcCompletionShown == 0 && PageIndex(pMsg->hwnd) == kCompletionPageIndex) {
        record.qpcCompletionShown = qpcNow;
    } else if (IsSetActive(pMsg->message, pMsg->lParam) && record.qpcUpdatingActiveDone == 0 &&
               PageIndex(pMsg->hwnd) == kUpdatingPageIndex) {
        record.qpcUpdatingActiveDone = qpcNow;
    }
    return CallNextHookEx(g_hAfterHook, nCode, wParam, lParam);
}

// A posted message taken from the queue: the end of the download arrives.
LRESULT CALLBACK QueuedMessage(int nCode, WPARAM wParam, LPARAM lParam) {
    const LONGLONG qpcNow = bench::Now();
    const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
    if (nCode == HC_ACTION && wParam == PM_REMOVE && pMsg->message == kDownloadDoneMessage &&
        Shared()->qpcDoneTaken == 0)
        Shared()->qpcDoneTaken = qpcNow;
    return CallNextHookEx(g_hQueueHook, nCode, wParam, lParam);
}

// Entry point 9 first comes from the sheet's initialisation, on the thread
// that runs the wizard: the hooks watch that thread only.
void WatchPagesOnce() {
    if (g_hBeforeHook != nullptr || Shared() == nullptr || !Shared()->bWatchPages)
        return;
    const DWORD dwThread = GetCurrentThreadId();
    g_hBeforeHook = SetWindowsHookExW(WH_CALLWNDPROC, BeforeMessage, nullptr, dwThread);
    g_hAfterHook = SetWindowsHookExW(WH_CALLWNDPROCRET, AfterMessage, nullptr, dwThread);
    g_hQueueHook = SetWindowsHookExW(WH_GETMESSAGE, QueuedMessage, nullptr, dwThread);
}

void StopWatchingPages() {
    for (HHOOK* phHook : {&g_hBeforeHook, &g_hAfterHook, &g_hQueueHook}) {
        if (*phHook != nullptr)
            UnhookWindowsHookEx(*phHook);
        *phHook = nullptr;
    }
}

void TightLoop(bench::Record& record, ProgressCallback pfnProgress) {
    const LONG nReports = record.nReports;
    const LONGLONG qpcStart = bench::Now();
    for (LONG i = 0; i < nReports; ++i)
        pfnProgress(static_cast<int>(i % 101));
    record.qpcLoopTicks = bench::Now() - qpcStart;
    InterlockedExchangeAdd(&record.nReportsMade, nReports);
}

// This process's wizard, found by the property it carries.
HWND OwnWizard() {
    for (HWND hWnd = GetWindow(GetDesktopWindow(), GW_CHILD); hWnd != nullptr;
         hWnd = GetWindow(hWnd, GW_HWNDNEXT)) {
        DWORD dwProcessId = 0;
        GetWindowThreadProcessId(hWnd, &dwProcessId);
        if (dwProcessId == GetCurrentProcessId() && GetPropW(hWnd, L"Phone") != nullptr)
            return hWnd;
    }
    return nullptr;
}

// What a report costs the page's own controls, without the program's code
// in between: the same two synchronous messages, made from here.
void DirectLoop(bench::Record& record) {
    const HWND hPage = PropSheet_GetCurrentPageHwnd(OwnWizard());
    const HWND hBar = GetDlgItem(hPage, kProgressId);
    const LONG nReports = record.nReports;
    const LONGLONG qpcStart = bench::Now();
    for (LONG i = 0; i < nReports; ++i) {
        const int nValue = static_cast<int>(i % 101);
        SendMessageW(hBar, PBM_SETPOS, static_cast<WPARAM>(nValue), 0);
        wchar_t szText[16];
        std::swprintf(szText, 16, L"%d%%", nValue);
        SetDlgItemTextW(hPage, kPercentId, szText);
    }
    record.qpcLoopTicks = bench::Now() - qpcStart;
    InterlockedExchangeAdd(&record.nReportsMade, nReports);
}

bool StopRequested(bench::Record& record, const DownloadRequest& request) {
    if (request.pbStop == nullptr || *request.pbStop == 0)
        return false;
    record.bStopSeen = 1;
    return true;
}

// A long transfer; a library that ignores the flag keeps reporting after a
// cancel, as a slow vendor library would.
void Hold(bench::Record& record, const DownloadRequest& request) {
    const DWORD dwStart = GetTickCount();
    const DWORD dwStep = record.nStepMs > 0 ? static_cast<DWORD>(record.nStepMs) : 1;
    for (int nValue = 0; !record.bRelease && GetTickCount() - dwStart < kHoldLimitMs;
         nValue = (nValue + 1) % 101) {
        if (StopRequested(record, request) && record.bHonourStop)
            return;
        request.pfnProgress(nValue);
        InterlockedIncrement(&record.nReportsMade);
        Sleep(dwStep);
    }
}

} // namespace

extern "C" int __stdcall Eboot_Prepare(void) {
    const LONGLONG qpcEntered = bench::Now();
    if (Shared() != nullptr)
        Shared()->qpcPrepareEntered = qpcEntered;
    return 1;
}

extern "C" int __stdcall Eboot_Detect(void) {
    WatchPagesOnce();
    return 1;
}

extern "C" int __stdcall Eboot_Release(DWORD*) {
    StopWatchingPages();
    return 1;
}

extern "C" int __stdcall Eboot_Download(DownloadRequest request) {
    const LONGLONG qpcEntered = bench::Now();
    bench::Record* pRecord = Shared();
    if (pRecord == nullptr)
        return 1;
    pRecord->qpcEntered = qpcEntered;
    InterlockedIncrement(&pRecord->nAttemptsEntered);
    if (request.pfnProgress != nullptr) {
        if (pRecord->nMode == bench::kTightLoop)
            TightLoop(*pRecord, request.pfnProgress);
        else if (pRecord->nMode == bench::kDirectLoop)
            DirectLoop(*pRecord);
        else if (pRecord->nMode == bench::kHold)
            Hold(*pRecord, request);
    }
    const int nResult = pRecord->nResult;
    pRecord->qpcReturning = bench::Now();
    InterlockedIncrement(&pRecord->nAttemptsReturned);
    return nResult;
}
