#include "tests/engine/TestSupport.h"

#include <cstdio>

namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE hFind = FindFirstFileW((folder + L"*").c_str(), &data);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + L"\\");
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(hFind, &data));
        FindClose(hFind);
    }
    RemoveDirectoryW(folder.c_str());
}

std::string ReadWholeFile(HANDLE hFile) {
    std::string text;
    char buf[4096];
    DWORD dwRead = 0;
    while (ReadFile(hFile, buf, sizeof(buf), &dwRead, nullptr) && dwRead > 0)
        text.append(buf, dwRead);
    return text;
}

} // namespace

std::wstring Widen(const std::string& text) {
    std::wstring out;
    for (unsigned char c : text)
        out += static_cast<wchar_t>(c);
    return out;
}

std::string Hex(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        char buf[3];
        std::snprintf(buf, sizeof(buf), "%02x", c);
        out += buf;
    }
    return out;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE hFile = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD dwWritten = 0;
    const BOOL bOk =
        WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr);
    CloseHandle(hFile);
    return bOk && dwWritten == bytes.size();
}

bool ReadFileByNarrowPath(const char* pszPath, std::string* pContent) {
    HANDLE hFile = CreateFileA(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    *pContent = ReadWholeFile(hFile);
    CloseHandle(hFile);
    return true;
}

void EbootDoubleTest::SetUp() {
    static LONG s_nFolders = 0;
    wchar_t szTemp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, szTemp), 0u);
    wchar_t szName[64];
    swprintf(szName, 64, L"engine-%lu-%lu-%ld\\", GetCurrentProcessId(), GetTickCount(),
             InterlockedIncrement(&s_nFolders));
    m_folder = std::wstring(szTemp) + szName;
    ASSERT_TRUE(CreateDirectoryW(m_folder.c_str(), nullptr));
    m_log = m_folder + L"calls.log";
    m_script = m_folder + L"script.txt";
    SetEnvironmentVariableW(L"EBOOT_DOUBLE_LOG", m_log.c_str());
    SetEnvironmentVariableW(L"EBOOT_DOUBLE_SCRIPT", m_script.c_str());
    // Attempts are counted per process; each test starts from the first.
    typedef void(__cdecl * ResetFn)();
    HMODULE hDouble = GetModuleHandleW(L"eboot.dll");
    ASSERT_NE(hDouble, nullptr);
    ResetFn pfnReset = reinterpret_cast<ResetFn>(
        reinterpret_cast<void*>(GetProcAddress(hDouble, "EbootDouble_Reset")));
    ASSERT_NE(pfnReset, nullptr) << "eboot.dll beside the test is not the double";
    pfnReset();
}

void EbootDoubleTest::TearDown() {
    SetEnvironmentVariableW(L"EBOOT_DOUBLE_LOG", nullptr);
    SetEnvironmentVariableW(L"EBOOT_DOUBLE_SCRIPT", nullptr);
    if (!m_folder.empty())
        RemoveTree(m_folder);
}

void EbootDoubleTest::WriteScript(const std::string& text) const {
    ASSERT_TRUE(WriteFileBytes(m_script, text));
}

std::vector<std::string> EbootDoubleTest::LogLines() const {
    std::vector<std::string> lines;
    HANDLE hFile = CreateFileW(m_log.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return lines;
    const std::string text = ReadWholeFile(hFile);
    CloseHandle(hFile);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

std::vector<std::string> EbootDoubleTest::Calls() const {
    std::vector<std::string> calls;
    for (const std::string& line : LogLines()) {
        if (line.compare(0, 5, "call ") == 0)
            calls.push_back(line.substr(0, line.find(' ', 5)));
    }
    return calls;
}

std::vector<std::string> EbootDoubleTest::DownloadCalls() const {
    std::vector<std::string> calls;
    for (const std::string& line : LogLines()) {
        if (line.compare(0, 8, "call 11 ") == 0)
            calls.push_back(line);
    }
    return calls;
}

bool EbootDoubleTest::WaitForLine(const std::string& prefix, DWORD dwTimeoutMs) const {
    const DWORD dwStart = GetTickCount();
    for (;;) {
        for (const std::string& line : LogLines()) {
            if (line.compare(0, prefix.size(), prefix) == 0)
                return true;
        }
        if (GetTickCount() - dwStart > dwTimeoutMs)
            return false;
        Sleep(5);
    }
}

void EbootDoubleTest::AppendLog(const std::string& line) const {
    HANDLE hFile = CreateFileW(m_log.c_str(), FILE_APPEND_DATA,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\n";
    DWORD dwWritten = 0;
    WriteFile(hFile, text.data(), static_cast<DWORD>(text.size()), &dwWritten, nullptr);
    CloseHandle(hFile);
}
