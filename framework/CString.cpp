#include "framework/CString.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>

#include "framework/CWinApp.h"

CString::CString(const wchar_t* psz) : m_text(psz ? psz : L"") {}

CString::CString(const wchar_t* pch, int nLength)
    : m_text(pch && nLength > 0 ? std::wstring(pch, static_cast<size_t>(nLength))
                                : std::wstring()) {}

CString& CString::operator=(const wchar_t* psz) {
    m_text = psz ? psz : L"";
    return *this;
}

BOOL CString::LoadString(UINT nID) {
    return LoadString(AfxGetResourceHandle(), nID);
}

BOOL CString::LoadString(HINSTANCE hModule, UINT nID) {
    // With a zero buffer size LoadStringW hands out a pointer to the string
    // inside the module, so a string of any length comes through whole.
    const wchar_t* pText = nullptr;
    int nLength = ::LoadStringW(hModule, nID, reinterpret_cast<LPWSTR>(&pText), 0);
    if (nLength <= 0 || pText == nullptr) {
        m_text.clear();
        return FALSE;
    }
    m_text.assign(pText, static_cast<size_t>(nLength));
    return TRUE;
}

void CString::Format(const wchar_t* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const wchar_t* pszFormat, va_list args) {
    if (pszFormat == nullptr) {
        m_text.clear();
        return;
    }
    va_list sizing;
    va_copy(sizing, args);
    int nLength = _vscwprintf(pszFormat, sizing);
    va_end(sizing);
    if (nLength < 0) {
        m_text.clear();
        return;
    }
    std::wstring text(static_cast<size_t>(nLength) + 1, L'\0');
    _vsnwprintf(&text[0], text.size(), pszFormat, args);
    text.resize(static_cast<size_t>(nLength));
    m_text.swap(text);
}

int CString::Compare(const wchar_t* psz) const {
    return m_text.compare(psz ? psz : L"");
}

CString& CString::operator+=(const CString& rhs) {
    m_text += rhs.m_text;
    return *this;
}

CString& CString::operator+=(const wchar_t* psz) {
    if (psz)
        m_text += psz;
    return *this;
}

CString& CString::operator+=(wchar_t ch) {
    m_text += ch;
    return *this;
}

wchar_t* CString::GetBuffer(int nMinLength) {
    size_t nWanted = nMinLength > 0 ? static_cast<size_t>(nMinLength) : 0;
    if (m_text.size() < nWanted)
        m_text.resize(nWanted);
    return &m_text[0];
}

void CString::ReleaseBuffer(int nNewLength) {
    if (nNewLength < 0)
        nNewLength = static_cast<int>(wcsnlen(m_text.c_str(), m_text.size()));
    m_text.resize(static_cast<size_t>(nNewLength));
}

bool operator==(const CString& lhs, const CString& rhs) {
    return lhs.GetLength() == rhs.GetLength() &&
           wmemcmp(lhs.GetString(), rhs.GetString(), static_cast<size_t>(lhs.GetLength())) == 0;
}
bool operator==(const CString& lhs, const wchar_t* rhs) {
    return lhs.Compare(rhs) == 0;
}
bool operator==(const wchar_t* lhs, const CString& rhs) {
    return rhs.Compare(lhs) == 0;
}
bool operator!=(const CString& lhs, const CString& rhs) {
    return !(lhs == rhs);
}
bool operator!=(const CString& lhs, const wchar_t* rhs) {
    return !(lhs == rhs);
}
bool operator!=(const wchar_t* lhs, const CString& rhs) {
    return !(lhs == rhs);
}

CString operator+(const CString& lhs, const CString& rhs) {
    CString result(lhs);
    result += rhs;
    return result;
}

CString operator+(const CString& lhs, const wchar_t* rhs) {
    CString result(lhs);
    result += rhs;
    return result;
}

CString operator+(const wchar_t* lhs, const CString& rhs) {
    CString result(lhs);
    result += rhs;
    return result;
}
