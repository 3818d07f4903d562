// The application object.
#include "afx/winapp.h"

#include <string.h>

CWinApp::CWinApp(LPCSTR lpszAppName)
{
    m_hInstance = GetModuleHandleA(NULL);
    if (lpszAppName) {
        lstrcpynA(m_szAppName, lpszAppName, sizeof m_szAppName);
    } else {
        char szPath[MAX_PATH] = "";
        GetModuleFileNameA(m_hInstance, szPath, sizeof szPath);
        const char* pName = szPath;
        for (const char* p = szPath; *p; p = CharNextA(p))
            if (*p == '\\' || *p == '/')
                pName = p + 1;
        lstrcpynA(m_szAppName, pName, sizeof m_szAppName);
        char* pDot = strrchr(m_szAppName, '.');
        if (pDot)
            *pDot = '\0';
    }
    m_pszAppName = m_szAppName;

    AFX_MODULE_STATE* pState = AfxGetModuleState();
    pState->m_pCurrentWinApp = this;
    pState->m_lpszCurrentAppName = m_pszAppName;
    if (!pState->m_hCurrentInstanceHandle)
        pState->m_hCurrentInstanceHandle = m_hInstance;
    if (!pState->m_hCurrentResourceHandle)
        pState->m_hCurrentResourceHandle = m_hInstance;
}

CWinApp::~CWinApp()
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    if (pState->m_pCurrentWinApp == this) {
        pState->m_pCurrentWinApp = NULL;
        pState->m_lpszCurrentAppName = NULL;
    }
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return LoadIcon(MAKEINTRESOURCEA(nIDResource));
}

HICON CWinApp::LoadIcon(LPCSTR lpszResourceName) const
{
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, (LPCSTR)RT_GROUP_ICON);
    return ::LoadIconA(hInst, lpszResourceName);
}

CWinApp* AfxGetApp()
{
    return AfxGetModuleState()->m_pCurrentWinApp;
}

LPCSTR AfxGetAppName()
{
    LPCSTR psz = AfxGetModuleState()->m_lpszCurrentAppName;
    return psz ? psz : "";
}
