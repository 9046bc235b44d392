// A UTF-16 text value, the string type of every window call in this layer.
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(const wchar_t* psz);
    CString(const wchar_t* pch, int nLength);
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const wchar_t* psz);

    // String nID of the current resource module (AfxGetResourceHandle).
    // A missing string leaves the text empty and returns FALSE.
    BOOL LoadString(UINT nID);
    // The same from a module of the caller's choosing.
    BOOL LoadString(HINSTANCE hModule, UINT nID);

    // printf-style formatting (wide conversions: %d, %s with wchar_t*, %%).
    void Format(const wchar_t* pszFormat, ...);
    void FormatV(const wchar_t* pszFormat, va_list args);

    operator const wchar_t*() const { return m_text.c_str(); }
    const wchar_t* GetString() const { return m_text.c_str(); }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    BOOL IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }

    int Compare(const wchar_t* psz) const;

    CString& operator+=(const CString& rhs);
    CString& operator+=(const wchar_t* psz);
    CString& operator+=(wchar_t ch);

    // Room for nMinLength characters plus a terminator, for Win32 calls
    // that write into a buffer; ReleaseBuffer takes the length back.
    wchar_t* GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    std::wstring m_text;
};

bool operator==(const CString& lhs, const CString& rhs);
bool operator==(const CString& lhs, const wchar_t* rhs);
bool operator==(const wchar_t* lhs, const CString& rhs);
bool operator!=(const CString& lhs, const CString& rhs);
bool operator!=(const CString& lhs, const wchar_t* rhs);
bool operator!=(const wchar_t* lhs, const CString& rhs);

CString operator+(const CString& lhs, const CString& rhs);
CString operator+(const CString& lhs, const wchar_t* rhs);
CString operator+(const wchar_t* lhs, const CString& rhs);
