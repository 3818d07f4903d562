// CWnd: a window and the framework's dispatch of its messages. A CWnd is
// attached to its HWND through the permanent handle map; handles without an
// object get a temporary one (FromHandle) that lives until the message loop
// is next idle.
#pragma once

#include "cstring.h"
#include "msgmap.h"

class CDataExchange;
class CException;

class FX_API CWnd : public CCmdTarget {
    DECLARE_MESSAGE_MAP()

public:
    CWnd();
    // Destroys a window still attached to a permanent object.
    ~CWnd() override;

    HWND m_hWnd;
    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Handle maps
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    // Attaches and routes the window's messages through the message map;
    // messages the map does not handle go to the window's earlier procedure.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();
    virtual BOOL DestroyWindow();

    // Data exchange with the window's controls (see CDialog::UpdateData).
    virtual void DoDataExchange(CDataExchange* pDX);
    // Sees a message of the window or its descendants before it is
    // dispatched; TRUE means the message was consumed.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // Messages
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;  // SendMessageA
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;     // PostMessageA

    // Text
    // The window's text in the thread's text code page (codepage.h).
    void SetWindowText(LPCSTR lpszString);                 // SetWindowTextW
    int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const;  // GetWindowTextW, whole characters
    void GetWindowText(CString& rString) const;            // the whole text, however long
    int GetWindowTextLength() const;                        // in bytes of the text code page

    // Dialog items
    CWnd* GetDlgItem(int nID) const;                        // GetDlgItem
    void SetDlgItemText(int nID, LPCSTR lpszString);        // SetDlgItemTextA
    int GetDlgItemText(int nID, CString& rString) const;    // the whole text
    int GetDlgCtrlID() const;                               // GetDlgCtrlID

    // Relations, state and geometry
    CWnd* GetParent() const;                                // GetParent
    CWnd* SetFocus();                                       // SetFocus; the window that had it
    static CWnd* GetFocus();                                // GetFocus
    BOOL IsIconic() const;                                  // IsIconic
    BOOL IsWindowVisible() const;                           // IsWindowVisible
    BOOL IsWindowEnabled() const;                           // IsWindowEnabled
    BOOL EnableWindow(BOOL bEnable = TRUE);                 // EnableWindow
    BOOL ShowWindow(int nCmdShow);                          // ShowWindow
    void GetClientRect(LPRECT lpRect) const;                // GetClientRect
    void GetWindowRect(LPRECT lpRect) const;                // GetWindowRect
    void CenterWindow();                                    // over the owner, inside its monitor's work area
    DWORD GetStyle() const;                                 // GWL_STYLE
    DWORD GetExStyle() const;                               // GWL_EXSTYLE
    void Invalidate(BOOL bErase = TRUE);                    // InvalidateRect of the client area
    void SetRedraw(BOOL bRedraw = TRUE);                    // WM_SETREDRAW
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);  // SetTimer
    BOOL KillTimer(UINT_PTR nIDEvent);                      // KillTimer
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);              // WM_SETICON

protected:
    // Handlers whose default is the window's default processing.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnTimer(UINT_PTR nIDEvent);

    // Default processing of the message being handled.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Message map dispatch; unhandled messages go to DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Called after the window is gone (its last message, WM_NCDESTROY).
    virtual void PostNcDestroy();

    WNDPROC m_pfnSuper;

private:
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
};

// The window procedure of every subclassed window.
FX_API LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
// Lets the windows from pMsg->hwnd up to its top-level window pre-translate
// the message, innermost first; TRUE when one of them consumed it.
FX_API BOOL AfxPreTranslateMessage(MSG* pMsg);
// Whether the modal loop retrieves, pre-translates and dispatches pMsg with
// the wide functions: it does for a Unicode window (a control's own, such
// as a tree's label editor), so that typed characters reach it exactly.
// Retrieved with the ANSI functions, a character is fitted to a code page
// on the way: one that the code page lacks arrives as "?" or a look-alike
// (a Greek capital omega as "O"). The framework's dialogs and the windows
// it subclasses are Unicode windows; a host's ANSI windows stay ANSI.
FX_API BOOL AfxIsWideMessage(const MSG* pMsg);
// Frees the temporary objects made by FromHandle on this thread, unless a
// message handler is running on it.
FX_API void AfxDeleteTempMaps();
// Marks a message handler running on this thread while it lives.
struct FX_API AfxHandlerScope {
    AfxHandlerScope();
    ~AfxHandlerScope();
};
// Reports an exception that escaped a handler, and deletes it.
FX_API void AfxReportHandlerException(CException* pException);
// The window that a popup without a parent is owned by: the last active
// popup of the application's main window when it belongs to the calling
// thread, else the thread's active window (none on a worker thread).
FX_API HWND AfxGetSafeOwner(CWnd* pParent);
