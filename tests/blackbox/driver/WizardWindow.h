// The running wizard, found the way a second copy of the program finds it.
#pragma once

#include "WizardState.h"

namespace wizdriver {

constexpr int kProgressId = 1000;
constexpr int kStatusTextId = 1001;
constexpr int kImagePathId = 1003;
constexpr int kBrowseId = 1004;
constexpr int kPercentId = 1005;

// First top-level window, in the desktop's child order, carrying the
// window property "Phone"; null when none does.
HWND FindPhoneWindow();

class WizardWindow {
public:
    WizardWindow() = default;
    explicit WizardWindow(HWND hwnd) : m_hwnd(hwnd) {}

    // Waits for a window with the property; an empty object when none came.
    static WizardWindow WaitForWizard(DWORD timeoutMs);

    HWND Handle() const { return m_hwnd; }
    bool Exists() const { return m_hwnd && IsWindow(m_hwnd); }
    DWORD ProcessId() const;

    WizardState State() const;
    ButtonState Button(int id) const;
    HWND ActivePage() const;
    int ActivePageIndex() const;
    HWND PageControl(int id) const; // on the active page
    std::wstring PageControlText(int id) const;
    ProgressState Progress() const;
    HWND Focus() const;

    bool WaitForPage(int index, DWORD timeoutMs) const;

    // As a user's click would do it (BM_CLICK, posted so that a modal loop
    // the click opens does not block the caller).
    bool Click(int buttonId) const;
    bool ClickPageControl(int id) const;
    // The frame's message: presses even a disabled button.
    bool PressByMessage(int psbtn) const;
    bool ClickWithMouse(int buttonId) const;
    // Key down and up of Escape, queued to the focused window.
    bool PostEscape() const;
    bool SysClose() const;
    bool Close() const;

    // Open-file dialog: a top-level #32770 that the wizard owns.
    HWND FindFileDialog() const;
    HWND WaitForFileDialog(DWORD timeoutMs) const;

private:
    HWND m_hwnd = nullptr;
};

} // namespace wizdriver
