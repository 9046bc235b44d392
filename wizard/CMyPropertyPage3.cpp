#include "wizard/CMyPropertyPage3.h"

#include "framework/CFileDialog.h"
#include "res/resource.h"
#include "wizard/CMyPropertySheet.h"

BEGIN_MESSAGE_MAP(CMyPropertyPage3, CPropertyPage)
ON_BN_CLICKED(IDC_BROWSE, &CMyPropertyPage3::OnBrowse)
END_MESSAGE_MAP()

CMyPropertyPage3::CMyPropertyPage3() : CPropertyPage(IDD_PREPARING_UPDATE), m_pSheet(nullptr) {
    m_psp.dwFlags &= ~PSP_HASHELP;
}

BOOL CMyPropertyPage3::OnSetActive() {
    m_pSheet = static_cast<CMyPropertySheet*>(GetParent());
    m_pSheet->EnableItem(FALSE, ID_WIZNEXT);
    m_pSheet->FocusItem(IDCANCEL);
    return CPropertyPage::OnSetActive();
}

void CMyPropertyPage3::OnBrowse() {
    // A fresh dialog every time, so it always offers "Flash" and the first filter.
    CFileDialog dialog(TRUE, L"bin", L"Flash", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       L"Bin Files(*.bin)|*.bin|All Files(*.*)|*.*||");
    if (dialog.DoModal() != IDOK) {
        return;
    }
    const CString strPath = dialog.GetPathName();
    SetDlgItemText(IDC_IMAGE_PATH, strPath);
    m_pSheet->m_downloader.SetImagePath(strPath);
    m_pSheet->EnableItem(TRUE, ID_WIZNEXT);
    m_pSheet->FocusItem(ID_WIZNEXT);
}
