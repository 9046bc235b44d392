// The stand-in library's call log, as the wizard's process writes it.
#pragma once

#include <string>
#include <vector>

namespace blackbox {

struct DownloadCall {
    std::vector<unsigned char> path; // the request's path bytes, without the terminator
    long stopAtEntry = -1;
    int hasCallback = -1;
};

class DoubleLog {
public:
    explicit DoubleLog(std::vector<std::string> lines) : m_lines(std::move(lines)) {}
    static DoubleLog Read(const std::wstring& path);

    const std::vector<std::string>& Lines() const { return m_lines; }
    // The entry points in call order, e.g. {9, 5, 9, 11, 10}.
    std::vector<int> Calls() const;
    int CountCalls(int entryPoint) const;
    int Count(const std::string& line) const;
    std::vector<DownloadCall> Downloads() const;
    std::vector<int> Returns() const; // values returned by entry point 11
    std::string Text() const;

private:
    std::vector<std::string> m_lines;
};

// Fields of a "key=value" line, by key; empty when absent.
std::string FieldOf(const std::string& line, const std::string& key);
std::vector<unsigned char> HexBytes(const std::string& hex);

} // namespace blackbox
