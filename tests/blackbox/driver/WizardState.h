// A snapshot of the running wizard, read from outside its process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace wizdriver {

// The wizard frame's own buttons.
constexpr int kBackId = 0x3023;
constexpr int kNextId = 0x3024;
constexpr int kFinishId = 0x3025;
constexpr int kCancelId = IDCANCEL;
constexpr int kHelpId = 9;

struct ButtonState {
    HWND hwnd = nullptr;
    bool exists = false;
    bool visible = false;
    bool enabled = false;
    bool isDefault = false; // BS_DEFPUSHBUTTON style
    bool focused = false;
    std::wstring text;
};

struct ControlState {
    HWND hwnd = nullptr;
    int id = 0;
    std::wstring className;
    std::wstring text;
    DWORD style = 0;
    bool visible = false;
};

struct ProgressState {
    bool exists = false;
    int low = 0;
    int high = 0;
    int pos = 0;
};

struct WizardState {
    HWND hwnd = nullptr;
    DWORD processId = 0;
    DWORD threadId = 0;
    std::wstring caption;
    bool visible = false;
    bool enabled = false;
    RECT rect = {};
    HWND focus = nullptr;
    ButtonState back, next, finish, cancel, help;
    HWND page = nullptr;
    int pageIndex = -1;
    std::vector<ControlState> controls; // the active page's, in tab order
    ProgressState progress;             // of the active page's bar, if any

    const ControlState* Control(int id) const;
    std::wstring ControlText(int id) const; // empty when absent
    // Buttons that a user can see, in the order back, next, finish, cancel, help.
    std::vector<const ButtonState*> VisibleButtons() const;
};

// Human-readable dump (UTF-8), for people and for failure messages.
std::string Describe(const WizardState& state);
std::string Utf8(const std::wstring& text);

} // namespace wizdriver
