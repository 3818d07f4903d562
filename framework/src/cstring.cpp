// CString members that are more than one line.
#include "afx/cstring.h"
#include "afx/codepage.h"

#include <mbstring.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

int CString::NextChar(int nIndex) const
{
    // Lead bytes of the thread's text code page (none in UTF-8); no code
    // page has one below 0x80.
    BYTE ch = (BYTE)m_str[nIndex];
    if (ch >= 0x80 && IsDBCSLeadByteEx(AfxGetTextCodePage(), ch) && nIndex + 1 < GetLength())
        return nIndex + 2;
    return nIndex + 1;
}

int CString::Compare(LPCSTR psz) const
{
    return strcmp(m_str.c_str(), psz ? psz : "");
}

int CString::CompareNoCase(LPCSTR psz) const
{
    return _mbsicmp((const unsigned char*)m_str.c_str(), (const unsigned char*)(psz ? psz : ""));
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength() - nFirst);
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0)
        nCount = 0;
    if (nFirst >= GetLength())
        return CString();
    if (nCount > GetLength() - nFirst)
        nCount = GetLength() - nFirst;
    return CString(m_str.c_str() + nFirst, nCount);
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount > GetLength())
        nCount = GetLength();
    return Mid(GetLength() - nCount, nCount);
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    for (int i = 0; i < GetLength(); i = NextChar(i))
        if (i >= nStart && m_str[i] == ch)
            return i;
    return -1;
}

int CString::Find(LPCSTR pszSub, int nStart) const
{
    if (!pszSub)
        return -1;
    size_t nSub = strlen(pszSub);
    if (nStart < 0)
        nStart = 0;
    for (int i = 0; i < GetLength(); i = NextChar(i))
        if (i >= nStart && m_str.compare(i, nSub, pszSub) == 0)
            return i;
    return nSub == 0 && nStart <= GetLength() ? nStart : -1;
}

int CString::ReverseFind(char ch) const
{
    int nFound = -1;
    for (int i = 0; i < GetLength(); i = NextChar(i))
        if (m_str[i] == ch)
            nFound = i;
    return nFound;
}

int CString::Replace(char chOld, char chNew)
{
    int nCount = 0;
    for (int i = 0; i < GetLength(); i = NextChar(i))
        if (m_str[i] == chOld) {
            m_str[i] = chNew;
            ++nCount;
        }
    return nCount;
}

int CString::Replace(LPCSTR pszOld, LPCSTR pszNew)
{
    size_t nOld = pszOld ? strlen(pszOld) : 0;
    if (nOld == 0)
        return 0;
    if (!pszNew)
        pszNew = "";
    Buffer result;
    int nCount = 0;
    int i = 0;
    while (i < GetLength()) {
        if (m_str.compare(i, nOld, pszOld) == 0) {
            result += pszNew;
            i += (int)nOld;
            ++nCount;
        } else {
            int next = NextChar(i);
            result.append(m_str, i, next - i);
            i = next;
        }
    }
    if (nCount)
        m_str.swap(result);
    return nCount;
}

int CString::Insert(int nIndex, char ch)
{
    return Insert(nIndex, CString(ch));
}

int CString::Insert(int nIndex, LPCSTR psz)
{
    if (nIndex < 0)
        nIndex = 0;
    if (nIndex > GetLength())
        nIndex = GetLength();
    if (psz)
        m_str.insert(nIndex, psz);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    if (nIndex < 0)
        nIndex = 0;
    if (nCount > 0 && nIndex < GetLength())
        m_str.erase(nIndex, nCount);
    return GetLength();
}

int CString::Remove(char ch)
{
    Buffer result;
    int nCount = 0;
    for (int i = 0; i < GetLength();) {
        int next = NextChar(i);
        if (next == i + 1 && m_str[i] == ch)
            ++nCount;
        else
            result.append(m_str, i, next - i);
        i = next;
    }
    if (nCount)
        m_str.swap(result);
    return nCount;
}

CString& CString::TrimRight()
{
    while (!m_str.empty() && strchr(" \t\r\n\v\f", m_str.back()))
        m_str.pop_back();
    return *this;
}

CString& CString::TrimRight(char chTarget)
{
    // Walk forward by characters: the last byte may be the trail byte of a
    // double-byte character that merely looks like chTarget.
    int nEnd = 0;
    for (int i = 0; i < GetLength(); i = NextChar(i))
        if (NextChar(i) != i + 1 || m_str[i] != chTarget)
            nEnd = NextChar(i);
    m_str.resize(nEnd);
    return *this;
}

CString& CString::TrimLeft()
{
    size_t n = 0;
    while (n < m_str.size() && strchr(" \t\r\n\v\f", m_str[n]))
        ++n;
    m_str.erase(0, n);
    return *this;
}

CString& CString::TrimLeft(char chTarget)
{
    size_t n = 0;
    while (n < m_str.size() && m_str[n] == chTarget)
        ++n;
    m_str.erase(0, n);
    return *this;
}

void CString::MakeUpper()
{
    _mbsupr((unsigned char*)GetBuffer(0));
    ReleaseBuffer();
}

void CString::MakeLower()
{
    _mbslwr((unsigned char*)GetBuffer(0));
    ReleaseBuffer();
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(NULL, 0, pszFormat, copy);
    va_end(copy);
    if (n < 0)
        n = 0;
    Buffer result(n, '\0');
    vsnprintf(&result[0], n + 1, pszFormat, args);
    va_end(args);
    m_str.swap(result);
}

LPSTR CString::GetBuffer(int nMinLength)
{
    if (nMinLength > GetLength())
        m_str.resize(nMinLength);
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = (int)strlen(m_str.c_str());
    m_str.resize(nNewLength);
}

LPSTR CString::GetBufferSetLength(int nNewLength)
{
    m_str.resize(nNewLength > 0 ? nNewLength : 0);
    return &m_str[0];
}

CString AfxWideToAnsi(LPCWSTR pszWide, UINT nCodePage)
{
    if (nCodePage == AFX_CP_TEXT)
        nCodePage = AfxGetTextCodePage();
    CString str;
    if (!pszWide)
        return str;
    int nBytes = WideCharToMultiByte(nCodePage, 0, pszWide, -1, NULL, 0, NULL, NULL);
    if (nBytes > 1) {
        WideCharToMultiByte(nCodePage, 0, pszWide, -1, str.GetBuffer(nBytes), nBytes, NULL, NULL);
        str.ReleaseBuffer();
    }
    return str;
}
