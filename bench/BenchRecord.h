// The record that the bench driver shares with the programs it measures: the
// bench's eboot.dll and the baseline programs read their orders from it and
// leave their QueryPerformanceCounter readings in it. Shared memory rather
// than a file, so that taking a reading never waits for a disk write. All
// processes of one run have the same architecture, so the layout matches.
#pragma once

#include <windows.h>

namespace bench {

constexpr wchar_t kRecordName[] = L"Local\\KaldrenBenchRecord";

// What the bench library's entry point 11 does.
enum TransferMode : LONG {
    kReturnAtOnce = 0, // returns nResult straight away
    kTightLoop = 1,    // nReports progress reports back to back, then returns nResult
    kHold = 2,         // a report every nStepMs until bRelease is set; the stop flag is
                       // honoured only when bHonourStop is set
    kDirectLoop = 3,   // like kTightLoop, but the two messages of each report go straight to
                       // the Updating page's controls, bypassing the program's callback
};

constexpr int kMaxBatches = 32;

struct Record {
    // Orders, written by the driver.
    volatile LONG nMode;
    volatile LONG nReports;
    volatile LONG nResult;
    volatile LONG nStepMs;
    volatile LONG bHonourStop;
    volatile LONG bWatchPages; // the library timestamps page 5 becoming active and page 6 shown
    volatile LONG bRelease;
    volatile LONG nBatches; // baseline sender: how many loops of nReports

    // Written by the bench library; counters are raised after the readings
    // they announce.
    volatile LONG nAttemptsEntered;
    volatile LONG nAttemptsReturned;
    volatile LONG nReportsMade;
    volatile LONG bStopSeen;
    volatile LONGLONG qpcEntered;        // entry 11 entered (latest attempt)
    volatile LONGLONG qpcReturning;      // entry 11 about to return (latest attempt)
    volatile LONGLONG qpcLoopTicks;      // the tight loop of the latest attempt
    volatile LONGLONG qpcUpdatingActive; // the Updating page's activation notification
    volatile LONGLONG qpcCompletionShown;
    // Where the attempt's time goes, read with the pages watched.
    volatile LONGLONG qpcUpdatingActiveDone; // the Updating page's activation handler returned
    volatile LONGLONG qpcPrepareEntered;     // entry 5: the download thread is running
    volatile LONGLONG qpcDoneTaken;          // the end-of-download message leaves the queue
    volatile LONGLONG qpcCompletionActive;   // the completion page's activation notification

    // Written by the baseline programs.
    volatile LONG nBaseDone;
    volatile LONG nBaseBatches;
    volatile LONGLONG qpcBase[4];
    volatile LONGLONG qpcBatchTicks[kMaxBatches];
};

inline LONGLONG Now() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

// Maps the driver's record, or null when no bench is running.
inline Record* OpenRecord() {
    HANDLE hMapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kRecordName);
    if (hMapping == nullptr)
        return nullptr;
    void* pView = MapViewOfFile(hMapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Record));
    // The view keeps the mapping alive.
    CloseHandle(hMapping);
    return static_cast<Record*>(pView);
}

} // namespace bench
