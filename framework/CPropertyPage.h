// One page of a property sheet or wizard, built from a dialog template of
// the resource module that was current when the page was constructed.
//
// The page's dialog procedure routes the frame's notifications to the
// virtual handlers below and returns their results in the form the frame
// expects (DWLP_MSGRESULT). WM_COMMAND and private messages go through the
// message map; everything else gets the dialog manager's default handling.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <vector>

#include "framework/CDataExchange.h"
#include "framework/CString.h"
#include "framework/CWnd.h"
#include "framework/FrameworkIds.h"

class CPropertySheet;

class CPropertyPage : public CWnd {
public:
    // nIDCaption 0: the page's title is the caption stored in its template.
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    ~CPropertyPage() override;

    // The page as the frame will see it. The constructor fills it in:
    // hInstance = the resource module, pszTemplate = the template number,
    // PSP_HASHELP when the application object handles ID_HELP (clear it
    // with m_psp.dwFlags &= ~PSP_HASHELP), PSP_USETITLE with a caption.
    PROPSHEETPAGEW m_psp;

    UINT GetTemplateID() const { return m_nIDTemplate; }
    HINSTANCE GetResourceModule() const { return m_hResourceModule; }
    // The sheet the page was added to, or nullptr.
    CPropertySheet* GetSheet() const { return m_pSheet; }

    // Runs DoDataExchange; FALSE with bSaveAndValidate when validation failed.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // First initialisation of the page's window (WM_INITDIALOG): runs
    // DoDataExchange. TRUE lets the dialog manager set the focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);

    // PSN_SETACTIVE: TRUE accepts the activation.
    virtual BOOL OnSetActive();
    // PSN_KILLACTIVE: TRUE lets the page be left.
    virtual BOOL OnKillActive();
    // PSN_WIZNEXT / PSN_WIZBACK: 0 moves to the next (previous) page, -1
    // stays, a template number of one of the sheet's pages shows that page,
    // any other value stays. Reached only while that wizard button is
    // enabled and shown.
    virtual LRESULT OnWizardNext();
    virtual LRESULT OnWizardBack();
    // PSN_WIZFINISH (only while the Finish button is enabled and shown):
    // TRUE lets the wizard finish.
    virtual BOOL OnWizardFinish();
    // PSN_RESET, sent to every page that has a window when the sheet is
    // cancelled: calls OnCancel.
    virtual void OnReset();
    virtual void OnCancel();
    // PSN_QUERYCANCEL: TRUE allows the cancel.
    virtual BOOL OnQueryCancel();

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

protected:
    // WM_NOTIFY from the frame (PSN_*); TRUE with *pResult when handled.
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);

private:
    friend class CPropertySheet;

    static INT_PTR CALLBACK PageDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT MapWizardResult(LRESULT lResult) const;
    BOOL CanPressWizardButton(int nID) const;
    // Copies the template from the page's module with the frame's dialog
    // font in place of the template's own; FALSE when the module lacks it.
    BOOL BuildTemplate(const wchar_t* pszFaceName, WORD wPointSize);

    UINT m_nIDTemplate;
    HINSTANCE m_hResourceModule;
    CString m_strCaption;
    CPropertySheet* m_pSheet = nullptr;
    std::vector<DWORD> m_template; // DWORD elements keep the copy DWORD-aligned
};
