#include "Launched.h"

#include "bench/BenchRecord.h"

namespace bench {

bool Launched::Start(const std::wstring& exe, const std::wstring& arguments) {
    Kill();
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    const std::wstring folder = FolderOf(exe);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    m_qpcStart = Now();
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    m_hProcess = info.hProcess;
    m_id = info.dwProcessId;
    return true;
}

bool Launched::WaitForExit(DWORD timeoutMs) const {
    return m_hProcess == nullptr || WaitForSingleObject(m_hProcess, timeoutMs) == WAIT_OBJECT_0;
}

void Launched::Kill() {
    if (m_hProcess == nullptr)
        return;
    if (!WaitForExit(0)) {
        TerminateProcess(m_hProcess, 1);
        WaitForExit(5000);
    }
    CloseHandle(m_hProcess);
    m_hProcess = nullptr;
    m_id = 0;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return FolderOf(path);
}

} // namespace bench
