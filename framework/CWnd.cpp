#include "framework/CWnd.h"

#include <commctrl.h>

#include <unordered_map>

#include "framework/CWinApp.h"

namespace {

// The process's windows that have an object. Windows are attached and
// detached on their own thread, but FromHandle may be asked from any.
class WindowMap {
public:
    void Add(HWND hWnd, CWnd* pWnd) {
        AcquireSRWLockExclusive(&m_lock);
        m_map[hWnd] = pWnd;
        ReleaseSRWLockExclusive(&m_lock);
    }
    void Remove(HWND hWnd, const CWnd* pWnd) {
        AcquireSRWLockExclusive(&m_lock);
        auto it = m_map.find(hWnd);
        if (it != m_map.end() && it->second == pWnd)
            m_map.erase(it);
        ReleaseSRWLockExclusive(&m_lock);
    }
    CWnd* Find(HWND hWnd) {
        AcquireSRWLockShared(&m_lock);
        auto it = m_map.find(hWnd);
        CWnd* pWnd = it != m_map.end() ? it->second : nullptr;
        ReleaseSRWLockShared(&m_lock);
        return pWnd;
    }

private:
    SRWLOCK m_lock = SRWLOCK_INIT;
    std::unordered_map<HWND, CWnd*> m_map;
};

WindowMap& Windows() {
    static WindowMap map;
    return map;
}

// Any number unique to this layer; one subclass per window and object.
const UINT_PTR kSubclassId = 0x4B57;

} // namespace

CWnd::~CWnd() {
    Detach();
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    return hWnd ? Windows().Find(hWnd) : nullptr;
}

BOOL CWnd::Attach(HWND hWnd) {
    if (m_hWnd != nullptr || !::IsWindow(hWnd) || FromHandle(hWnd) != nullptr)
        return FALSE;
    if (!::SetWindowSubclass(hWnd, &CWnd::SubclassProc, kSubclassId,
                             reinterpret_cast<DWORD_PTR>(this)))
        return FALSE;
    m_bSubclassed = true;
    AttachToMap(hWnd);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd == nullptr)
        return nullptr;
    if (m_bSubclassed)
        ::RemoveWindowSubclass(hWnd, &CWnd::SubclassProc, kSubclassId);
    m_bSubclassed = false;
    DetachFromMap();
    return hWnd;
}

void CWnd::AttachToMap(HWND hWnd) {
    m_hWnd = hWnd;
    Windows().Add(hWnd, this);
}

void CWnd::DetachFromMap() {
    if (m_hWnd)
        Windows().Remove(m_hWnd, this);
    m_hWnd = nullptr;
}

void CWnd::OnWindowGone() {
    Detach();
    // The application's main window is gone with it.
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = nullptr;
    PostNcDestroy();
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR dwRefData) {
    CWnd* pWnd = reinterpret_cast<CWnd*>(dwRefData);
    if (message == WM_NCDESTROY) {
        // The last message of the window: let go of it first, as comctl32
        // asks of a subclass, then let the window finish.
        pWnd->OnWindowGone();
        return ::DefSubclassProc(hWnd, message, wParam, lParam);
    }
    LRESULT lResult = 0;
    if (pWnd->OnWndMsg(message, wParam, lParam, &lResult))
        return lResult;
    return ::DefSubclassProc(hWnd, message, wParam, lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    const MessageMapEntry* pEntry = FindMessageEntry(message);
    if (!pEntry)
        return FALSE;
    *pResult = (this->*pEntry->pfnMessage)(wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

HWND CWnd::GetDlgItem(int nID) const {
    return m_hWnd ? ::GetDlgItem(m_hWnd, nID) : nullptr;
}

BOOL CWnd::SetWindowText(const wchar_t* pszText) {
    return ::SetWindowTextW(m_hWnd, pszText);
}

int CWnd::GetWindowText(CString& rString) const {
    int nLength = m_hWnd ? ::GetWindowTextLengthW(m_hWnd) : 0;
    if (nLength <= 0) {
        rString.Empty();
        return 0;
    }
    int nCopied = ::GetWindowTextW(m_hWnd, rString.GetBuffer(nLength + 1), nLength + 1);
    rString.ReleaseBuffer(nCopied > 0 ? nCopied : 0);
    return rString.GetLength();
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

HWND CWnd::SetFocus() {
    return ::SetFocus(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

void CWnd::SetDlgItemText(int nID, const wchar_t* pszText) {
    ::SetDlgItemTextW(m_hWnd, nID, pszText);
}

CWnd* CWnd::GetParent() const {
    return m_hWnd ? FromHandle(::GetParent(m_hWnd)) : nullptr;
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

int CWnd::MessageBox(const wchar_t* pszText, const wchar_t* pszCaption, UINT nType) {
    if (pszCaption == nullptr) {
        CWinApp* pApp = AfxGetApp();
        pszCaption = pApp ? pApp->m_pszAppName : nullptr;
    }
    return ::MessageBoxW(m_hWnd, pszText, pszCaption, nType);
}
