// CString: a single-byte (ANSI, multibyte-aware) string with the value
// semantics and members of the classic framework string. Its text lives in
// the framework's memory: a copy or growth that finds memory exhausted
// throws CMemoryException*.
#pragma once

#include "allocator.h"
#include <string.h>
#include <string>

class FX_API CString {
public:
    // Construction
    CString() {}
    CString(const CString& str) : m_str(str.m_str) {}
    CString(CString&& str) noexcept : m_str(std::move(str.m_str)) {}
    CString(LPCSTR psz) : m_str(psz ? psz : "") {}
    CString(LPCSTR pch, int nLength) : m_str(pch ? pch : "", pch && nLength > 0 ? nLength : 0) {}
    CString(char ch, int nRepeat = 1) : m_str(nRepeat > 0 ? nRepeat : 0, ch) {}

    // Attributes
    int GetLength() const { return (int)m_str.size(); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char GetAt(int nIndex) const { return m_str[nIndex]; }
    char operator[](int nIndex) const { return m_str[nIndex]; }
    void SetAt(int nIndex, char ch) { m_str[nIndex] = ch; }
    operator LPCSTR() const { return m_str.c_str(); }

    // Assignment and concatenation
    CString& operator=(const CString& str) { m_str = str.m_str; return *this; }
    CString& operator=(CString&& str) noexcept { m_str = std::move(str.m_str); return *this; }
    CString& operator=(LPCSTR psz) { m_str = psz ? psz : ""; return *this; }
    CString& operator=(char ch) { m_str.assign(1, ch); return *this; }
    CString& operator+=(const CString& str) { m_str += str.m_str; return *this; }
    CString& operator+=(LPCSTR psz) { if (psz) m_str += psz; return *this; }
    CString& operator+=(char ch) { m_str += ch; return *this; }
    friend CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, LPCSTR b) { CString r(a); r += b; return r; }
    friend CString operator+(LPCSTR a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, char b) { CString r(a); r += b; return r; }
    friend CString operator+(char a, const CString& b) { CString r(a); r += b; return r; }

    // Comparison: Compare is exact (byte order); CompareNoCase ignores case
    // the way the C run time's multibyte comparison does.
    int Compare(LPCSTR psz) const;
    int CompareNoCase(LPCSTR psz) const;
    friend bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
    friend bool operator==(LPCSTR a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator!=(const CString& a, LPCSTR b) { return a.Compare(b) != 0; }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_str != b.m_str; }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

    // Extraction. Out-of-range arguments are clamped, as the classic class does.
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;

    // Searching. Indexes are byte offsets; a double-byte character is never
    // split, so a backslash trail byte of a DBCS character is not a match.
    int Find(char ch, int nStart = 0) const;
    int Find(LPCSTR pszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;

    // Changing. Replace scans left to right without overlap and returns the
    // number of replacements; Insert and Delete return the new length;
    // Remove returns the number of characters removed.
    int Replace(char chOld, char chNew);
    int Replace(LPCSTR pszOld, LPCSTR pszNew);
    int Insert(int nIndex, char ch);
    int Insert(int nIndex, LPCSTR psz);
    int Delete(int nIndex, int nCount = 1);
    int Remove(char ch);
    CString& TrimRight();
    CString& TrimRight(char chTarget);
    CString& TrimLeft();
    CString& TrimLeft(char chTarget);
    void MakeUpper();
    void MakeLower();

    // Formatting (printf style).
    void Format(LPCSTR pszFormat, ...);

    // Direct buffer access. GetBuffer gives room for at least nMinLength
    // characters plus the terminator; ReleaseBuffer(-1) takes the length
    // from the terminator.
    LPSTR GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);
    LPSTR GetBufferSetLength(int nNewLength);

private:
    typedef std::basic_string<char, std::char_traits<char>, CAfxAllocator<char>> Buffer;

    // Byte offset of the character after the one at nIndex.
    int NextChar(int nIndex) const;

    Buffer m_str;
};

// The wide text pszWide in the code page nCodePage (WideCharToMultiByte,
// with its best fit and default character); empty for an empty text.
// ((UINT)-1, AFX_CP_TEXT of codepage.h: the thread's text code page.)
FX_API CString AfxWideToAnsi(LPCWSTR pszWide, UINT nCodePage = (UINT)-1);
