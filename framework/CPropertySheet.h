// A property sheet or, with PSH_WIZARD in m_psh.dwFlags, a wizard: the
// comctl32 frame (PropertySheetW) around CPropertyPage objects, run modally
// by DoModal with this layer's own message loop.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <vector>

#include "framework/CPropertyPage.h"
#include "framework/CString.h"
#include "framework/CWnd.h"
#include "framework/FrameworkIds.h"

class CPropertySheet : public CWnd {
public:
    // Caption from string nIDCaption of the current resource module.
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(const wchar_t* pszCaption, CWnd* pParentWnd = nullptr,
                            UINT iSelectPage = 0);
    ~CPropertySheet() override;

    // Pages are shown in the order they are added; the sheet does not own them.
    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(const CPropertyPage* pPage) const;

    // The frame's header. The constructor sets PSH_PROPSHEETPAGE, the caption
    // and the first page, and PSH_HASHELP when the application object handles
    // ID_HELP; callers add PSH_WIZARD and the like before DoModal.
    PROPSHEETHEADERW m_psh;

    // Creates the sheet window (the owner, if any, is disabled meanwhile),
    // makes it the application's main window when there is none, offers every
    // queued message of the sheet and its descendants to PreTranslateMessage,
    // then to the frame's dialog-message handling, and ends when the frame
    // closes. The window is destroyed before DoModal returns. Returns IDOK,
    // ID_WIZFINISH or IDCANCEL; -1 when the window could not be created.
    INT_PTR DoModal();

    // After the frame's own WM_INITDIALOG handling of the sheet window (the
    // first page exists by then). The result is not used.
    virtual BOOL OnInitDialog();

    // Index of the active page (PSM_HWNDTOINDEX of PSM_GETCURRENTPAGEHWND);
    // before the window exists, the page DoModal will show first.
    int GetActiveIndex() const;
    CPropertyPage* GetActivePage() const;
    // PSM_SETCURSEL, or the first page before the window exists.
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    friend class CPropertyPage;

    void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
    void ForgetPage(const CPropertyPage* pPage);
    BOOL IsSheetMessage(const MSG& msg) const;
    LRESULT TemplateResultFor(LRESULT nIDTemplate) const;
    BOOL BuildPageTemplates(std::vector<PROPSHEETPAGEW>& pages);
    void RunModalLoop();

    static LRESULT CALLBACK CreationHookProc(int nCode, WPARAM wParam, LPARAM lParam);

    std::vector<CPropertyPage*> m_pages;
    CString m_strCaption;
    CWnd* m_pParentWnd = nullptr;
};
