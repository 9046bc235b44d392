// Page 5, the Updating page: runs a download on the sheet's download thread,
// shows its progress, and either moves on to the completion page or offers
// Retry with the failure text.
#pragma once

#include "engine/EbootApi.h"
#include "framework/CProgressCtrl.h"
#include "framework/CPropertyPage.h"

class CMyPropertySheet;

class CMyPropertyPage5 : public CPropertyPage {
public:
    CMyPropertyPage5();

    void DoDataExchange(CDataExchange* pDX) override;
    void OnCancel() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;

    CMyPropertySheet* m_pSheet;
    int m_nDownloadResult;
    CProgressCtrl m_progress;

protected:
    LRESULT OnDownloadDone(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};

// The page that OnDownloadProgress reports to; set when the sheet's window is
// initialised.
extern CMyPropertyPage5* g_pUpdatingPage;

// The library's progress callback; runs on the download thread.
void __stdcall OnDownloadProgress(int nPercent);
