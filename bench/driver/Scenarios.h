// The measured scenarios. Each drives the real program (with the bench's
// eboot.dll beside it) or a baseline program from outside, and collects its
// figures and the baseline's in the same run.
#pragma once

#include "Samples.h"

#include "bench/BenchRecord.h"

#include <string>

namespace bench {

struct Programs {
    std::wstring product;          // the program, its packs and the bench library, in one folder
    std::wstring bareWizard;       // baseline wizard
    std::wstring bareWizardComdlg; // the same, binding comdlg32.dll at load time
    std::wstring rawSender;        // baseline sender
    std::wstring image;            // a file for the image file page to choose
};

// Owns the shared record that the measured programs read and write.
class SharedRecord {
public:
    SharedRecord() = default;
    SharedRecord(const SharedRecord&) = delete;
    SharedRecord& operator=(const SharedRecord&) = delete;
    ~SharedRecord();
    bool Create();
    // Orders cleared, readings cleared.
    Record& Fresh();
    Record& Get() { return *m_pRecord; }

private:
    HANDLE m_hMapping = nullptr;
    Record* m_pRecord = nullptr;
};

struct StartupFigures {
    Samples productMs, bareMs, bareComdlgMs;
    Samples peakWorkingSetKb, barePeakWorkingSetKb; // with the first page ready
    Samples bareComdlgPeakWorkingSetKb;
};

struct ProgressFigures {
    Samples productUs, plainUs, controlsUs; // per report
    Samples directUs;         // the same two messages straight to the Updating page's controls
    Samples hiddenControlsUs; // raw sends to bare controls of a hidden window: no painting
    Samples productPerSecond, plainPerSecond;            // reports a transfer sustains
    long handlesAfterOne = -1, handlesAfterHundred = -1; // after the first attempt / 100 retries
    long threadsAfterOne = -1, threadsAfterHundred = -1;
    int retriesDone = 0;
};

struct AttemptFigures {
    Samples activeToEntryMs, returnToShownMs;         // the program
    Samples bareActiveToEntryMs, bareReturnToShownMs; // bare wizard and thread
    // The program's attempt in steps: page active, entry 5 (thread running),
    // entry 11; entry 11 returned, message taken from the queue, completion
    // page active, completion page shown.
    Samples activeToPrepareMs, prepareToEntryMs;
    Samples activationHandlerMs; // the Updating page's activation handler, thread start included
    Samples returnToTakenMs, takenToCompletionActiveMs, completionActiveToShownMs;
};

struct CancelFigures {
    Samples windowGoneMs, processEndedMs;         // library ignores the stop flag
    Samples honouredProcessEndedMs;               // library honours it
    Samples bareWindowGoneMs, bareProcessEndedMs; // bare wizard
    Samples peakWorkingSetKb, barePeakWorkingSetKb;
    int stopFlagSeen = 0; // runs in which the ignoring library saw the flag set
};

class Scenarios {
public:
    Scenarios(const Programs& programs, SharedRecord& record)
        : m_programs(programs), m_record(record) {}

    StartupFigures Startup(int runs);
    ProgressFigures Progress(int batches, int reportsPerBatch, int retries);
    AttemptFigures Attempt(int runs);
    CancelFigures Cancel(int runs);

private:
    bool OneProductCancel(bool honourStop, CancelFigures& figures);
    bool OneBareCancel(CancelFigures& figures);
    bool OneProductAttempt(AttemptFigures& figures);
    bool OneBareAttempt(AttemptFigures& figures);
    bool RawBatch(const wchar_t* mode, int reports, Samples& us, Samples* perSecond);

    const Programs& m_programs;
    SharedRecord& m_record;
};

} // namespace bench
