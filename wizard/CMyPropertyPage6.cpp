#include "wizard/CMyPropertyPage6.h"

#include "res/resource.h"
#include "wizard/CMyPropertySheet.h"

CMyPropertyPage6::CMyPropertyPage6() : CPropertyPage(IDD_UPDATE_COMPLETE), m_pSheet(nullptr) {
    m_psp.dwFlags &= ~PSP_HASHELP;
}

BOOL CMyPropertyPage6::OnSetActive() {
    m_pSheet = static_cast<CMyPropertySheet*>(GetParent());
    m_pSheet->ShowItem(SW_HIDE, ID_WIZNEXT);
    CString strFinish;
    strFinish.LoadString(IDS_FINISH);
    m_pSheet->SetItemText(strFinish, IDCANCEL);
    return CPropertyPage::OnSetActive();
}
