// Data exchange between a dialog window and its object, run by
// CPropertyPage::OnInitDialog through DoDataExchange.
#pragma once

#include <windows.h>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate; // FALSE: object -> window (initialisation); TRUE: window -> object
    CWnd* m_pDlgWnd;         // the dialog whose controls are exchanged
};

// Binds rControl to the dialog's control number nIDC (CWnd::Attach) the
// first time it runs; later runs leave the binding as it is. A dialog
// without that control leaves rControl unbound (m_hWnd null).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
