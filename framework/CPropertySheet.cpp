#include "framework/CPropertySheet.h"

#include <algorithm>

#include "framework/CWinApp.h"

namespace {

// The font comctl32's own sheet templates name: pages get it in place of the
// font of their template, so they match the frame and its buttons.
const wchar_t kPageFontFace[] = L"MS Shell Dlg";
const WORD kPageFontPoints = 8;

// The sheet whose window PropertySheetW is about to create on this thread,
// and the hook that catches that window's creation.
thread_local CPropertySheet* t_pSheetBeingCreated = nullptr;
thread_local HHOOK t_hCreationHook = nullptr;

} // namespace

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) {
    m_strCaption.LoadString(nIDCaption);
    CommonConstruct(pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(const wchar_t* pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_strCaption(pszCaption) {
    CommonConstruct(pParentWnd, iSelectPage);
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage) {
    m_pParentWnd = pParentWnd;
    m_psh = PROPSHEETHEADERW();
    m_psh.dwSize = sizeof(m_psh);
    m_psh.dwFlags = PSH_PROPSHEETPAGE;
    m_psh.hInstance = AfxGetInstanceHandle();
    m_psh.pszCaption = m_strCaption;
    m_psh.nStartPage = iSelectPage;
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->HandlesHelp())
        m_psh.dwFlags |= PSH_HASHELP;
}

CPropertySheet::~CPropertySheet() {
    for (CPropertyPage* pPage : m_pages)
        pPage->m_pSheet = nullptr;
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    if (pPage == nullptr || m_hWnd != nullptr || GetPageIndex(pPage) >= 0)
        return;
    pPage->m_pSheet = this;
    m_pages.push_back(pPage);
}

void CPropertySheet::ForgetPage(const CPropertyPage* pPage) {
    m_pages.erase(std::remove(m_pages.begin(), m_pages.end(), pPage), m_pages.end());
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[static_cast<size_t>(nPage)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* pPage) const {
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i] == pPage)
            return static_cast<int>(i);
    }
    return -1;
}

int CPropertySheet::GetActiveIndex() const {
    if (m_hWnd == nullptr)
        return static_cast<int>(m_psh.nStartPage);
    HWND hPage = PropSheet_GetCurrentPageHwnd(m_hWnd);
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (hPage != nullptr && m_pages[i]->m_hWnd == hPage)
            return static_cast<int>(i);
    }
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    return GetPage(GetActiveIndex());
}

BOOL CPropertySheet::SetActivePage(int nPage) {
    if (nPage < 0 || nPage >= GetPageCount())
        return FALSE;
    if (m_hWnd == nullptr) {
        m_psh.nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    return PropSheet_SetCurSel(m_hWnd, nullptr, nPage) ? TRUE : FALSE;
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) {
    return SetActivePage(GetPageIndex(pPage));
}

BOOL CPropertySheet::OnInitDialog() {
    return TRUE;
}

LRESULT CPropertySheet::TemplateResultFor(LRESULT nIDTemplate) const {
    for (const CPropertyPage* pPage : m_pages) {
        if (static_cast<LRESULT>(pPage->m_nIDTemplate) == nIDTemplate && !pPage->m_template.empty())
            return reinterpret_cast<LRESULT>(pPage->m_template.data());
    }
    return 0;
}

BOOL CPropertySheet::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_INITDIALOG) {
        // The frame builds its buttons and the first page here; the sheet's
        // own initialisation comes after it.
        *pResult = ::DefSubclassProc(m_hWnd, message, wParam, lParam);
        OnInitDialog();
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

LRESULT CALLBACK CPropertySheet::CreationHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = ::CallNextHookEx(t_hCreationHook, nCode, wParam, lParam);
    if (nCode == HCBT_CREATEWND && lResult == 0 && t_pSheetBeingCreated) {
        const CBT_CREATEWNDW* pCreate = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        // The first top-level window PropertySheetW creates is the sheet.
        if (pCreate && pCreate->lpcs && !(pCreate->lpcs->style & WS_CHILD)) {
            CPropertySheet* pSheet = t_pSheetBeingCreated;
            t_pSheetBeingCreated = nullptr;
            pSheet->Attach(reinterpret_cast<HWND>(wParam));
        }
    }
    return lResult;
}

BOOL CPropertySheet::BuildPageTemplates(std::vector<PROPSHEETPAGEW>& pages) {
    pages.clear();
    for (CPropertyPage* pPage : m_pages) {
        if (!pPage->BuildTemplate(kPageFontFace, kPageFontPoints))
            return FALSE;
        PROPSHEETPAGEW psp = pPage->m_psp;
        psp.dwSize = sizeof(psp);
        psp.dwFlags |= PSP_DLGINDIRECT;
        psp.hInstance = pPage->m_hResourceModule; // pictures on the page load from here
        psp.pResource = reinterpret_cast<LPCDLGTEMPLATEW>(pPage->m_template.data());
        psp.pfnDlgProc = &CPropertyPage::PageDialogProc;
        psp.lParam = reinterpret_cast<LPARAM>(pPage);
        pages.push_back(psp);
    }
    return TRUE;
}

BOOL CPropertySheet::IsSheetMessage(const MSG& msg) const {
    return m_hWnd && msg.hwnd && (msg.hwnd == m_hWnd || ::IsChild(m_hWnd, msg.hwnd));
}

void CPropertySheet::RunModalLoop() {
    // A peek-and-wait loop rather than GetMessage: the frame can close in a
    // message sent from another thread or process (a pressed button), which
    // GetMessage would handle without returning.
    while (m_hWnd && PropSheet_GetCurrentPageHwnd(m_hWnd) != nullptr) {
        MSG msg;
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            continue;
        }
        if (msg.message == WM_QUIT) {
            // Someone is ending the thread's message loop: end this run and
            // leave the request for the loop outside.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (IsSheetMessage(msg)) {
            if (PreTranslateMessage(&msg))
                continue;
            if (m_hWnd && PropSheet_IsDialogMessage(m_hWnd, &msg))
                continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

INT_PTR CPropertySheet::DoModal() {
    if (m_hWnd != nullptr || m_pages.empty())
        return -1;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);

    std::vector<PROPSHEETPAGEW> pages;
    if (!BuildPageTemplates(pages))
        return -1;
    PROPSHEETHEADERW psh = m_psh;
    psh.dwSize = sizeof(psh);
    psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_MODELESS;
    psh.nPages = static_cast<UINT>(pages.size());
    psh.ppsp = pages.data();
    if (psh.hwndParent == nullptr && m_pParentWnd)
        psh.hwndParent = m_pParentWnd->m_hWnd;

    HWND hOwner = psh.hwndParent;
    bool bOwnerDisabled = hOwner && ::IsWindowEnabled(hOwner);
    if (bOwnerDisabled)
        ::EnableWindow(hOwner, FALSE);
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd == nullptr)
        pApp->m_pMainWnd = this;

    t_pSheetBeingCreated = this;
    t_hCreationHook = ::SetWindowsHookExW(WH_CBT, &CPropertySheet::CreationHookProc, nullptr,
                                          ::GetCurrentThreadId());
    INT_PTR nCreated = ::PropertySheetW(&psh);
    if (t_hCreationHook)
        ::UnhookWindowsHookEx(t_hCreationHook);
    t_hCreationHook = nullptr;
    t_pSheetBeingCreated = nullptr;

    HWND hSheet = (nCreated == 0 || nCreated == -1) ? nullptr : reinterpret_cast<HWND>(nCreated);
    INT_PTR nResult = -1;
    if (hSheet && m_hWnd == hSheet) {
        if (!::IsWindowVisible(hSheet))
            ::ShowWindow(hSheet, SW_SHOWNORMAL);
        RunModalLoop();
        // PSM_GETRESULT: positive when the sheet was finished (OK, Finish), 0 when cancelled.
        if (PropSheet_GetResult(hSheet) > 0)
            nResult = (m_psh.dwFlags & PSH_WIZARD) ? ID_WIZFINISH : IDOK;
        else
            nResult = IDCANCEL;
    }

    // The owner comes back before the sheet goes, so that activation returns to it.
    if (bOwnerDisabled)
        ::EnableWindow(hOwner, TRUE);
    if (hSheet && ::IsWindow(hSheet))
        ::DestroyWindow(hSheet);
    if (m_hWnd)
        Detach();
    if (pApp && pApp->m_pMainWnd == this)
        pApp->m_pMainWnd = nullptr;
    return nResult;
}
