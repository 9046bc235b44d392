// The wizard: one property sheet in wizard mode that owns the six pages, the
// download thread object and the downloader for exactly its own lifetime.
#pragma once

#include <windows.h>

#include "engine/CDownloadThread.h"
#include "engine/CFlashDownloader.h"
#include "framework/CPropertySheet.h"
#include "framework/FrameworkIds.h"
#include "framework/CString.h"
#include "wizard/CMyPropertyPage1.h"
#include "wizard/CMyPropertyPage2.h"
#include "wizard/CMyPropertyPage3.h"
#include "wizard/CMyPropertyPage4.h"
#include "wizard/CMyPropertyPage5.h"
#include "wizard/CMyPropertyPage6.h"

class CMyPropertySheet : public CPropertySheet {
public:
    explicit CMyPropertySheet(CWnd* pParentWnd = nullptr);
    ~CMyPropertySheet() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;

    // Act on the sheet's own buttons only, never on a page's controls:
    // 1 when the sheet has the control, else 0 and nothing happens.
    BOOL ShowItem(int nCmdShow, UINT nID);
    BOOL SetItemText(CString strText, UINT nID);
    BOOL EnableItem(BOOL bEnable, UINT nID);
    BOOL FocusItem(UINT nID);

    // Longest time the destructor gives a cancelled transfer to end: long
    // enough for a library that winds down for a few seconds, short enough
    // that the process is gone within five seconds of the window.
    static constexpr DWORD kTeardownWaitMs = 3500;

    // Declaration order is construction order.
    CMyPropertyPage1 m_page1;
    CMyPropertyPage2 m_page2;
    CMyPropertyPage3 m_page3;
    CMyPropertyPage4 m_page4;
    CMyPropertyPage5 m_page5;
    CMyPropertyPage6 m_page6;
    CDownloadThread m_downloadThread;
    CFlashDownloader m_downloader;
    HICON m_hIcon;

protected:
    LRESULT OnRefocusItem(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    HWND GetSheetButton(UINT nID) const;
    static void FocusButton(HWND hButton);
    void WaitForDownloadToEnd();
};
