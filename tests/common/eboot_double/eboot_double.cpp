// Scriptable double of eboot.dll: appends one line per call to the file that
// EBOOT_DOUBLE_LOG names and behaves as the key=value file that
// EBOOT_DOUBLE_SCRIPT names says. Both are read at every call, so a test can
// change the script between attempts.
#include "engine/EbootApi.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

LONG g_nAttempts = 0;

const DWORD kPollMs = 5;
const DWORD kHoldLimitMs = 60000;

std::wstring EnvironmentValue(const wchar_t* pszName) {
    std::wstring value(256, L'\0');
    for (;;) {
        const DWORD n =
            GetEnvironmentVariableW(pszName, &value[0], static_cast<DWORD>(value.size()));
        if (n == 0)
            return std::wstring();
        if (n < value.size()) {
            value.resize(n);
            return value;
        }
        value.resize(n);
    }
}

// Opened, appended and closed per line, so another process can follow it.
void LogLine(const std::string& line) {
    const std::wstring path = EnvironmentValue(L"EBOOT_DOUBLE_LOG");
    if (path.empty())
        return;
    HANDLE hFile = CreateFileW(path.c_str(), FILE_APPEND_DATA,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\n";
    DWORD dwWritten = 0;
    WriteFile(hFile, text.data(), static_cast<DWORD>(text.size()), &dwWritten, nullptr);
    CloseHandle(hFile);
}

std::string Hex(unsigned long long value) {
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%llx", value);
    return buf;
}

std::string HexBytes(const char* psz) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(psz); p && *p; ++p) {
        char buf[3];
        std::snprintf(buf, sizeof(buf), "%02x", *p);
        out += buf;
    }
    return out;
}

std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    const size_t last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

std::vector<int> IntList(const std::string& text) {
    std::vector<int> values;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t comma = text.find(',', pos);
        if (comma == std::string::npos)
            comma = text.size();
        const std::string item = Trim(text.substr(pos, comma - pos));
        if (!item.empty())
            values.push_back(static_cast<int>(std::strtol(item.c_str(), nullptr, 10)));
        pos = comma + 1;
    }
    return values;
}

struct Script {
    std::vector<int> results{1};
    std::vector<int> progress{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
    DWORD stepMs = 50;
    bool honourStop = true;
    DWORD afterStopMs = 0;
    bool hold = false;
};

std::string ReadFileText(const std::wstring& path) {
    std::string text;
    HANDLE hFile = CreateFileW(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return text;
    char buf[4096];
    DWORD dwRead = 0;
    while (ReadFile(hFile, buf, sizeof(buf), &dwRead, nullptr) && dwRead > 0)
        text.append(buf, dwRead);
    CloseHandle(hFile);
    return text;
}

Script ReadScript() {
    Script script;
    const std::wstring path = EnvironmentValue(L"EBOOT_DOUBLE_SCRIPT");
    if (path.empty())
        return script;
    const std::string text = ReadFileText(path);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        const size_t eq = line.find('=');
        if (line.empty() || line[0] == '#' || eq == std::string::npos)
            continue;
        const std::string key = Trim(line.substr(0, eq));
        const std::string value = Trim(line.substr(eq + 1));
        if (key == "results") {
            const std::vector<int> results = IntList(value);
            if (!results.empty())
                script.results = results;
        } else if (key == "progress") {
            script.progress = IntList(value);
        } else if (key == "step_ms") {
            script.stepMs = std::strtoul(value.c_str(), nullptr, 10);
        } else if (key == "stop") {
            script.honourStop = value != "ignore";
        } else if (key == "after_stop_ms") {
            script.afterStopMs = std::strtoul(value.c_str(), nullptr, 10);
        } else if (key == "hold") {
            script.hold = std::strtol(value.c_str(), nullptr, 10) != 0;
        }
    }
    return script;
}

// One call of entry point 11 playing its script.
class Transfer {
public:
    Transfer(const DownloadRequest& request, const Script& script)
        : m_request(request), m_script(script) {}

    int Run(int nResult) {
        for (int nValue : m_script.progress) {
            if (Pause(m_script.stepMs) && m_script.honourStop)
                return Finish(3);
            Report(nValue);
        }
        if (m_script.hold) {
            const DWORD dwStart = GetTickCount();
            while (!StopRequested() && GetTickCount() - dwStart < kHoldLimitMs)
                Sleep(kPollMs);
            if (m_bStopSeen && m_script.honourStop)
                return Finish(3);
        }
        // Once more before the end, so a flag set at entry is seen even
        // without any report.
        if (StopRequested() && m_script.honourStop)
            return Finish(3);
        return Finish(nResult);
    }

private:
    bool StopRequested() {
        if (m_request.pbStop == nullptr || *m_request.pbStop == 0)
            return false;
        if (!m_bStopSeen) {
            m_bStopSeen = true;
            m_dwStopSeenAt = GetTickCount();
            LogLine("stop-seen");
        }
        return true;
    }

    // Watches the flag while it waits; true when it was found set.
    bool Pause(DWORD dwMs) {
        const DWORD dwStart = GetTickCount();
        for (;;) {
            if (StopRequested())
                return true;
            const DWORD dwElapsed = GetTickCount() - dwStart;
            if (dwElapsed >= dwMs)
                return false;
            Sleep(dwMs - dwElapsed < kPollMs ? dwMs - dwElapsed : kPollMs);
        }
    }

    void Report(int nValue) {
        LogLine("progress " + std::to_string(nValue));
        m_bReported = true;
        m_nLast = nValue;
        if (m_request.pfnProgress != nullptr)
            m_request.pfnProgress(nValue);
    }

    // A library that is slow to notice the flag keeps reporting for a while.
    int Finish(int nResult) {
        if (m_bStopSeen) {
            const DWORD dwStep = m_script.stepMs > 0 ? m_script.stepMs : 1;
            while (GetTickCount() - m_dwStopSeenAt < m_script.afterStopMs) {
                Sleep(dwStep);
                if (m_bReported)
                    Report(m_nLast);
            }
        }
        LogLine("return 11 " + std::to_string(nResult));
        return nResult;
    }

    const DownloadRequest& m_request;
    const Script& m_script;
    bool m_bStopSeen = false;
    DWORD m_dwStopSeenAt = 0;
    bool m_bReported = false;
    int m_nLast = 0;
};

} // namespace

extern "C" int __stdcall Eboot_Prepare(void) {
    LogLine("call 5");
    return 1;
}

extern "C" int __stdcall Eboot_Detect(void) {
    LogLine("call 9");
    return 1;
}

extern "C" int __stdcall Eboot_Release(DWORD* pArg) {
    LogLine("call 10 arg=" + Hex(reinterpret_cast<UINT_PTR>(pArg)) +
            " value=" + std::to_string(pArg != nullptr ? *pArg : 0));
    return 1;
}

extern "C" int __stdcall Eboot_Download(DownloadRequest request) {
    const LONG nAttempt = InterlockedIncrement(&g_nAttempts);
    const Script script = ReadScript();
    const LONG nStopAtEntry = request.pbStop != nullptr ? *request.pbStop : 0;
    LogLine("call 11 path=" + HexBytes(request.pszImagePath) + " stop=" +
            std::to_string(nStopAtEntry) + " cb=" + (request.pfnProgress != nullptr ? "1" : "0"));
    const size_t nIndex = static_cast<size_t>(nAttempt - 1) < script.results.size()
                              ? static_cast<size_t>(nAttempt - 1)
                              : script.results.size() - 1;
    Transfer transfer(request, script);
    return transfer.Run(script.results[nIndex]);
}

// In-process helpers for tests that load the double into their own process.
extern "C" void __cdecl EbootDouble_Reset(void) {
    InterlockedExchange(&g_nAttempts, 0);
}

extern "C" LONG __cdecl EbootDouble_Attempts(void) {
    return g_nAttempts;
}
