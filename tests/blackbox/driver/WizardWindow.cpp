#include "WizardWindow.h"

#include "RemoteWindow.h"

#include <commctrl.h>
#include <prsht.h>

namespace wizdriver {

HWND FindPhoneWindow() {
    for (HWND hwnd = GetWindow(GetDesktopWindow(), GW_CHILD); hwnd && IsWindow(hwnd);
         hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        if (GetPropW(hwnd, L"Phone"))
            return hwnd;
    }
    return nullptr;
}

WizardWindow WizardWindow::WaitForWizard(DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindPhoneWindow()) != nullptr; }, timeoutMs);
    return WizardWindow(found);
}

DWORD WizardWindow::ProcessId() const {
    DWORD pid = 0;
    GetWindowThreadProcessId(m_hwnd, &pid);
    return pid;
}

ButtonState WizardWindow::Button(int id) const {
    ButtonState button;
    button.hwnd = GetDlgItem(m_hwnd, id);
    if (!button.hwnd)
        return button;
    button.exists = true;
    button.visible = IsWindowVisible(button.hwnd) != FALSE;
    button.enabled = IsWindowEnabled(button.hwnd) != FALSE;
    button.isDefault = IsDefaultPushButton(button.hwnd);
    button.focused = FocusOfOwningThread(m_hwnd) == button.hwnd;
    button.text = WindowText(button.hwnd);
    return button;
}

HWND WizardWindow::ActivePage() const {
    return reinterpret_cast<HWND>(SendOrZero(m_hwnd, PSM_GETCURRENTPAGEHWND));
}

int WizardWindow::ActivePageIndex() const {
    HWND page = ActivePage();
    if (!page)
        return -1;
    LRESULT index = -1;
    if (!SendWithTimeout(m_hwnd, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0, &index))
        return -1;
    return static_cast<int>(index);
}

HWND WizardWindow::PageControl(int id) const {
    HWND page = ActivePage();
    return page ? GetDlgItem(page, id) : nullptr;
}

std::wstring WizardWindow::PageControlText(int id) const {
    HWND control = PageControl(id);
    return control ? WindowText(control) : std::wstring();
}

ProgressState WizardWindow::Progress() const {
    ProgressState progress;
    HWND bar = PageControl(kProgressId);
    if (!bar || _wcsicmp(ClassName(bar).c_str(), PROGRESS_CLASSW) != 0)
        return progress;
    progress.exists = true;
    // With a null PBRANGE pointer the limit comes back as the result; a
    // pointer into this process would mean nothing to the wizard's.
    progress.low = static_cast<int>(SendOrZero(bar, PBM_GETRANGE, TRUE, 0));
    progress.high = static_cast<int>(SendOrZero(bar, PBM_GETRANGE, FALSE, 0));
    progress.pos = static_cast<int>(SendOrZero(bar, PBM_GETPOS));
    return progress;
}

HWND WizardWindow::Focus() const {
    return FocusOfOwningThread(m_hwnd);
}

WizardState WizardWindow::State() const {
    WizardState state;
    state.hwnd = m_hwnd;
    if (!Exists())
        return state;
    state.threadId = GetWindowThreadProcessId(m_hwnd, &state.processId);
    state.caption = WindowText(m_hwnd);
    state.visible = IsWindowVisible(m_hwnd) != FALSE;
    state.enabled = IsWindowEnabled(m_hwnd) != FALSE;
    GetWindowRect(m_hwnd, &state.rect);
    state.focus = Focus();
    state.back = Button(kBackId);
    state.next = Button(kNextId);
    state.finish = Button(kFinishId);
    state.cancel = Button(kCancelId);
    state.help = Button(kHelpId);
    state.page = ActivePage();
    state.pageIndex = ActivePageIndex();
    if (state.page) {
        for (HWND child : ChildWindows(state.page)) {
            ControlState control;
            control.hwnd = child;
            control.id = GetDlgCtrlID(child);
            control.className = ClassName(child);
            control.text = WindowText(child);
            control.style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
            control.visible = IsWindowVisible(child) != FALSE;
            state.controls.push_back(control);
        }
    }
    state.progress = Progress();
    return state;
}

bool WizardWindow::WaitForPage(int index, DWORD timeoutMs) const {
    return WaitUntil([&] { return ActivePageIndex() == index; }, timeoutMs);
}

bool WizardWindow::Click(int buttonId) const {
    HWND button = GetDlgItem(m_hwnd, buttonId);
    return button && PostMessageW(button, BM_CLICK, 0, 0);
}

bool WizardWindow::ClickPageControl(int id) const {
    HWND control = PageControl(id);
    return control && PostMessageW(control, BM_CLICK, 0, 0);
}

bool WizardWindow::PressByMessage(int psbtn) const {
    return Exists() && PostMessageW(m_hwnd, PSM_PRESSBUTTON, static_cast<WPARAM>(psbtn), 0);
}

bool WizardWindow::ClickWithMouse(int buttonId) const {
    return wizdriver::ClickWithMouse(GetDlgItem(m_hwnd, buttonId));
}

bool WizardWindow::PostEscape() const {
    HWND target = Focus();
    if (!target)
        target = m_hwnd;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(VK_ESCAPE, MAPVK_VK_TO_VSC)) << 16;
    return PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 1 | scan) &&
           PostMessageW(target, WM_KEYUP, VK_ESCAPE, 1 | scan | (1u << 30) | (1u << 31));
}

bool WizardWindow::SysClose() const {
    return Exists() && PostMessageW(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool WizardWindow::Close() const {
    return Exists() && PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
}

HWND WizardWindow::FindFileDialog() const {
    if (!Exists())
        return nullptr;
    for (HWND hwnd = GetWindow(GetDesktopWindow(), GW_CHILD); hwnd;
         hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        if (hwnd != m_hwnd && GetWindow(hwnd, GW_OWNER) == m_hwnd && ClassName(hwnd) == L"#32770" &&
            IsWindowVisible(hwnd))
            return hwnd;
    }
    return nullptr;
}

HWND WizardWindow::WaitForFileDialog(DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindFileDialog()) != nullptr; }, timeoutMs);
    return found;
}

} // namespace wizdriver
