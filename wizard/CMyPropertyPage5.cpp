#include "wizard/CMyPropertyPage5.h"

#include <commctrl.h>

#include "engine/DownloadMessages.h"
#include "framework/CDataExchange.h"
#include "res/resource.h"
#include "wizard/CMyPropertySheet.h"

CMyPropertyPage5* g_pUpdatingPage = nullptr;

void __stdcall OnDownloadProgress(int nPercent) {
    CMyPropertyPage5* pPage = g_pUpdatingPage;
    if (pPage == nullptr) {
        return;
    }
    // Synchronous on purpose: the bar and the figure are up to date before the
    // library goes on. Once the window is gone the handles are null and both
    // calls fail at once.
    ::SendMessageW(pPage->m_progress.m_hWnd, PBM_SETPOS, static_cast<WPARAM>(nPercent), 0);
    CString strPercent;
    strPercent.Format(L"%d%%", nPercent);
    ::SetDlgItemTextW(pPage->m_hWnd, IDC_PERCENT, strPercent);
}

BEGIN_MESSAGE_MAP(CMyPropertyPage5, CPropertyPage)
ON_MESSAGE(WM_DOWNLOAD_DONE, &CMyPropertyPage5::OnDownloadDone)
END_MESSAGE_MAP()

CMyPropertyPage5::CMyPropertyPage5()
    : CPropertyPage(IDD_UPDATING), m_pSheet(nullptr), m_nDownloadResult(0) {
    m_psp.dwFlags &= ~PSP_HASHELP;
}

void CMyPropertyPage5::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
}

void CMyPropertyPage5::OnCancel() {
    // The page has a window only after it has been activated, so m_pSheet is
    // set whenever a download can be running.
    if (m_pSheet != nullptr) {
        m_pSheet->m_downloadThread.RequestStop();
    }
    CPropertyPage::OnCancel();
}

BOOL CMyPropertyPage5::OnSetActive() {
    CString strPressKey;
    strPressKey.LoadString(IDS_PRESS_KEY);
    SetDlgItemText(IDC_STATUS_TEXT, strPressKey);
    m_progress.SetRange(0, 100);
    m_progress.SetPos(0);
    SetDlgItemText(IDC_PERCENT, L"");

    m_pSheet = static_cast<CMyPropertySheet*>(GetParent());
    m_pSheet->EnableItem(FALSE, ID_WIZNEXT);
    m_pSheet->FocusItem(IDCANCEL);

    m_pSheet->m_downloadThread.SetPage(this);
    m_pSheet->m_downloadThread.Start();
    return CPropertyPage::OnSetActive();
}

LRESULT CMyPropertyPage5::OnWizardNext() {
    if (m_nDownloadResult != 0) {
        m_pSheet->SetActivePage(m_pSheet->GetActiveIndex() + 1);
        return CPropertyPage::OnWizardNext();
    }
    // Retry: a new download on this same page. 1 names no page, so the frame
    // stays here.
    OnSetActive();
    return 1;
}

LRESULT CMyPropertyPage5::OnDownloadDone(WPARAM wParam, LPARAM) {
    m_pSheet->m_downloadThread.RequestStop();
    m_nDownloadResult = static_cast<int>(wParam);
    if (m_nDownloadResult != 0) {
        m_pSheet->EnableItem(TRUE, ID_WIZNEXT);
        OnWizardNext();
        return 0;
    }

    CString strRetry;
    strRetry.LoadString(IDS_RETRY);
    m_pSheet->SetItemText(strRetry, ID_WIZNEXT);
    CString strFailed;
    strFailed.LoadString(IDS_UPDATE_FAILED);
    SetDlgItemText(IDC_STATUS_TEXT, strFailed);
    m_pSheet->EnableItem(TRUE, ID_WIZNEXT);
    m_pSheet->FocusItem(ID_WIZNEXT);
    return 0;
}
