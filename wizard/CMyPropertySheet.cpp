#include "wizard/CMyPropertySheet.h"

#include "framework/CWinApp.h"
#include "res/resource.h"

namespace {

// Lets a second copy of the program find this window.
const wchar_t kInstanceProperty[] = L"Phone";

// Posted by FocusItem to itself; wParam is the control number.
const UINT WM_REFOCUS_ITEM = WM_APP + 1;

} // namespace

BEGIN_MESSAGE_MAP(CMyPropertySheet, CPropertySheet)
ON_MESSAGE(WM_REFOCUS_ITEM, &CMyPropertySheet::OnRefocusItem)
END_MESSAGE_MAP()

CMyPropertySheet::CMyPropertySheet(CWnd* pParentWnd)
    : CPropertySheet(IDS_WIZARD_CAPTION, pParentWnd, 0), m_hIcon(nullptr) {
    AddPage(&m_page1);
    AddPage(&m_page2);
    AddPage(&m_page3);
    AddPage(&m_page4);
    AddPage(&m_page5);
    AddPage(&m_page6);
    m_psh.dwFlags |= PSH_WIZARD;
    m_psh.dwFlags &= ~PSH_HASHELP;
    m_hIcon = ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_UPDATER));
}

CMyPropertySheet::~CMyPropertySheet() {
    Eboot_Release(&g_dwTeardownArg);
    WaitForDownloadToEnd();
}

// A cancelled transfer may still be running inside the library, which holds
// pointers into m_downloader and reports progress to m_page5; the thread also
// reads m_downloadThread's page link when it ends. None of these members may
// be destroyed before the thread is out. The window is already gone, so this
// wait shows nothing to the user. It keeps handling sent messages: a progress
// report that was blocked in SendMessage when the window closed is answered
// instead of deadlocking, and later ones fail at once on the null handles.
// A library that ignores the stop flag beyond the bound leaves no safe way to
// destroy the members, and with the window gone nothing else remains to be
// done, so the process ends here. TerminateProcess rather than ExitProcess:
// the latter would kill that thread and then run every module's detach code,
// which hangs if the thread died holding a lock that code needs (the heap's,
// or the library's own) or if the library's detach waits for its transfer.
void CMyPropertySheet::WaitForDownloadToEnd() {
    if (!m_downloadThread.WaitUntilFinished(kTeardownWaitMs)) {
        ::TerminateProcess(::GetCurrentProcess(), 0);
    }
}

BOOL CMyPropertySheet::PreTranslateMessage(MSG* pMsg) {
    // Escape would cancel the wizard from whichever control has the focus.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) {
        return TRUE;
    }
    return CPropertySheet::PreTranslateMessage(pMsg);
}

BOOL CMyPropertySheet::OnInitDialog() {
    CPropertySheet::OnInitDialog();

    if (m_hIcon == nullptr) {
        const DWORD dwError = ::GetLastError();
        CString strError;
        strError.Format(L"%d", static_cast<int>(dwError));
        MessageBox(strError, nullptr, MB_OK);
    }
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    ::SetPropW(m_hWnd, kInstanceProperty, reinterpret_cast<HANDLE>(1));

    ShowItem(SW_HIDE, ID_WIZBACK);
    CString strNext;
    strNext.LoadString(IDS_NEXT);
    SetItemText(strNext, ID_WIZNEXT);
    CString strCancel;
    strCancel.LoadString(IDS_CANCEL);
    SetItemText(strCancel, IDCANCEL);

    // Published before any download can start; the download thread only reads them.
    g_pUpdatingPage = &m_page5;
    m_downloader.SetProgressCallback(OnDownloadProgress);
    m_downloadThread.SetDownloader(&m_downloader);

    Eboot_Detect();
    return TRUE;
}

HWND CMyPropertySheet::GetSheetButton(UINT nID) const {
    return GetDlgItem(static_cast<int>(nID));
}

BOOL CMyPropertySheet::ShowItem(int nCmdShow, UINT nID) {
    const HWND hItem = GetSheetButton(nID);
    if (hItem == nullptr) {
        return FALSE;
    }
    ::ShowWindow(hItem, nCmdShow);
    return TRUE;
}

BOOL CMyPropertySheet::SetItemText(CString strText, UINT nID) {
    const HWND hItem = GetSheetButton(nID);
    if (hItem == nullptr) {
        return FALSE;
    }
    ::SetWindowTextW(hItem, strText);
    return TRUE;
}

BOOL CMyPropertySheet::EnableItem(BOOL bEnable, UINT nID) {
    const HWND hItem = GetSheetButton(nID);
    if (hItem == nullptr) {
        return FALSE;
    }
    ::EnableWindow(hItem, bEnable);
    return TRUE;
}

BOOL CMyPropertySheet::FocusItem(UINT nID) {
    const HWND hItem = GetSheetButton(nID);
    if (hItem == nullptr) {
        return FALSE;
    }
    FocusButton(hItem);
    // When a page has just become active, the frame moves the focus to the
    // page's first control after the page's handler has run; the posted
    // request puts it back once the frame is done.
    PostMessage(WM_REFOCUS_ITEM, nID, 0);
    return TRUE;
}

LRESULT CMyPropertySheet::OnRefocusItem(WPARAM wParam, LPARAM) {
    const HWND hItem = GetSheetButton(static_cast<UINT>(wParam));
    // A button disabled or hidden meanwhile is no place for the focus.
    if (hItem != nullptr && ::IsWindowEnabled(hItem) && ::IsWindowVisible(hItem) &&
        ::GetFocus() != hItem) {
        FocusButton(hItem);
    }
    return 0;
}

void CMyPropertySheet::FocusButton(HWND hButton) {
    ::SetFocus(hButton);
    ::SendMessageW(hButton, BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
}
