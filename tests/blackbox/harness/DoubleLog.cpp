#include "DoubleLog.h"

#include "Files.h"

#include <cstdlib>
#include <sstream>

namespace blackbox {

DoubleLog DoubleLog::Read(const std::wstring& path) {
    std::vector<std::string> lines;
    std::istringstream stream(ReadSharedFile(path));
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return DoubleLog(lines);
}

std::vector<int> DoubleLog::Calls() const {
    std::vector<int> calls;
    for (const std::string& line : m_lines) {
        if (line.compare(0, 5, "call ") == 0)
            calls.push_back(std::atoi(line.c_str() + 5));
    }
    return calls;
}

int DoubleLog::CountCalls(int entryPoint) const {
    int count = 0;
    for (int call : Calls())
        count += call == entryPoint;
    return count;
}

int DoubleLog::Count(const std::string& wanted) const {
    int count = 0;
    for (const std::string& line : m_lines)
        count += line == wanted;
    return count;
}

std::string FieldOf(const std::string& line, const std::string& key) {
    const std::string marker = key + "=";
    size_t at = line.find(" " + marker);
    if (at == std::string::npos)
        return std::string();
    at += marker.size() + 1;
    const size_t end = line.find(' ', at);
    return line.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

std::vector<unsigned char> HexBytes(const std::string& hex) {
    std::vector<unsigned char> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(
            static_cast<unsigned char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
    return bytes;
}

std::vector<DownloadCall> DoubleLog::Downloads() const {
    std::vector<DownloadCall> downloads;
    for (const std::string& line : m_lines) {
        if (line.compare(0, 8, "call 11 ") != 0)
            continue;
        DownloadCall call;
        call.path = HexBytes(FieldOf(line, "path"));
        const std::string stop = FieldOf(line, "stop");
        const std::string callback = FieldOf(line, "cb");
        call.stopAtEntry = stop.empty() ? -1 : std::atol(stop.c_str());
        call.hasCallback = callback.empty() ? -1 : std::atoi(callback.c_str());
        downloads.push_back(call);
    }
    return downloads;
}

std::vector<int> DoubleLog::Returns() const {
    std::vector<int> values;
    for (const std::string& line : m_lines) {
        if (line.compare(0, 10, "return 11 ") == 0)
            values.push_back(std::atoi(line.c_str() + 10));
    }
    return values;
}

std::string DoubleLog::Text() const {
    std::string text;
    for (const std::string& line : m_lines)
        text += line + "\n";
    return text;
}

} // namespace blackbox
