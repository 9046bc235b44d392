#include "wizard/CMyPropertyPage4.h"

#include "res/resource.h"
#include "wizard/CMyPropertySheet.h"

CMyPropertyPage4::CMyPropertyPage4() : CPropertyPage(IDD_UPDATE_NOTICE), m_pSheet(nullptr) {
    m_psp.dwFlags &= ~PSP_HASHELP;
}

BOOL CMyPropertyPage4::OnSetActive() {
    m_pSheet = static_cast<CMyPropertySheet*>(GetParent());
    // Posted: the frame handles it once it has finished activating this page.
    ::PostMessageW(m_pSheet->m_hWnd, PSM_SETWIZBUTTONS, 0, PSWIZB_NEXT);
    return CPropertyPage::OnSetActive();
}

BOOL CMyPropertyPage4::OnKillActive() {
    // The Updating page relies on finding Next with its ordinary caption.
    CString strNext;
    strNext.LoadString(IDS_NEXT);
    m_pSheet->SetItemText(strNext, ID_WIZNEXT);
    return CPropertyPage::OnKillActive();
}
