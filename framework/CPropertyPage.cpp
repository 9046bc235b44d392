#include "framework/CPropertyPage.h"

#include <cstring>
#include <cwchar>

#include "framework/CPropertySheet.h"
#include "framework/CWinApp.h"

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption)
    : m_psp(), m_nIDTemplate(nIDTemplate), m_hResourceModule(AfxGetResourceHandle()) {
    m_psp.dwSize = sizeof(m_psp);
    m_psp.dwFlags = PSP_DEFAULT;
    m_psp.hInstance = m_hResourceModule;
    m_psp.pszTemplate = MAKEINTRESOURCEW(nIDTemplate);
    m_psp.pfnDlgProc = &CPropertyPage::PageDialogProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
    if (nIDCaption != 0 && m_strCaption.LoadString(m_hResourceModule, nIDCaption)) {
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = m_strCaption;
    }
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->HandlesHelp())
        m_psp.dwFlags |= PSP_HASHELP;
}

CPropertyPage::~CPropertyPage() {
    if (m_pSheet)
        m_pSheet->ForgetPage(this);
}

BOOL CPropertyPage::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CPropertyPage::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CPropertyPage::DoDataExchange(CDataExchange*) {}

BOOL CPropertyPage::OnSetActive() {
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() {
    return TRUE;
}

LRESULT CPropertyPage::OnWizardNext() {
    return 0;
}

LRESULT CPropertyPage::OnWizardBack() {
    return 0;
}

BOOL CPropertyPage::OnWizardFinish() {
    return TRUE;
}

void CPropertyPage::OnReset() {
    OnCancel();
}

void CPropertyPage::OnCancel() {}

BOOL CPropertyPage::OnQueryCancel() {
    return TRUE;
}

INT_PTR CALLBACK CPropertyPage::PageDialogProc(HWND hDlg, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        // The frame hands over its copy of the PROPSHEETPAGE, whose lParam
        // names the page object.
        const PROPSHEETPAGEW* pPsp = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        CPropertyPage* pPage = pPsp ? reinterpret_cast<CPropertyPage*>(pPsp->lParam) : nullptr;
        if (pPage == nullptr)
            return TRUE;
        if (pPage->m_hWnd == nullptr)
            pPage->AttachToMap(hDlg);
        return pPage->OnInitDialog();
    }
    CPropertyPage* pPage = static_cast<CPropertyPage*>(FromHandle(hDlg));
    if (pPage == nullptr)
        return FALSE;
    if (message == WM_NCDESTROY) {
        pPage->OnWindowGone();
        return FALSE;
    }
    LRESULT lResult = 0;
    if (!pPage->OnWndMsg(message, wParam, lParam, &lResult))
        return FALSE;
    ::SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, lResult);
    return TRUE;
}

BOOL CPropertyPage::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_NOTIFY && OnNotify(wParam, lParam, pResult))
        return TRUE;
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

BOOL CPropertyPage::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    const NMHDR* pHeader = reinterpret_cast<const NMHDR*>(lParam);
    if (pHeader == nullptr)
        return FALSE;
    switch (pHeader->code) {
    case PSN_SETACTIVE:
        *pResult = OnSetActive() ? 0 : -1;
        return TRUE;
    case PSN_KILLACTIVE:
        *pResult = OnKillActive() ? FALSE : TRUE;
        return TRUE;
    case PSN_WIZNEXT:
        *pResult = CanPressWizardButton(ID_WIZNEXT) ? MapWizardResult(OnWizardNext()) : -1;
        return TRUE;
    case PSN_WIZBACK:
        *pResult = CanPressWizardButton(ID_WIZBACK) ? MapWizardResult(OnWizardBack()) : -1;
        return TRUE;
    case PSN_WIZFINISH:
        *pResult = CanPressWizardButton(ID_WIZFINISH) && OnWizardFinish() ? FALSE : TRUE;
        return TRUE;
    case PSN_RESET:
        OnReset();
        *pResult = 0;
        return TRUE;
    case PSN_QUERYCANCEL:
        *pResult = OnQueryCancel() ? FALSE : TRUE;
        return TRUE;
    case PSN_HELP: {
        CWinApp* pApp = AfxGetApp();
        if (pApp)
            pApp->OnCmdMsg(ID_HELP, 0);
        *pResult = 0;
        return TRUE;
    }
    default:
        return FALSE;
    }
}

BOOL CPropertyPage::CanPressWizardButton(int nID) const {
    // Some frames (Wine's) act on PSM_PRESSBUTTON even for a button the user
    // cannot press; a disabled or hidden button's handler must not run.
    HWND hButton = m_hWnd ? ::GetDlgItem(::GetParent(m_hWnd), nID) : nullptr;
    return hButton == nullptr || (::IsWindowEnabled(hButton) && ::IsWindowVisible(hButton));
}

LRESULT CPropertyPage::MapWizardResult(LRESULT lResult) const {
    if (lResult == 0 || lResult == -1)
        return lResult;
    // The frame identifies a page built from a template in memory by that
    // template's address; a number that names none of the pages stays put.
    LRESULT lTemplate = m_pSheet ? m_pSheet->TemplateResultFor(lResult) : 0;
    return lTemplate != 0 ? lTemplate : -1;
}

namespace {

// Reads a classic or extended dialog template far enough to find where its
// font description starts and where its controls start.
class TemplateReader {
public:
    TemplateReader(const BYTE* pData, size_t nSize) : m_pData(pData), m_nSize(nSize) {}

    bool Parse() {
        if (m_nSize < 4)
            return false;
        m_bExtended = Word(2) == 0xFFFF && Word(0) == 1;
        size_t nStyleAt = m_bExtended ? 12 : 0;
        m_nStyleOffset = nStyleAt;
        size_t nPos = m_bExtended ? 26 : 18;
        if (nPos > m_nSize)
            return false;
        m_dwStyle = Dword(nStyleAt);
        if (!SkipSzOrOrd(nPos) || !SkipSzOrOrd(nPos) || !SkipString(nPos)) // menu, class, title
            return false;
        m_nFontOffset = nPos;
        if (m_dwStyle & DS_SETFONT) {
            nPos += m_bExtended ? 6 : 2; // point size (+ weight, italic, charset)
            if (nPos > m_nSize || !SkipString(nPos))
                return false;
        }
        m_nItemsOffset = (nPos + 3) & ~static_cast<size_t>(3);
        if (m_nItemsOffset > m_nSize)
            m_nItemsOffset = m_nSize;
        return true;
    }

    bool m_bExtended = false;
    DWORD m_dwStyle = 0;
    size_t m_nStyleOffset = 0;
    size_t m_nFontOffset = 0;
    size_t m_nItemsOffset = 0;

private:
    WORD Word(size_t nAt) const {
        WORD w;
        std::memcpy(&w, m_pData + nAt, sizeof(w));
        return w;
    }
    DWORD Dword(size_t nAt) const {
        DWORD dw;
        std::memcpy(&dw, m_pData + nAt, sizeof(dw));
        return dw;
    }
    bool SkipString(size_t& nPos) const {
        for (;;) {
            if (nPos + 2 > m_nSize)
                return false;
            WORD w = Word(nPos);
            nPos += 2;
            if (w == 0)
                return true;
        }
    }
    bool SkipSzOrOrd(size_t& nPos) const {
        if (nPos + 2 > m_nSize)
            return false;
        if (Word(nPos) == 0xFFFF) {
            nPos += 4;
            return nPos <= m_nSize;
        }
        return SkipString(nPos);
    }

    const BYTE* m_pData;
    size_t m_nSize;
};

void AppendBytes(std::vector<BYTE>& out, const void* pData, size_t nSize) {
    const BYTE* p = static_cast<const BYTE*>(pData);
    out.insert(out.end(), p, p + nSize);
}

void AppendWord(std::vector<BYTE>& out, WORD w) {
    AppendBytes(out, &w, sizeof(w));
}

} // namespace

BOOL CPropertyPage::BuildTemplate(const wchar_t* pszFaceName, WORD wPointSize) {
    m_template.clear();
    HRSRC hResource = ::FindResourceW(m_hResourceModule, MAKEINTRESOURCEW(m_nIDTemplate),
                                      MAKEINTRESOURCEW(5)); // RT_DIALOG
    HGLOBAL hLoaded = hResource ? ::LoadResource(m_hResourceModule, hResource) : nullptr;
    const BYTE* pData = hLoaded ? static_cast<const BYTE*>(::LockResource(hLoaded)) : nullptr;
    size_t nSize = hResource ? ::SizeofResource(m_hResourceModule, hResource) : 0;
    if (pData == nullptr || nSize == 0)
        return FALSE;
    TemplateReader reader(pData, nSize);
    if (!reader.Parse())
        return FALSE;

    std::vector<BYTE> out;
    AppendBytes(out, pData, reader.m_nFontOffset);
    DWORD dwStyle = reader.m_dwStyle | DS_SETFONT;
    std::memcpy(out.data() + reader.m_nStyleOffset, &dwStyle, sizeof(dwStyle));
    AppendWord(out, wPointSize);
    if (reader.m_bExtended) {
        AppendWord(out, FW_NORMAL);
        out.push_back(0);               // not italic
        out.push_back(DEFAULT_CHARSET); // character set
    }
    AppendBytes(out, pszFaceName, (wcslen(pszFaceName) + 1) * sizeof(wchar_t));
    while (out.size() % 4 != 0)
        out.push_back(0);
    AppendBytes(out, pData + reader.m_nItemsOffset, nSize - reader.m_nItemsOffset);

    m_template.assign((out.size() + 3) / 4, 0);
    std::memcpy(m_template.data(), out.data(), out.size());
    return TRUE;
}
