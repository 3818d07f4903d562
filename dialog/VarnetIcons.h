// Loading the module's icons through the host's resource chain.
#pragma once

#include <afxwin.h>

#include "DisplayScale.h"

// AfxGetApp()->LoadIcon(nID); a host without an application object gets
// the icon from the resource chain directly instead of a crash.
inline HICON LoadVarnetIcon(UINT nID)
{
    if (CWinApp* pApp = AfxGetApp())
        return pApp->LoadIcon(nID);
    return ::LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCEA(nID), (LPCSTR)RT_GROUP_ICON), MAKEINTRESOURCEA(nID));
}

// Shows the icon nID (drawn 32 pixels wide) in the static icon at the size
// for the static's scale, when the template has that control and its window
// is still there (a dialog ended from outside has none).
inline void SetVarnetIcon(CStatic& icon, UINT nID)
{
    if (::IsWindow(icon.m_hWnd))
        icon.SetIcon(LoadScaledVarnetIcon(nID, 32, WindowDpi(icon.m_hWnd)));
}
