// CToolTipCtrl: a tooltip control. Header only: one inline wrapper per
// message. The dialog relays mouse messages to it (RelayEvent), so tools
// need no subclassing.
#pragma once

#include "wnd.h"

class CToolTipCtrl : public CWnd {
public:
    // CreateWindowExA of a TOOLTIPS_CLASS popup owned by pParentWnd
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0)
    {
        HWND hWnd = ::CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, WS_POPUP | dwStyle, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                      pParentWnd ? pParentWnd->m_hWnd : NULL, NULL,
                                      ::GetModuleHandleA(NULL), NULL);
        return hWnd && SubclassWindow(hWnd);
    }
    // TTM_ADDTOOLA. With no rectangle and tool id 0 the whole window
    // pWnd is the tool.
    BOOL AddTool(CWnd* pWnd, LPCSTR lpszText, LPCRECT lpRectTool = NULL, UINT_PTR nIDTool = 0)
    {
        TOOLINFOA ti = {};
        ti.cbSize = TTTOOLINFOA_V2_SIZE;
        if (nIDTool == 0 && lpRectTool == NULL) {
            ti.uFlags = TTF_IDISHWND;
            ti.hwnd = ::GetParent(pWnd->m_hWnd);
            ti.uId = (UINT_PTR)pWnd->m_hWnd;
        } else {
            ti.hwnd = pWnd->m_hWnd;
            ti.uId = nIDTool;
            if (lpRectTool)
                ti.rect = *lpRectTool;
        }
        ti.lpszText = (LPSTR)lpszText;
        return (BOOL)SendMessage(TTM_ADDTOOLA, 0, (LPARAM)&ti);
    }
    // TTM_GETTOOLCOUNT
    int GetToolCount() const { return (int)SendMessage(TTM_GETTOOLCOUNT); }
    // TTM_ACTIVATE
    void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate); }
    // TTM_RELAYEVENT
    void RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, (LPARAM)lpMsg); }
};
