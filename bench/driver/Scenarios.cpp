#include "Scenarios.h"

#include "Launched.h"

#include "FileDialogWindow.h"
#include "RemoteWindow.h"
#include "WizardWindow.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <vector>

using namespace wizdriver;

namespace bench {

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kStepTimeoutMs = 5000;
constexpr DWORD kAttemptTimeoutMs = 60000;
constexpr DWORD kExitTimeoutMs = 15000;
constexpr int kUpdatingPage = 4;
// The bench library reports every kHoldStepMs while it holds a transfer.
constexpr LONG kHoldStepMs = 20;
constexpr LONG kReportsBeforeCancel = 10;
constexpr LONG kReportsPerRetry = 10;

double TicksPerMs() {
    static const double s_ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    return s_ticksPerMs;
}

double Ms(LONGLONG ticks) {
    return static_cast<double>(ticks) / TicksPerMs();
}

void Complain(const char* what) {
    std::fprintf(stderr, "bench: %s\n", what);
}

// Ready for input: the process's window with the property "Phone" is
// visible, its thread answers that the first page is active, and the
// process waits for input.
WizardWindow WaitUntilReady(const Launched& process, LONGLONG* pqpcReady) {
    const ULONGLONG end = GetTickCount64() + kStartTimeoutMs;
    while (GetTickCount64() < end && process.Running()) {
        if (HWND hwnd = FindPhoneWindow()) {
            WizardWindow wizard(hwnd);
            if (wizard.ProcessId() == process.Id() && IsWindowVisible(hwnd) &&
                wizard.ActivePageIndex() == 0) {
                const DWORD dwIdle = WaitForInputIdle(process.Handle(), 0);
                if (dwIdle == 0 || dwIdle == WAIT_FAILED) {
                    *pqpcReady = Now();
                    return wizard;
                }
            }
        }
        Sleep(1);
    }
    return WizardWindow();
}

bool NextEnabled(const WizardWindow& wizard) {
    return IsWindowEnabled(GetDlgItem(wizard.Handle(), kNextId)) != FALSE;
}

bool ClickNextWhenEnabled(const WizardWindow& wizard) {
    return WaitUntil([&] { return NextEnabled(wizard); }, kStepTimeoutMs) && wizard.Click(kNextId);
}

bool ChooseImage(const WizardWindow& wizard, const std::wstring& image) {
    if (!wizard.ClickPageControl(kBrowseId))
        return false;
    FileDialogWindow dialog(wizard.WaitForFileDialog(kStepTimeoutMs));
    return dialog.Exists() && dialog.SetFileName(image) && dialog.PressOpen() &&
           dialog.WaitClosed(kStepTimeoutMs);
}

// From the welcome page through the image file page to the notice page,
// then Next: the Updating page starts its first attempt.
bool StartFirstAttempt(const WizardWindow& wizard, const std::wstring& image) {
    for (int page = 1; page <= 2; ++page) {
        if (!ClickNextWhenEnabled(wizard) || !wizard.WaitForPage(page, kStepTimeoutMs))
            return false;
    }
    if (!ChooseImage(wizard, image))
        return false;
    if (!ClickNextWhenEnabled(wizard) || !wizard.WaitForPage(3, kStepTimeoutMs))
        return false;
    return ClickNextWhenEnabled(wizard);
}

// Waits on the shared record only, so that no query of the driver's takes
// time from the wizard's thread while the library reports.
template <class Pred> bool WaitForRecord(Pred pred, DWORD timeoutMs) {
    return WaitUntil(pred, timeoutMs, 1);
}

struct ProcessCounts {
    long handles = -1;
    long threads = -1;
};

long ThreadsOf(DWORD dwProcessId) {
    HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE)
        return -1;
    long nThreads = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL bMore = Thread32First(hSnapshot, &entry); bMore;
         bMore = Thread32Next(hSnapshot, &entry)) {
        if (entry.th32OwnerProcessID == dwProcessId)
            ++nThreads;
    }
    CloseHandle(hSnapshot);
    return nThreads;
}

// The system's handle table, as NtQuerySystemInformation gives it.
struct SystemHandleEntry {
    ULONG ownerProcessId;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};
struct SystemHandleTable {
    ULONG count;
    SystemHandleEntry entries[1];
};
typedef LONG(WINAPI* QuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

// Wine answers GetProcessHandleCount for another process with 0, but keeps
// an exact table of every process's handles.
long HandlesInSystemTable(DWORD dwProcessId) {
    const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr)
        return -1;
    std::vector<BYTE> buffer(1 << 16);
    for (;;) {
        ULONG needed = 0;
        const LONG status = query(kSystemHandleInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(needed > buffer.size() ? needed + 4096 : buffer.size() * 2);
            continue;
        }
        if (status != 0)
            return -1;
        break;
    }
    const SystemHandleTable* table = reinterpret_cast<const SystemHandleTable*>(buffer.data());
    long nHandles = 0;
    for (ULONG i = 0; i < table->count; ++i)
        nHandles += table->entries[i].ownerProcessId == dwProcessId;
    return nHandles;
}

ProcessCounts CountsOf(DWORD dwProcessId) {
    ProcessCounts counts;
    counts.threads = ThreadsOf(dwProcessId);
    HANDLE hProcess = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, dwProcessId);
    if (hProcess == nullptr)
        return counts;
    DWORD dwHandles = 0;
    if (GetProcessHandleCount(hProcess, &dwHandles) && dwHandles > 0)
        counts.handles = static_cast<long>(dwHandles);
    CloseHandle(hProcess);
    if (counts.handles <= 0)
        counts.handles = HandlesInSystemTable(dwProcessId);
    return counts;
}

// A finished download thread takes a moment to leave the process: count
// once the figures hold still.
ProcessCounts SettledCountsOf(DWORD dwProcessId) {
    ProcessCounts last = CountsOf(dwProcessId);
    for (int nSame = 0, nTries = 0; nSame < 3 && nTries < 40; ++nTries) {
        Sleep(50);
        const ProcessCounts now = CountsOf(dwProcessId);
        nSame = now.handles == last.handles && now.threads == last.threads ? nSame + 1 : 0;
        last = now;
    }
    return last;
}

double PeakWorkingSetKb(DWORD dwProcessId) {
    HANDLE hProcess = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, dwProcessId);
    if (hProcess == nullptr)
        return -1;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    const BOOL bOk = GetProcessMemoryInfo(hProcess, &counters, sizeof(counters));
    CloseHandle(hProcess);
    return bOk ? static_cast<double>(counters.PeakWorkingSetSize) / 1024.0 : -1;
}

bool CloseWizard(const WizardWindow& wizard, const Launched& process) {
    return wizard.Click(kCancelId) && process.WaitForExit(kExitTimeoutMs);
}

} // namespace

SharedRecord::~SharedRecord() {
    if (m_pRecord != nullptr)
        UnmapViewOfFile(m_pRecord);
    if (m_hMapping != nullptr)
        CloseHandle(m_hMapping);
}

bool SharedRecord::Create() {
    m_hMapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                    sizeof(Record), kRecordName);
    if (m_hMapping == nullptr)
        return false;
    m_pRecord =
        static_cast<Record*>(MapViewOfFile(m_hMapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Record)));
    return m_pRecord != nullptr;
}

Record& SharedRecord::Fresh() {
    ZeroMemory(const_cast<Record*>(m_pRecord), sizeof(Record));
    MemoryBarrier();
    return *m_pRecord;
}

StartupFigures Scenarios::Startup(int runs) {
    StartupFigures figures;
    struct Candidate {
        const std::wstring& exe;
        Samples& ms;
        Samples* peakKb;
    };
    const Candidate candidates[] = {
        {m_programs.product, figures.productMs, &figures.peakWorkingSetKb},
        {m_programs.bareWizard, figures.bareMs, &figures.barePeakWorkingSetKb},
        {m_programs.bareWizardComdlg, figures.bareComdlgMs, &figures.bareComdlgPeakWorkingSetKb}};
    // The first start of each warms the file cache and is not counted.
    for (int run = -1; run < runs; ++run) {
        for (const Candidate& candidate : candidates) {
            m_record.Fresh();
            Launched process;
            if (!process.Start(candidate.exe)) {
                Complain("start-up: cannot start the program");
                continue;
            }
            LONGLONG qpcReady = 0;
            const WizardWindow wizard = WaitUntilReady(process, &qpcReady);
            if (!wizard.Exists()) {
                Complain("start-up: no wizard ready for input");
                continue;
            }
            if (run >= 0) {
                candidate.ms.Add(Ms(qpcReady - process.StartedAt()));
                if (candidate.peakKb != nullptr)
                    candidate.peakKb->Add(PeakWorkingSetKb(process.Id()));
            }
            if (!CloseWizard(wizard, process))
                Complain("start-up: the wizard did not close");
        }
    }
    return figures;
}

bool Scenarios::RawBatch(const wchar_t* mode, int reports, Samples& us, Samples* perSecond) {
    // Only the baseline's part of the record: a wizard may be waiting on the rest.
    Record& record = m_record.Get();
    record.nReports = reports;
    record.nBatches = 1;
    record.nBaseBatches = 0;
    InterlockedExchange(&record.nBaseDone, 0);
    Launched process;
    if (!process.Start(m_programs.rawSender, mode) ||
        !WaitForRecord([&] { return record.nBaseDone != 0; }, kAttemptTimeoutMs) ||
        record.nBaseBatches < 1) {
        Complain("progress: the raw sender did not finish");
        return false;
    }
    const double ms = Ms(record.qpcBatchTicks[0]);
    us.Add(ms * 1000.0 / reports);
    if (perSecond != nullptr)
        perSecond->Add(reports * 1000.0 / ms);
    return process.WaitForExit(kExitTimeoutMs);
}

// One process of the program runs every attempt, each failing so that Retry
// runs the next. Its loops of reports alternate with the baselines', so that
// a change in the machine's load touches all of them alike.
ProgressFigures Scenarios::Progress(int batches, int reportsPerBatch, int retries) {
    ProgressFigures figures;
    Record& record = m_record.Fresh();
    record.nMode = kTightLoop;
    record.nReports = kReportsPerRetry;
    record.nResult = 0;
    Launched process;
    LONGLONG qpcReady = 0;
    WizardWindow wizard;
    if (process.Start(m_programs.product))
        wizard = WaitUntilReady(process, &qpcReady);
    if (!wizard.Exists() || !StartFirstAttempt(wizard, m_programs.image)) {
        Complain("progress: could not reach the Updating page");
        return figures;
    }
    LONG nAttempts = 1;
    auto attemptFailed = [&] {
        return WaitForRecord([&] { return record.nAttemptsReturned >= nAttempts; },
                             kAttemptTimeoutMs) &&
               WaitUntil([&] { return NextEnabled(wizard); }, kStepTimeoutMs, 1);
    };
    auto retry = [&](LONG nMode, LONG nReports) {
        record.nMode = nMode;
        record.nReports = nReports;
        ++nAttempts;
        if (wizard.Click(kNextId) && attemptFailed())
            return true;
        Complain("progress: a retry did not end");
        return false;
    };
    if (!attemptFailed()) {
        Complain("progress: the first attempt did not end in Retry");
        return figures;
    }
    const ProcessCounts afterOne = SettledCountsOf(process.Id());
    figures.handlesAfterOne = afterOne.handles;
    figures.threadsAfterOne = afterOne.threads;

    for (int batch = 0; batch < batches; ++batch) {
        RawBatch(L"", reportsPerBatch, figures.plainUs, &figures.plainPerSecond);
        if (!retry(kTightLoop, reportsPerBatch))
            return figures;
        const double ms = Ms(record.qpcLoopTicks);
        figures.productUs.Add(ms * 1000.0 / reportsPerBatch);
        figures.productPerSecond.Add(reportsPerBatch * 1000.0 / ms);
        if (!retry(kDirectLoop, reportsPerBatch))
            return figures;
        figures.directUs.Add(Ms(record.qpcLoopTicks) * 1000.0 / reportsPerBatch);
        RawBatch(L"controls", reportsPerBatch, figures.controlsUs, nullptr);
        RawBatch(L"controls hidden", reportsPerBatch, figures.hiddenControlsUs, nullptr);
    }
    while (nAttempts <= retries) {
        if (!retry(kTightLoop, kReportsPerRetry))
            return figures;
    }
    figures.retriesDone = nAttempts - 1;
    const ProcessCounts afterHundred = SettledCountsOf(process.Id());
    figures.handlesAfterHundred = afterHundred.handles;
    figures.threadsAfterHundred = afterHundred.threads;
    if (!CloseWizard(wizard, process))
        Complain("progress: the wizard did not close");
    return figures;
}

bool Scenarios::OneProductAttempt(AttemptFigures& figures) {
    Record& record = m_record.Fresh();
    record.nMode = kReturnAtOnce;
    record.nResult = 1;
    record.bWatchPages = 1;
    Launched process;
    LONGLONG qpcReady = 0;
    WizardWindow wizard;
    if (process.Start(m_programs.product))
        wizard = WaitUntilReady(process, &qpcReady);
    if (!wizard.Exists() || !StartFirstAttempt(wizard, m_programs.image) ||
        !WaitForRecord([&] { return record.qpcCompletionShown != 0; }, kAttemptTimeoutMs)) {
        Complain("attempt: the completion page was not shown");
        return false;
    }
    if (record.qpcUpdatingActive == 0 || record.qpcEntered < record.qpcUpdatingActive ||
        record.qpcCompletionShown < record.qpcReturning) {
        Complain("attempt: readings out of order");
        return false;
    }
    figures.activeToEntryMs.Add(Ms(record.qpcEntered - record.qpcUpdatingActive));
    figures.returnToShownMs.Add(Ms(record.qpcCompletionShown - record.qpcReturning));
    if (record.qpcPrepareEntered != 0 && record.qpcDoneTaken != 0 &&
        record.qpcCompletionActive != 0) {
        figures.activeToPrepareMs.Add(Ms(record.qpcPrepareEntered - record.qpcUpdatingActive));
        if (record.qpcUpdatingActiveDone != 0)
            figures.activationHandlerMs.Add(
                Ms(record.qpcUpdatingActiveDone - record.qpcUpdatingActive));
        figures.prepareToEntryMs.Add(Ms(record.qpcEntered - record.qpcPrepareEntered));
        figures.returnToTakenMs.Add(Ms(record.qpcDoneTaken - record.qpcReturning));
        figures.takenToCompletionActiveMs.Add(Ms(record.qpcCompletionActive - record.qpcDoneTaken));
        figures.completionActiveToShownMs.Add(
            Ms(record.qpcCompletionShown - record.qpcCompletionActive));
    }
    return CloseWizard(wizard, process);
}

bool Scenarios::OneBareAttempt(AttemptFigures& figures) {
    Record& record = m_record.Fresh();
    Launched process;
    LONGLONG qpcReady = 0;
    WizardWindow wizard;
    if (process.Start(m_programs.bareWizard, L"attempt"))
        wizard = WaitUntilReady(process, &qpcReady);
    if (!wizard.Exists() || !ClickNextWhenEnabled(wizard) ||
        !WaitForRecord([&] { return record.nBaseDone != 0; }, kAttemptTimeoutMs)) {
        Complain("attempt: the bare wizard did not reach its last page");
        return false;
    }
    figures.bareActiveToEntryMs.Add(Ms(record.qpcBase[1] - record.qpcBase[0]));
    figures.bareReturnToShownMs.Add(Ms(record.qpcBase[3] - record.qpcBase[2]));
    return CloseWizard(wizard, process);
}

AttemptFigures Scenarios::Attempt(int runs) {
    AttemptFigures figures;
    for (int run = 0; run < runs; ++run) {
        OneProductAttempt(figures);
        OneBareAttempt(figures);
    }
    return figures;
}

bool Scenarios::OneProductCancel(bool honourStop, CancelFigures& figures) {
    Record& record = m_record.Fresh();
    record.nMode = kHold;
    record.nStepMs = kHoldStepMs;
    record.bHonourStop = honourStop ? 1 : 0;
    record.nResult = 1;
    Launched process;
    LONGLONG qpcReady = 0;
    WizardWindow wizard;
    if (process.Start(m_programs.product))
        wizard = WaitUntilReady(process, &qpcReady);
    if (!wizard.Exists() || !StartFirstAttempt(wizard, m_programs.image) ||
        !wizard.WaitForPage(kUpdatingPage, kStepTimeoutMs) ||
        !WaitForRecord([&] { return record.nReportsMade >= kReportsBeforeCancel; },
                       kAttemptTimeoutMs)) {
        Complain("cancel: no transfer under way");
        return false;
    }
    if (!honourStop)
        figures.peakWorkingSetKb.Add(PeakWorkingSetKb(process.Id()));
    const HWND hWizard = wizard.Handle();
    const LONGLONG qpcPressed = Now();
    if (!wizard.Click(kCancelId))
        return false;
    const bool bGone = WaitUntil([&] { return !IsWindow(hWizard); }, kExitTimeoutMs, 1);
    const LONGLONG qpcGone = Now();
    const bool bEnded = process.WaitForExit(kExitTimeoutMs);
    const LONGLONG qpcEnded = Now();
    record.bRelease = 1;
    if (!bGone || !bEnded) {
        Complain("cancel: the wizard did not go away");
        return false;
    }
    if (honourStop) {
        figures.honouredProcessEndedMs.Add(Ms(qpcEnded - qpcPressed));
        return true;
    }
    figures.windowGoneMs.Add(Ms(qpcGone - qpcPressed));
    figures.processEndedMs.Add(Ms(qpcEnded - qpcPressed));
    figures.stopFlagSeen += record.bStopSeen != 0;
    return true;
}

bool Scenarios::OneBareCancel(CancelFigures& figures) {
    m_record.Fresh();
    Launched process;
    LONGLONG qpcReady = 0;
    WizardWindow wizard;
    if (process.Start(m_programs.bareWizard))
        wizard = WaitUntilReady(process, &qpcReady);
    if (!wizard.Exists()) {
        Complain("cancel: the bare wizard was not ready");
        return false;
    }
    figures.barePeakWorkingSetKb.Add(PeakWorkingSetKb(process.Id()));
    const HWND hWizard = wizard.Handle();
    const LONGLONG qpcPressed = Now();
    if (!wizard.Click(kCancelId))
        return false;
    const bool bGone = WaitUntil([&] { return !IsWindow(hWizard); }, kExitTimeoutMs, 1);
    const LONGLONG qpcGone = Now();
    const bool bEnded = process.WaitForExit(kExitTimeoutMs);
    const LONGLONG qpcEnded = Now();
    if (!bGone || !bEnded) {
        Complain("cancel: the bare wizard did not go away");
        return false;
    }
    figures.bareWindowGoneMs.Add(Ms(qpcGone - qpcPressed));
    figures.bareProcessEndedMs.Add(Ms(qpcEnded - qpcPressed));
    return true;
}

CancelFigures Scenarios::Cancel(int runs) {
    CancelFigures figures;
    for (int run = 0; run < runs; ++run) {
        OneProductCancel(false, figures);
        OneProductCancel(true, figures);
        OneBareCancel(figures);
    }
    return figures;
}

} // namespace bench
