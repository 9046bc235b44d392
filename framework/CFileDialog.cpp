#include "framework/CFileDialog.h"

#include <cwchar>

#include "framework/CWinApp.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const wchar_t* lpszDefExt,
                         const wchar_t* lpszFileName, DWORD dwFlags, const wchar_t* lpszFilter,
                         CWnd* pParentWnd)
    : m_ofn(), m_bOpenFileDialog(bOpenFileDialog), m_strDefExt(lpszDefExt),
      m_filterList(MakeFilterList(lpszFilter)), m_pParentWnd(pParentWnd) {
    if (lpszFileName)
        wcsncpy(m_szFileName, lpszFileName, MAX_PATH - 1);
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hInstance = AfxGetInstanceHandle();
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = MAX_PATH;
    m_ofn.lpstrDefExt = lpszDefExt ? m_strDefExt.GetString() : nullptr;
    m_ofn.lpstrFilter = m_filterList.empty() ? nullptr : m_filterList.c_str();
    m_ofn.nFilterIndex = m_filterList.empty() ? 0 : 1;
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
}

std::wstring CFileDialog::MakeFilterList(const wchar_t* pszFilter) {
    std::wstring list;
    if (pszFilter == nullptr || *pszFilter == L'\0')
        return list;
    list = pszFilter;
    for (wchar_t& ch : list) {
        if (ch == L'|')
            ch = L'\0';
    }
    // The dialog reads the list up to two NULs in a row: make sure there are,
    // whether or not the text ended in "||".
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

INT_PTR CFileDialog::DoModal() {
    if (m_ofn.hwndOwner == nullptr) {
        HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
        CWinApp* pApp = AfxGetApp();
        if (!hOwner && pApp && pApp->m_pMainWnd)
            hOwner = pApp->m_pMainWnd->m_hWnd;
        if (!hOwner)
            hOwner = ::GetActiveWindow();
        m_ofn.hwndOwner = hOwner;
    }
    BOOL bChosen = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return bChosen ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const {
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const {
    if (m_ofn.lpstrFile == nullptr)
        return CString();
    if (m_ofn.nFileOffset < wcslen(m_ofn.lpstrFile))
        return CString(m_ofn.lpstrFile + m_ofn.nFileOffset);
    return CString(m_ofn.lpstrFile);
}
