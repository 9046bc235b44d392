// Helpers shared by the engine tests: a private folder per test, the
// double's log and script, and small file utilities.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

std::wstring Widen(const std::string& text);
std::string Hex(const std::string& bytes);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// Reads a file named by a multibyte path, as the download library would.
bool ReadFileByNarrowPath(const char* pszPath, std::string* pContent);

// A fresh folder for each test, with the double's log and script in it;
// removed again afterwards.
class EbootDoubleTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void WriteScript(const std::string& text) const;
    std::vector<std::string> LogLines() const;
    // The "call N" lines in order, with their arguments cut off.
    std::vector<std::string> Calls() const;
    // The "call 11 ..." lines.
    std::vector<std::string> DownloadCalls() const;
    // Polls the log until a line starts with prefix.
    bool WaitForLine(const std::string& prefix, DWORD dwTimeoutMs) const;
    void AppendLog(const std::string& line) const;

    std::wstring m_folder; // ends in a backslash
    std::wstring m_log;
    std::wstring m_script;
};
