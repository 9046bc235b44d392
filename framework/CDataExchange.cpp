#include "framework/CDataExchange.h"

#include "framework/CWnd.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd != nullptr || pDX == nullptr || pDX->m_pDlgWnd == nullptr)
        return;
    HWND hControl = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (hControl)
        rControl.Attach(hControl);
}
