// A program started for one test, with its own environment and its output
// caught in a file; killed when the object goes, so no test leaves a stray.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace blackbox {

using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { Kill(); }

    // Starts exe in folder with the current environment plus overrides;
    // standard output and error go to outputFile.
    bool Start(const std::wstring& exe, const std::wstring& folder, const Environment& overrides,
               const std::wstring& outputFile, const std::wstring& arguments = L"");
    bool Running() const;
    bool WaitForExit(DWORD timeoutMs) const;
    DWORD ExitCode() const;
    DWORD Id() const { return m_id; }
    HANDLE Handle() const { return m_process; }
    void Kill();

private:
    HANDLE m_process = nullptr;
    DWORD m_id = 0;
};

} // namespace blackbox
