// A window object: the C++ side of one HWND of this process.
//
// Attach() subclasses the window (SetWindowSubclass) and records it in the
// process's HWND -> object map, so FromHandle finds the object and its
// message map sees the window's messages. When the window is destroyed
// (WM_NCDESTROY) the object lets go of it and m_hWnd becomes null, so an
// object never holds a dead handle. Destroying the object detaches it but
// leaves the window alone.
#pragma once

#include <windows.h>

#include "framework/CCmdTarget.h"
#include "framework/CString.h"

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    // The object attached to hWnd in this process, or nullptr.
    static CWnd* FromHandle(HWND hWnd);

    // Binds the object to an existing window of this thread and routes its
    // messages through this object. FALSE when hWnd is not a window or
    // already has an object.
    BOOL Attach(HWND hWnd);
    // Lets go of the window without destroying it; returns it.
    HWND Detach();

    HWND GetSafeHwnd() const { return m_hWnd; }

    HWND GetDlgItem(int nID) const;             // ::GetDlgItem
    BOOL SetWindowText(const wchar_t* pszText); // ::SetWindowTextW
    int GetWindowText(CString& rString) const;  // ::GetWindowTextW
    BOOL ShowWindow(int nCmdShow);              // ::ShowWindow
    BOOL EnableWindow(BOOL bEnable);            // ::EnableWindow
    BOOL IsWindowEnabled() const;               // ::IsWindowEnabled
    BOOL IsWindowVisible() const;               // ::IsWindowVisible
    HWND SetFocus();                            // ::SetFocus; the previous focus
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0); // ::SendMessageW
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);    // ::PostMessageW
    void SetDlgItemText(int nID, const wchar_t* pszText);                    // ::SetDlgItemTextW
    CWnd* GetParent() const; // FromHandle(::GetParent)
    BOOL DestroyWindow();    // ::DestroyWindow

    // ::MessageBoxW owned by this window; with no caption the box is titled
    // with the application's display name.
    int MessageBox(const wchar_t* pszText, const wchar_t* pszCaption = nullptr, UINT nType = MB_OK);

    // Offered every queued message of a modal run of this window before it is
    // translated and dispatched; TRUE consumes it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // The object's view of each message of its window. Handles WM_COMMAND and
    // the message map's private messages; TRUE with *pResult when handled,
    // FALSE to leave the message to the window's own procedure.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

protected:
    // WM_COMMAND: the message map's entry for the control or command number.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Called once the window is gone and m_hWnd is null.
    virtual void PostNcDestroy() {}

    // For window procedures of this layer that own the routing themselves
    // (the dialog procedure of a page): map and unmap without subclassing.
    void AttachToMap(HWND hWnd);
    void DetachFromMap();
    // WM_NCDESTROY: lets go of the window, then PostNcDestroy.
    void OnWindowGone();

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR uIdSubclass, DWORD_PTR dwRefData);

    bool m_bSubclassed = false;
};
