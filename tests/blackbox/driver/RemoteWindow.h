// Reading and nudging windows that belong to another process. Every call that
// needs the owning thread uses a timeout, so a hung wizard fails a check
// instead of hanging the caller.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace wizdriver {

constexpr UINT kSendTimeoutMs = 2000;

// WM_GETTEXT: marshalled across processes, and unlike GetWindowTextW it
// reaches the text an edit control keeps for itself.
std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);
// Sends a message and returns its result; false when the window is gone or
// its thread did not answer in time.
bool SendWithTimeout(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
LRESULT SendOrZero(HWND hwnd, UINT msg, WPARAM wp = 0, LPARAM lp = 0);

bool HasStyle(HWND hwnd, DWORD style);
bool IsDefaultPushButton(HWND hwnd);

// Direct children in Z order (creation order for dialog controls).
std::vector<HWND> ChildWindows(HWND parent);
// First descendant, depth first, with that control id (and class, if given).
HWND FindDescendant(HWND root, int id, const wchar_t* className = nullptr);

// The keyboard focus of the thread that owns hwnd, as that thread sees it.
HWND FocusOfOwningThread(HWND hwnd);

// Real mouse input at the centre of the window: a disabled button ignores
// it, where BM_CLICK or PSM_PRESSBUTTON would not.
bool ClickWithMouse(HWND hwnd);

// Polls pred every few milliseconds until it holds or the time is up.
template <class Pred> bool WaitUntil(Pred pred, DWORD timeoutMs, DWORD pollMs = 20) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (pred())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Sleep(pollMs);
    }
}

// Holds when pred stays true for the whole time.
template <class Pred> bool Stays(Pred pred, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    do {
        if (!pred())
            return false;
        Sleep(20);
    } while (GetTickCount64() < end);
    return pred();
}

} // namespace wizdriver
