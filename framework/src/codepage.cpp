// The text code page of each thread, and text to and from the wide
// functions.
#include "afx/codepage.h"
#include "afx/exception.h"

#include <new>

// CP_ACP until a dialog that names another code page runs on the thread.
static thread_local UINT t_nTextCodePage = CP_ACP;

UINT AfxGetTextCodePage()
{
    return t_nTextCodePage;
}

UINT AfxGetFileCodePage()
{
    if (t_nTextCodePage == CP_ACP && !::AreFileApisANSI())
        return CP_OEMCP;
    return t_nTextCodePage;
}

CTextCodePageScope::CTextCodePageScope(UINT nCodePage) : m_nOuter(t_nTextCodePage)
{
    if (nCodePage != AFX_CP_TEXT)
        t_nTextCodePage = nCodePage;
}

CTextCodePageScope::~CTextCodePageScope()
{
    t_nTextCodePage = m_nOuter;
}

std::wstring AfxToWide(LPCSTR psz, UINT nCodePage)
{
    if (nCodePage == AFX_CP_TEXT)
        nCodePage = t_nTextCodePage;
    if (!psz || !*psz)
        return std::wstring();
    int nChars = ::MultiByteToWideChar(nCodePage, 0, psz, -1, NULL, 0);
    if (nChars <= 1)
        return std::wstring();
    try {
        std::wstring str(nChars, L'\0');
        ::MultiByteToWideChar(nCodePage, 0, psz, -1, &str[0], nChars);
        str.resize(nChars - 1);
        return str;
    } catch (std::bad_alloc&) {
        AfxThrowMemoryException();
    }
    return std::wstring();
}

BOOL AfxSetWindowText(HWND hWnd, LPCSTR psz)
{
    return ::SetWindowTextW(hWnd, AfxToWide(psz).c_str());
}

CString AfxGetWindowText(HWND hWnd)
{
    // The length may be more than the text (a conversion on the way).
    int nLength = ::GetWindowTextLengthW(hWnd);
    std::wstring strText;
    try {
        strText.resize(nLength + 1);
    } catch (std::bad_alloc&) {
        AfxThrowMemoryException();
    }
    strText.resize(::GetWindowTextW(hWnd, &strText[0], nLength + 1));
    return AfxWideToAnsi(strText.c_str());
}
