#include "RemoteWindow.h"

namespace wizdriver {

bool SendWithTimeout(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    DWORD_PTR value = 0;
    if (!IsWindow(hwnd))
        return false;
    if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG | SMTO_BLOCK, kSendTimeoutMs,
                             &value))
        return false;
    if (result)
        *result = static_cast<LRESULT>(value);
    return true;
}

LRESULT SendOrZero(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    return SendWithTimeout(hwnd, msg, wp, lp, &result) ? result : 0;
}

std::wstring WindowText(HWND hwnd) {
    LRESULT length = 0;
    if (!SendWithTimeout(hwnd, WM_GETTEXTLENGTH, 0, 0, &length) || length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = 0;
    if (!SendWithTimeout(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                         &copied))
        return std::wstring();
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(hwnd, name, 256);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

bool HasStyle(HWND hwnd, DWORD style) {
    return (static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & style) == style;
}

bool IsDefaultPushButton(HWND hwnd) {
    return (static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

HWND FindDescendant(HWND root, int id, const wchar_t* className) {
    for (HWND child : ChildWindows(root)) {
        if (GetDlgCtrlID(child) == id &&
            (!className || _wcsicmp(ClassName(child).c_str(), className) == 0))
            return child;
        if (HWND inner = FindDescendant(child, id, className))
            return inner;
    }
    return nullptr;
}

HWND FocusOfOwningThread(HWND hwnd) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    const DWORD thread = GetWindowThreadProcessId(hwnd, nullptr);
    if (!thread || !GetGUIThreadInfo(thread, &info))
        return nullptr;
    return info.hwndFocus;
}

bool ClickWithMouse(HWND hwnd) {
    RECT rect = {};
    if (!IsWindow(hwnd) || !GetWindowRect(hwnd, &rect))
        return false;
    const int x = (rect.left + rect.right) / 2;
    const int y = (rect.top + rect.bottom) / 2;
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    if (width <= 1 || height <= 1)
        return false;
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = ((x - left) * 65535) / (width - 1);
        input.mi.dy = ((y - top) * 65535) / (height - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    // A pause between the steps lets the target see a move, a press and a
    // release as separate events, the way a hand makes them.
    for (INPUT& input : inputs) {
        if (SendInput(1, &input, sizeof(INPUT)) != 1)
            return false;
        Sleep(30);
    }
    return true;
}

} // namespace wizdriver
