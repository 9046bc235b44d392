// The common open or save dialog (GetOpenFileNameW / GetSaveFileNameW).
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "framework/CString.h"
#include "framework/CWnd.h"

class CFileDialog {
public:
    // lpszFilter: pairs of a shown name and a pattern separated by '|' and
    // ended by "||", e.g. "Text Files(*.txt)|*.txt|All Files(*.*)|*.*||".
    // With no parent the owner is the application's main window (or the
    // active window); the dialog disables its owner while it runs.
    CFileDialog(BOOL bOpenFileDialog, const wchar_t* lpszDefExt = nullptr,
                const wchar_t* lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                const wchar_t* lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when the user chose a file; IDCANCEL when the user cancelled or the
    // dialog failed (for example a path longer than the buffer).
    INT_PTR DoModal();

    // Full path of the chosen file.
    CString GetPathName() const;
    // The file name part of it.
    CString GetFileName() const;

    // The '|'-separated filter as the dialog wants it: each '|' a NUL, the
    // list ended by two NULs.
    static std::wstring MakeFilterList(const wchar_t* pszFilter);

    OPENFILENAMEW m_ofn;

private:
    BOOL m_bOpenFileDialog;
    CString m_strDefExt;
    std::wstring m_filterList;
    CWnd* m_pParentWnd;
    wchar_t m_szFileName[MAX_PATH] = {};
    wchar_t m_szFileTitle[MAX_PATH] = {};
};
