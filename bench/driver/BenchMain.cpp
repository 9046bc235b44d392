// The bench: runs every scenario against the program and its baseline and
// prints one table. Options (all optional):
//   --startup-runs N  starts of each program            (default 9)
//   --runs N          attempts and cancels of each       (default 7)
//   --batches N       loops of progress reports          (default 9)
//   --reports N       progress reports per loop          (default 1000)
//   --retries N       retries before handles are counted (default 100)
//   --only NAME       one scenario: startup, progress, attempt or cancel
//   --build32 DIR --build64 DIR   build folders whose files are weighed
#include "Launched.h"
#include "ResultTable.h"
#include "Scenarios.h"

#include <cstdio>
#include <cwchar>
#include <string>

using namespace bench;

namespace {

constexpr double kRatioGoal = 1.2;
constexpr double kWindowGoneGoalMs = 100;
constexpr double kTeardownBoundMs = 5000;

const wchar_t kProgramName[] = L"KALDREN_R530_Updater.exe";
const wchar_t* const kPacks[] = {L"Language.0409.dll", L"Language.0804.dll", L"Language.0C04.dll",
                                 L"Language.0419.dll"};

struct Options {
    int startupRuns = 9;
    int runs = 7;
    int batches = 9;
    int reports = 1000;
    int retries = 100;
    std::wstring build32, build64;
    std::wstring only;
    bool Runs(const wchar_t* scenario) const { return only.empty() || only == scenario; }
};

Options ParseOptions(int argc, wchar_t** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring name = argv[i];
        const wchar_t* value = argv[i + 1];
        const int number = static_cast<int>(std::wcstol(value, nullptr, 10));
        if (name == L"--startup-runs")
            options.startupRuns = number;
        else if (name == L"--runs")
            options.runs = number;
        else if (name == L"--batches")
            options.batches = number < kMaxBatches ? number : kMaxBatches;
        else if (name == L"--reports")
            options.reports = number;
        else if (name == L"--retries")
            options.retries = number;
        else if (name == L"--build32")
            options.build32 = value;
        else if (name == L"--build64")
            options.build64 = value;
        else if (name == L"--only")
            options.only = value;
    }
    return options;
}

double FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return static_cast<double>(data.nFileSizeLow) +
           static_cast<double>(data.nFileSizeHigh) * 4294967296.0;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

void AddSizes(ResultTable& table, const std::wstring& build, const char* label) {
    if (build.empty())
        return;
    const std::wstring bin = Join(build, L"bin");
    const double bare = FileSize(Join(Join(build, L"bench"), L"bench_bare_wizard.exe"));
    table.AddCount(std::string("Size of the exe, ") + label + " (baseline: bare wizard exe)",
                   FileSize(Join(bin, kProgramName)), bare, "B");
    // run.sh leaves copies without symbols and debug information here.
    const std::wstring stripped = Join(Join(build, L"bench"), L"stripped");
    const double strippedExe = FileSize(Join(stripped, kProgramName));
    if (strippedExe >= 0)
        table.AddCount(std::string("Size of the exe without symbols and debug information, ") +
                           label + " (baseline: bare wizard exe, likewise)",
                       strippedExe, FileSize(Join(stripped, L"bench_bare_wizard.exe")), "B");
    for (const wchar_t* pack : kPacks)
        table.AddCount("Size of " + Narrow(pack) + ", " + label, FileSize(Join(bin, pack)), -1,
                       "B");
}

bool MakeImage(const std::wstring& path) {
    HANDLE hFile = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    const char text[] = "bench load";
    DWORD written = 0;
    WriteFile(hFile, text, sizeof(text) - 1, &written, nullptr);
    CloseHandle(hFile);
    return true;
}

std::string Median(const Samples& samples) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f ms", samples.Median());
    return samples.Empty() ? std::string("-") : std::string(text);
}

void PrintBreakdown(const AttemptFigures& attempt) {
    if (attempt.activeToPrepareMs.Empty())
        return;
    std::printf("\nThe program's attempt step by step (medians, each step's own time):\n"
                "- Updating page active -> its activation handler returned: %s (the thread is "
                "created in it)\n"
                "- Updating page active -> entry 5 entered (download thread running): %s; "
                "entry 5 -> entry 11: %s\n"
                "- entry 11 returned -> end-of-download message taken from the queue: %s -> "
                "completion page active: %s -> completion page shown: %s\n",
                Median(attempt.activationHandlerMs).c_str(),
                Median(attempt.activeToPrepareMs).c_str(), Median(attempt.prepareToEntryMs).c_str(),
                Median(attempt.returnToTakenMs).c_str(),
                Median(attempt.takenToCompletionActiveMs).c_str(),
                Median(attempt.completionActiveToShownMs).c_str());
}

void Progress(const char* what) {
    std::fprintf(stderr, "bench: %s\n", what);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const Options options = ParseOptions(argc, argv);
    const std::wstring here = ModuleFolder();
    Programs programs;
    const std::wstring productFolder = Join(Join(here, L"stage"), L"product");
    programs.product = Join(productFolder, kProgramName);
    programs.bareWizard = Join(here, L"bench_bare_wizard.exe");
    programs.bareWizardComdlg = Join(here, L"bench_bare_wizard_comdlg.exe");
    programs.rawSender = Join(here, L"bench_raw_sender.exe");
    programs.image = Join(productFolder, L"load.bin");
    if (FileSize(programs.product) < 0 || !MakeImage(programs.image)) {
        std::fprintf(stderr, "bench: the program is not staged in %s\n",
                     Narrow(productFolder).c_str());
        return 1;
    }
    SharedRecord record;
    if (!record.Create()) {
        std::fprintf(stderr, "bench: cannot create the shared record\n");
        return 1;
    }
    Scenarios scenarios(programs, record);

    StartupFigures startup;
    ProgressFigures progress;
    AttemptFigures attempt;
    CancelFigures cancel;
    if (options.Runs(L"startup")) {
        Progress("start-up");
        startup = scenarios.Startup(options.startupRuns);
    }
    if (options.Runs(L"progress")) {
        Progress("progress reports and retries");
        progress = scenarios.Progress(options.batches, options.reports, options.retries);
    }
    if (options.Runs(L"attempt")) {
        Progress("download attempt overhead");
        attempt = scenarios.Attempt(options.runs);
    }
    if (options.Runs(L"cancel")) {
        Progress("cancel");
        cancel = scenarios.Cancel(options.runs);
    }

    ResultTable table;
    table.AddTimed("Start-up: process start to first page ready for input (baseline: bare "
                   "one-page comctl32 wizard)",
                   startup.productMs, startup.bareMs, "ms", 1, Goal::RatioAtMost, kRatioGoal);
    table.AddTimed("Start-up, for comparison (baseline: the bare wizard also binding "
                   "comdlg32.dll at load time, as the program does)",
                   startup.productMs, startup.bareComdlgMs, "ms", 1);
    table.AddTimed("One progress report through the Updating page (baseline: two raw "
                   "cross-thread SendMessageW to a plain window)",
                   progress.productUs, progress.plainUs, "us", 1, Goal::RatioAtMost, kRatioGoal);
    table.AddTimed("One progress report, for comparison (baseline: raw PBM_SETPOS and "
                   "WM_SETTEXT to a bare progress bar and static)",
                   progress.productUs, progress.controlsUs, "us", 1);
    table.AddTimed("One progress report, for comparison (baseline: the same two messages "
                   "sent straight to the Updating page's own controls)",
                   progress.productUs, progress.directUs, "us", 1);
    table.AddTimed("One progress report, for comparison (baseline: raw sends to the bare "
                   "controls of a hidden window, which skip painting)",
                   progress.productUs, progress.hiddenControlsUs, "us", 1);
    table.AddTimed("Reports per second a transfer sustains (baseline: raw send pairs per "
                   "second)",
                   progress.productPerSecond, progress.plainPerSecond, "/s", 0, Goal::RatioAtLeast,
                   1.0 / kRatioGoal);
    table.AddTimed("Attempt overhead: Updating page active to entry 11 entered (baseline: "
                   "bare page active to its new thread running)",
                   attempt.activeToEntryMs, attempt.bareActiveToEntryMs, "ms", 2);
    table.AddTimed("Attempt overhead: entry 11 returned to completion page shown (baseline: "
                   "bare thread's post to next page shown)",
                   attempt.returnToShownMs, attempt.bareReturnToShownMs, "ms", 2);
    table.AddTimed("Cancel during a transfer to window gone, library ignores the stop flag "
                   "(baseline: bare wizard's Cancel)",
                   cancel.windowGoneMs, cancel.bareWindowGoneMs, "ms", 1, Goal::ValueAtMost,
                   kWindowGoneGoalMs);
    table.AddTimed("Cancel during a transfer to process ended, library ignores the stop flag "
                   "(baseline: bare wizard's Cancel)",
                   cancel.processEndedMs, cancel.bareProcessEndedMs, "ms", 1, Goal::ValueAtMost,
                   kTeardownBoundMs);
    table.AddTimed("Cancel during a transfer to process ended, library honours the stop flag "
                   "(baseline: bare wizard's Cancel)",
                   cancel.honouredProcessEndedMs, cancel.bareProcessEndedMs, "ms", 1);
    table.AddTimed("Peak working set with the first page ready (baseline: bare wizard)",
                   startup.peakWorkingSetKb, startup.barePeakWorkingSetKb, "KiB", 0);
    table.AddTimed("Peak working set with the first page ready, for comparison (baseline: the "
                   "bare wizard binding comdlg32.dll)",
                   startup.peakWorkingSetKb, startup.bareComdlgPeakWorkingSetKb, "KiB", 0);
    table.AddTimed("Peak working set during a transfer (baseline: bare wizard shown)",
                   cancel.peakWorkingSetKb, cancel.barePeakWorkingSetKb, "KiB", 0);
    table.AddCount("Handles after " + std::to_string(progress.retriesDone) +
                       " retries (baseline: after the first attempt)",
                   progress.handlesAfterHundred, progress.handlesAfterOne, "", Goal::NoGrowth);
    table.AddCount("Threads after " + std::to_string(progress.retriesDone) +
                       " retries (baseline: after the first attempt)",
                   progress.threadsAfterHundred, progress.threadsAfterOne, "", Goal::NoGrowth);
    AddSizes(table, options.build32, "i686 (product build)");
    AddSizes(table, options.build64, "x86_64 (measured build)");
    table.Print();
    PrintBreakdown(attempt);
    if (!cancel.windowGoneMs.Empty())
        std::printf("\nThe ignoring library saw the stop flag set in %d of %zu cancels.\n",
                    cancel.stopFlagSeen, cancel.windowGoneMs.Count());
    return 0;
}
