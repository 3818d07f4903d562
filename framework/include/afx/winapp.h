// CWinApp: the application object. Constructing one makes it the current
// application and makes its executable the first module of the resource
// chain.
#pragma once

#include "cstring.h"
#include "modulestate.h"

class CWnd;

class FX_API CWinApp : public CObject {
public:
    // lpszAppName: the title of message boxes; null takes the executable's
    // file name without extension.
    explicit CWinApp(LPCSTR lpszAppName = NULL);
    ~CWinApp() override;

    // Loads an icon resource found through the resource chain.
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadIcon(LPCSTR lpszResourceName) const;

    HINSTANCE m_hInstance;
    LPCSTR m_pszAppName;
    CWnd* m_pMainWnd = NULL;

private:
    CString m_strAppName;  // whole, however many bytes its characters take
};

FX_API CWinApp* AfxGetApp();
// The application object's name (the title of message boxes); without an
// application object, the executable's name without extension.
FX_API LPCSTR AfxGetAppName();
