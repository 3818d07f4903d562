// The dialog at the scale of its display.
#include "DisplayScale.h"
#include "VarnetIcons.h"

#include <map>
#include <utility>

namespace {

// A function of user32 that older systems lack, or null there.
FARPROC User32Function(const char* pszName)
{
    HMODULE hUser32 = ::GetModuleHandleA("user32.dll");
    return hUser32 ? ::GetProcAddress(hUser32, pszName) : NULL;
}

typedef HANDLE(WINAPI* SetThreadDpiAwarenessContextFn)(HANDLE);
// The awareness contexts of the system's headers for Windows 10.
const HANDLE kPerMonitorAware = (HANDLE)(LONG_PTR)-3;
const HANDLE kPerMonitorAwareV2 = (HANDLE)(LONG_PTR)-4;

}  // namespace

int WindowDpi(HWND hWnd)
{
    typedef UINT(WINAPI * GetDpiForWindowFn)(HWND);
    static const GetDpiForWindowFn pfnGetDpiForWindow = (GetDpiForWindowFn)User32Function("GetDpiForWindow");
    if (pfnGetDpiForWindow && hWnd)
        if (UINT nDpi = pfnGetDpiForWindow(hWnd))
            return (int)nDpi;
    HDC hdc = ::GetDC(hWnd);
    int nDpi = hdc ? ::GetDeviceCaps(hdc, LOGPIXELSY) : 0;
    if (hdc)
        ::ReleaseDC(hWnd, hdc);
    return nDpi > 0 ? nDpi : 96;
}

int ScaledImageSize(int nDrawn, int nDpi)
{
    // Quarters of the drawn size, as res/icons/make_icons.py makes them.
    static const int kQuarters[] = { 12, 8, 6, 5, 4 };
    for (int nQuarters : kQuarters)
        if (nQuarters * 96 <= nDpi * 4)
            return nDrawn * nQuarters / 4;
    return nDrawn;
}

HICON LoadScaledVarnetIcon(UINT nID, int nDrawn, int nDpi)
{
    int nSize = ScaledImageSize(nDrawn, nDpi);
    if (nSize == nDrawn && nDrawn == 32)
        return LoadVarnetIcon(nID);  // the system's shared icon of the standard size
    static std::map<std::pair<UINT, int>, HICON> s_icons;
    HICON& hIcon = s_icons[std::make_pair(nID, nSize)];
    if (!hIcon) {
        HINSTANCE hInst = AfxFindResourceHandle(MAKEINTRESOURCEA(nID), (LPCSTR)RT_GROUP_ICON);
        hIcon = (HICON)::LoadImageA(hInst, MAKEINTRESOURCEA(nID), IMAGE_ICON, nSize, nSize, LR_DEFAULTCOLOR);
    }
    return hIcon;
}

CPerMonitorDpiScope::CPerMonitorDpiScope() : m_pPrevious(NULL)
{
    static const SetThreadDpiAwarenessContextFn pfnSet =
        (SetThreadDpiAwarenessContextFn)User32Function("SetThreadDpiAwarenessContext");
    if (!pfnSet)
        return;
    // Version 2 (Windows 10 1703) scales the dialog's own parts too;
    // Windows 10 1607 knows only the first version.
    m_pPrevious = pfnSet(kPerMonitorAwareV2);
    if (!m_pPrevious)
        m_pPrevious = pfnSet(kPerMonitorAware);
}

CPerMonitorDpiScope::~CPerMonitorDpiScope()
{
    if (m_pPrevious)
        ((SetThreadDpiAwarenessContextFn)User32Function("SetThreadDpiAwarenessContext"))((HANDLE)m_pPrevious);
}

// v moved into [lo, hi]; lo wins when the range is empty.
static int Clamp(int v, int lo, int hi)
{
    return v > hi ? (hi > lo ? hi : lo) : (v < lo ? lo : v);
}

void FitToWorkArea(HWND hDlg)
{
    RECT rcWork;
    if (!AfxGetWorkArea(hDlg, &rcWork))
        return;
    int cxWork = rcWork.right - rcWork.left, cyWork = rcWork.bottom - rcWork.top;
    RECT rcWindow, rcClient;
    ::GetWindowRect(hDlg, &rcWindow);
    ::GetClientRect(hDlg, &rcClient);
    int cxWindow = rcWindow.right - rcWindow.left, cyWindow = rcWindow.bottom - rcWindow.top;

    if (cxWindow > cxWork || cyWindow > cyWork) {
        // The client area that fits, and the controls scaled into it, as
        // a whole: the template's controls do not overlap, nor do they
        // then. A combo box (whose window height is that of its open list)
        // and an icon (drawn at its own size) keep their sizes.
        int cxOld = rcClient.right, cyOld = rcClient.bottom;
        int cxNew = cxWindow > cxWork ? cxOld - (cxWindow - cxWork) : cxOld;
        int cyNew = cyWindow > cyWork ? cyOld - (cyWindow - cyWork) : cyOld;
        if (cxNew <= 0 || cyNew <= 0)
            return;
        for (HWND hChild = ::GetWindow(hDlg, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
            RECT rc;
            ::GetWindowRect(hChild, &rc);
            POINT pt = { rc.left, rc.top };
            ::ScreenToClient(hDlg, &pt);
            char szClass[32] = "";
            ::GetClassNameA(hChild, szClass, sizeof szClass);
            BOOL bKeepSize = lstrcmpiA(szClass, "ComboBoxEx32") == 0 || lstrcmpiA(szClass, "ComboBox") == 0 ||
                             (lstrcmpiA(szClass, "Static") == 0 &&
                              (::GetWindowLongA(hChild, GWL_STYLE) & SS_TYPEMASK) == SS_ICON);
            int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
            if (!bKeepSize) {
                cx = ::MulDiv(cx, cxNew, cxOld);
                cy = ::MulDiv(cy, cyNew, cyOld);
            }
            // Inside the client area, whatever was kept.
            int x = Clamp(::MulDiv(pt.x, cxNew, cxOld), 0, cxNew - cx);
            int y = Clamp(::MulDiv(pt.y, cyNew, cyOld), 0, cyNew - cy);
            ::SetWindowPos(hChild, NULL, x, y, cx, cy,
                           SWP_NOZORDER | SWP_NOACTIVATE | (bKeepSize ? SWP_NOSIZE : 0));
        }
        cxWindow += cxNew - cxOld;
        cyWindow += cyNew - cyOld;
    }
    int x = Clamp(rcWindow.left, rcWork.left, rcWork.right - cxWindow);
    int y = Clamp(rcWindow.top, rcWork.top, rcWork.bottom - cyWindow);
    ::SetWindowPos(hDlg, NULL, x, y, cxWindow, cyWindow, SWP_NOZORDER | SWP_NOACTIVATE);
}
