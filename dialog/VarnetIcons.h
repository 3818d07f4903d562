// Loading the module's icons through the host's resource chain.
#pragma once

#include <afxwin.h>

// AfxGetApp()->LoadIcon(nID); a host without an application object gets
// the icon from the resource chain directly instead of a crash.
inline HICON LoadVarnetIcon(UINT nID)
{
    if (CWinApp* pApp = AfxGetApp())
        return pApp->LoadIcon(nID);
    return ::LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCEA(nID), (LPCSTR)RT_GROUP_ICON), MAKEINTRESOURCEA(nID));
}

// Shows the icon nID in the static icon, when the template has that control
// and its window is still there (a dialog ended from outside has none).
inline void SetVarnetIcon(CStatic& icon, UINT nID)
{
    if (::IsWindow(icon.m_hWnd))
        icon.SetIcon(LoadVarnetIcon(nID));
}
