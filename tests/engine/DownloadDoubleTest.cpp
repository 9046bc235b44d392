// The double's own contract, on which the black-box tests rely as well.
#include "engine/EbootApi.h"
#include "tests/engine/TestSupport.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

volatile LONG* g_pbStopFromReport = nullptr;
int g_nStopAtReport = -1;

void __stdcall StopAtReport(int nPercent) {
    if (nPercent == g_nStopAtReport && g_pbStopFromReport != nullptr)
        *g_pbStopFromReport = 1;
}

class DownloadDouble : public EbootDoubleTest {
protected:
    int Download(const char* pszPath, ProgressCallback pfnProgress = nullptr) {
        DownloadRequest request = {};
        request.pszImagePath = pszPath;
        request.pbStop = &m_bStop;
        request.pfnProgress = pfnProgress;
        return Eboot_Download(request);
    }
    volatile LONG m_bStop = 0;
};

TEST_F(DownloadDouble, LogsEachCallWithItsArguments) {
    WriteScript("progress=\nstep_ms=0\nresults=7\n");
    DWORD dwArg = 42;
    Eboot_Prepare();
    Eboot_Detect();
    Eboot_Release(&dwArg);
    Eboot_Release(nullptr);
    m_bStop = 1;
    Download("C:\\a\xE9.bin");
    char szArg[32];
    std::snprintf(szArg, sizeof(szArg), "%llx",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(&dwArg)));
    EXPECT_EQ(LogLines(), (std::vector<std::string>{
                              "call 5",
                              "call 9",
                              std::string("call 10 arg=") + szArg + " value=42",
                              "call 10 arg=0 value=0",
                              "call 11 path=433a5c61e92e62696e stop=1 cb=0",
                              "stop-seen",
                              "return 11 3",
                          }));
}

TEST_F(DownloadDouble, ResultsFollowTheAttemptsAndTheLastRepeats) {
    WriteScript("results=4,-2\nprogress=0,100\nstep_ms=0\n");
    EXPECT_EQ(Download(""), 4);
    EXPECT_EQ(Download(""), -2);
    EXPECT_EQ(Download(""), -2);
    // The script is read again at every attempt.
    WriteScript("results=9\nprogress=\n");
    EXPECT_EQ(Download(""), 9);
}

TEST_F(DownloadDouble, IgnoredStopCarriesOnToTheScriptedResult) {
    WriteScript("stop=ignore\nprogress=0,50,100\nstep_ms=5\nresults=1\n");
    m_bStop = 1;
    EXPECT_EQ(Download(""), 1);
    const std::vector<std::string> lines = LogLines();
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              (std::vector<std::string>{"stop-seen", "progress 0", "progress 50", "progress 100",
                                        "return 11 1"}));
}

TEST_F(DownloadDouble, SlowStopKeepsReportingTheLastValue) {
    WriteScript("stop=honour\nprogress=0,20,40,60\nstep_ms=10\nafter_stop_ms=200\n");
    g_pbStopFromReport = &m_bStop;
    g_nStopAtReport = 20;
    EXPECT_EQ(Download("", &StopAtReport), 3);
    g_pbStopFromReport = nullptr;
    std::vector<std::string> afterStop;
    bool bSeen = false;
    for (const std::string& line : LogLines()) {
        if (bSeen)
            afterStop.push_back(line);
        bSeen = bSeen || line == "stop-seen";
    }
    ASSERT_GE(afterStop.size(), 3u);
    EXPECT_EQ(afterStop.back(), "return 11 3");
    afterStop.pop_back();
    for (const std::string& line : afterStop)
        EXPECT_EQ(line, "progress 20");
}

} // namespace
