#include "FileDialogWindow.h"

#include "RemoteWindow.h"

#include <dlgs.h>

namespace wizdriver {

HWND FileDialogWindow::FileNameBox() const {
    // Older dialogs name the box edt1; newer ones make it a combo box
    // (cmb13) with an edit inside.
    if (HWND edit = FindDescendant(m_hwnd, edt1, L"Edit"))
        return edit;
    if (HWND combo = FindDescendant(m_hwnd, cmb13)) {
        if (HWND inner = FindWindowExW(combo, nullptr, L"Edit", nullptr))
            return inner;
        return combo;
    }
    return nullptr;
}

HWND FileDialogWindow::FileTypeBox() const {
    return FindDescendant(m_hwnd, cmb1);
}

std::wstring FileDialogWindow::FileName() const {
    HWND box = FileNameBox();
    return box ? WindowText(box) : std::wstring();
}

std::wstring FileDialogWindow::FileType() const {
    HWND box = FileTypeBox();
    return box ? WindowText(box) : std::wstring(); // a drop-down list shows its selection
}

bool FileDialogWindow::SetFileName(const std::wstring& name) const {
    HWND box = FileNameBox();
    LRESULT done = 0;
    return box &&
           SendWithTimeout(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()), &done) &&
           done;
}

bool FileDialogWindow::PressOpen() const {
    HWND button = FindDescendant(m_hwnd, IDOK, L"Button");
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

bool FileDialogWindow::Cancel() const {
    HWND button = FindDescendant(m_hwnd, IDCANCEL, L"Button");
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

bool FileDialogWindow::WaitClosed(DWORD timeoutMs) const {
    return WaitUntil([&] { return !IsWindow(m_hwnd) || !IsWindowVisible(m_hwnd); }, timeoutMs);
}

} // namespace wizdriver
