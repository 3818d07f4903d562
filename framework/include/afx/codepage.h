// The text code page: the code page in which the framework's strings hold
// their text on this thread, and the one place where text crosses to and
// from the wide functions of Windows.
//
// A thread's code page is the process's ANSI code page (CP_ACP) unless a
// dialog that names another one runs on it (CDialog::SetTextCodePage):
// while that dialog runs, every CString of the thread's framework and
// product calls, and of the worker threads it starts, is in its code page.
#pragma once

#include "cstring.h"

#include <string>

// The default of the functions below: the thread's current text code page.
#define AFX_CP_TEXT ((UINT)-1)

// The thread's current text code page (CP_ACP, or CP_UTF8 say).
FX_API UINT AfxGetTextCodePage();

// The code page of file names: the text code page; in the ANSI code page,
// that of the ANSI file functions, which a host may have turned to the OEM
// one (SetFileApisToOEM).
FX_API UINT AfxGetFileCodePage();

// Sets the thread's text code page for the life of the object, then puts
// the earlier one back. AFX_CP_TEXT keeps the current one.
class FX_API CTextCodePageScope {
public:
    explicit CTextCodePageScope(UINT nCodePage);
    ~CTextCodePageScope();

private:
    CTextCodePageScope(const CTextCodePageScope&) = delete;
    CTextCodePageScope& operator=(const CTextCodePageScope&) = delete;

    UINT m_nOuter;
};

// The wide form of psz, a text in nCodePage (MultiByteToWideChar); empty
// for NULL. Throws CMemoryException* when memory runs out.
FX_API std::wstring AfxToWide(LPCSTR psz, UINT nCodePage = AFX_CP_TEXT);

// SetWindowTextW of psz, a text in the thread's text code page.
FX_API BOOL AfxSetWindowText(HWND hWnd, LPCSTR psz);
// GetWindowTextW, whole, in the thread's text code page.
FX_API CString AfxGetWindowText(HWND hWnd);
