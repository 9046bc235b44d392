// The common open-file dialog, answered from outside its process.
#pragma once

#include <windows.h>

#include <string>

namespace wizdriver {

class FileDialogWindow {
public:
    explicit FileDialogWindow(HWND hwnd) : m_hwnd(hwnd) {}

    HWND Handle() const { return m_hwnd; }
    bool Exists() const { return m_hwnd && IsWindow(m_hwnd); }
    std::wstring FileName() const;
    std::wstring FileType() const; // the selected entry of the type list
    bool SetFileName(const std::wstring& name) const;
    bool PressOpen() const;
    bool Cancel() const;
    bool WaitClosed(DWORD timeoutMs) const;

private:
    HWND FileNameBox() const;
    HWND FileTypeBox() const;
    HWND m_hwnd;
};

} // namespace wizdriver
