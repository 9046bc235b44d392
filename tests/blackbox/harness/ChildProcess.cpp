#include "ChildProcess.h"

#include <cwctype>

namespace blackbox {

namespace {

bool SameName(const std::wstring& entry, const std::wstring& name) {
    if (entry.size() <= name.size() || entry[name.size()] != L'=')
        return false;
    return _wcsnicmp(entry.c_str(), name.c_str(), name.size()) == 0;
}

std::vector<wchar_t> EnvironmentBlock(const Environment& overrides) {
    std::vector<wchar_t> block;
    if (wchar_t* current = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = current; *entry; entry += wcslen(entry) + 1) {
            const std::wstring text(entry);
            bool replaced = false;
            for (const auto& setting : overrides)
                replaced = replaced || SameName(text, setting.first);
            if (!replaced)
                block.insert(block.end(), text.c_str(), text.c_str() + text.size() + 1);
        }
        FreeEnvironmentStringsW(current);
    }
    for (const auto& setting : overrides) {
        const std::wstring text = setting.first + L"=" + setting.second;
        block.insert(block.end(), text.c_str(), text.c_str() + text.size() + 1);
    }
    block.push_back(L'\0');
    return block;
}

} // namespace

bool ChildProcess::Start(const std::wstring& exe, const std::wstring& folder,
                         const Environment& overrides, const std::wstring& outputFile,
                         const std::wstring& arguments) {
    Kill();
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE output =
        CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE)
        return false;
    HANDLE input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input != INVALID_HANDLE_VALUE ? input : nullptr;
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    std::vector<wchar_t> environment = EnvironmentBlock(overrides);
    PROCESS_INFORMATION info = {};
    const BOOL started = CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                                        CREATE_UNICODE_ENVIRONMENT, environment.data(),
                                        folder.c_str(), &startup, &info);
    CloseHandle(output);
    if (input != INVALID_HANDLE_VALUE)
        CloseHandle(input);
    if (!started)
        return false;
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_id = info.dwProcessId;
    return true;
}

bool ChildProcess::Running() const {
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs) const {
    return m_process && WaitForSingleObject(m_process, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_process)
        GetExitCodeProcess(m_process, &code);
    return code;
}

void ChildProcess::Kill() {
    if (!m_process)
        return;
    if (Running()) {
        TerminateProcess(m_process, 0xDEAD);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
    m_process = nullptr;
    m_id = 0;
}

} // namespace blackbox
