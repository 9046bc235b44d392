// A program started by the bench, killed when the object goes so that no run
// leaves a stray wizard holding the single-instance semaphore.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

class Launched {
public:
    Launched() = default;
    Launched(const Launched&) = delete;
    Launched& operator=(const Launched&) = delete;
    ~Launched() { Kill(); }

    // Starts exe in its own folder; the moment just before the start is kept.
    bool Start(const std::wstring& exe, const std::wstring& arguments = L"");
    bool WaitForExit(DWORD timeoutMs) const;
    bool Running() const { return m_hProcess && !WaitForExit(0); }
    void Kill();

    HANDLE Handle() const { return m_hProcess; }
    DWORD Id() const { return m_id; }
    LONGLONG StartedAt() const { return m_qpcStart; }

private:
    HANDLE m_hProcess = nullptr;
    DWORD m_id = 0;
    LONGLONG m_qpcStart = 0;
};

// The folder of a path, without its last backslash.
std::wstring FolderOf(const std::wstring& path);
std::wstring Join(const std::wstring& folder, const std::wstring& name);
std::wstring ModuleFolder();

} // namespace bench
