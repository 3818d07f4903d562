// The application object.
#include "afx/winapp.h"

#include <string>

// The executable's file name without extension, in the ANSI code page.
// Read wide: GetModuleFileNameA cuts a long path at MAX_PATH bytes, which
// can be inside a character.
static CString ExecutableName(HINSTANCE hInstance)
{
    std::wstring strPath(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(hInstance, &strPath[0], (DWORD)strPath.size());
        if (n < strPath.size()) {
            strPath.resize(n);
            break;
        }
        strPath.resize(strPath.size() * 2);
    }
    size_t nName = strPath.find_last_of(L"\\/");
    std::wstring strName = nName == std::wstring::npos ? strPath : strPath.substr(nName + 1);
    size_t nDot = strName.rfind(L'.');
    if (nDot != std::wstring::npos)
        strName.resize(nDot);
    return AfxWideToAnsi(strName.c_str(), CP_ACP);
}

CWinApp::CWinApp(LPCSTR lpszAppName)
{
    m_hInstance = GetModuleHandleA(NULL);
    m_strAppName = lpszAppName ? CString(lpszAppName) : ExecutableName(m_hInstance);
    m_pszAppName = m_strAppName;

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
    // A host without application object (one of the C interface) has its
    // boxes titled with the executable's name, as the object would.
    LPCSTR psz = AfxGetModuleState()->m_lpszCurrentAppName;
    if (psz)
        return psz;
    static const CString s_strExecutable = ExecutableName(GetModuleHandleA(NULL));
    return s_strExecutable;
}
