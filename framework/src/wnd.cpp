// Windows: handle maps, subclassing, message-map dispatch and the
// pre-translation walk.
#include "afx/wnd.h"
#include "afx/codepage.h"
#include "afx/dc.h"
#include "afx/exception.h"
#include "afx/msgbox.h"
#include "afx/winapp.h"
#include "guard.h"

#include <exception>
#include <limits.h>
#include <memory>
#include <new>
#include <unordered_map>

namespace {

// A handle map in the framework's memory (exhaustion throws CMemoryException*).
template <class T>
using HandleMap = std::unordered_map<HWND, T, std::hash<HWND>, std::equal_to<HWND>, CAfxAllocator<std::pair<const HWND, T>>>;

// Windows with a permanent object, for the whole process.
struct PermanentMap {
    PermanentMap() { InitializeCriticalSection(&cs); }
    CRITICAL_SECTION cs;
    HandleMap<CWnd*> map;
};

PermanentMap& Permanent()
{
    static PermanentMap s_map;
    return s_map;
}

struct PermanentLock {
    PermanentLock() { EnterCriticalSection(&Permanent().cs); }
    ~PermanentLock() { LeaveCriticalSection(&Permanent().cs); }
};

// Per thread: the message being handled (for Default) and the temporary
// objects made by FromHandle.
struct ThreadState {
    MSG lastSentMsg = {};
    int nHandlerDepth = 0;  // handlers running on this thread
    HandleMap<std::unique_ptr<CWnd>> tempMap;
};

// Made on first use and deleted when the thread ends (DllMain below). Not
// a thread_local object: this toolchain's emulated thread storage is freed
// before the destructors of such objects run, so a thread that had used
// windows wrote into freed memory as it ended, corrupting the heap.
thread_local ThreadState* t_pState;

ThreadState& State()
{
    if (!t_pState)
        t_pState = new ThreadState;
    return *t_pState;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_THREAD_DETACH) {
        delete t_pState;
        t_pState = NULL;
    }
    return TRUE;
}

// --- CCmdTarget -----------------------------------------------------------

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY _messageEntries[] = { { 0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0 } };
    static const AFX_MSGMAP messageMap = { NULL, &_messageEntries[0] };
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : NULL)
        for (const AFX_MSGMAP_ENTRY* p = pMap->lpEntries; p->nSig != AfxSig_end; ++p)
            if (p->nMessage == nMessage && p->nCode == nCode && nID >= p->nID && nID <= p->nLastID)
                return p;
    return NULL;
}

// --- CWnd: maps and subclassing ------------------------------------------

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() : m_hWnd(NULL), m_pfnSuper(NULL) {}

CWnd::~CWnd()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        if (m_pfnSuper)
            DestroyWindow();
        else
            Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    PermanentLock lock;
    auto it = Permanent().map.find(hWnd);
    return it == Permanent().map.end() ? NULL : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return NULL;
    if (CWnd* pWnd = FromHandlePermanent(hWnd))
        return pWnd;
    std::unique_ptr<CWnd>& pTemp = State().tempMap[hWnd];
    if (!pTemp) {
        pTemp.reset(new CWnd);
        pTemp->m_hWnd = hWnd;
    }
    return pTemp.get();
}

void AfxDeleteTempMaps()
{
    // A handler below us on the stack may still hold a temporary object
    // (a nested modal loop runs inside a handler).
    if (State().nHandlerDepth == 0)
        State().tempMap.clear();
}

AfxHandlerScope::AfxHandlerScope() { ++State().nHandlerDepth; }
AfxHandlerScope::~AfxHandlerScope() { --State().nHandlerDepth; }

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew || m_hWnd)
        return FALSE;
    PermanentLock lock;
    if (Permanent().map.count(hWndNew))
        return FALSE;
    Permanent().map[hWndNew] = this;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hWnd = m_hWnd;
    if (hWnd) {
        PermanentLock lock;
        auto it = Permanent().map.find(hWnd);
        if (it != Permanent().map.end() && it->second == this)
            Permanent().map.erase(it);
    }
    m_hWnd = NULL;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    // A Unicode window stays one: its text, and what is typed into it,
    // then reach it whole in every code page.
    m_pfnSuper = (WNDPROC)SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)AfxWndProc);
    if (!m_pfnSuper) {
        Detach();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWnd = ::GetDlgItem(pParent->m_hWnd, (int)nID);
    return hWnd && SubclassWindow(hWnd);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper && m_hWnd)
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
    m_pfnSuper = NULL;
    return Detach();
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    HWND hWnd = m_hWnd;
    BOOL bResult = ::DestroyWindow(hWnd);
    // A window that was only attached never sees WM_NCDESTROY through us.
    if (m_hWnd == hWnd && !::IsWindow(hWnd))
        Detach();
    return bResult;
}

void CWnd::PostNcDestroy() {}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

// --- CWnd: dispatch -------------------------------------------------------

void AfxReportHandlerException(CException* pException)
{
    pException->ReportError();
    pException->Delete();
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    ThreadState& state = State();
    MSG oldMsg = state.lastSentMsg;
    state.lastSentMsg.hwnd = hWnd;
    state.lastSentMsg.message = nMsg;
    state.lastSentMsg.wParam = wParam;
    state.lastSentMsg.lParam = lParam;

    LRESULT lResult = 0;
    AfxRunGuarded([&] { lResult = pWnd->WindowProc(nMsg, wParam, lParam); });

    if (nMsg == WM_NCDESTROY) {
        // The window is gone: the object lets go of it and may be reused.
        pWnd->m_pfnSuper = NULL;
        pWnd->Detach();
        pWnd->PostNcDestroy();
    }
    state.lastSentMsg = oldMsg;
    return lResult;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& msg = State().lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(WM_COMMAND, HIWORD(wParam), LOWORD(wParam));
    if (!pEntry)
        return FALSE;
    (this->*pEntry->pfn)();
    return TRUE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = (NMHDR*)lParam;
    // A control id is a UINT; a wider idFrom (a tool's window handle, say)
    // names no control, and cut to 32 bits it could match one.
    if (pNMHDR->idFrom > UINT_MAX)
        return FALSE;
    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(WM_NOTIFY, pNMHDR->code, (UINT)pNMHDR->idFrom);
    if (!pEntry)
        return FALSE;
    auto pfn = reinterpret_cast<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(pEntry->pfn);
    *pResult = 0;
    (this->*pfn)(pNMHDR, pResult);
    return TRUE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY)
        return OnNotify(wParam, lParam, pResult);
    // The controls notify in ANSI (TVN_SELCHANGEDA ...), as message maps
    // name them, although the windows are Unicode windows.
    if (message == WM_NOTIFYFORMAT && lParam == NF_QUERY) {
        *pResult = NFR_ANSI;
        return TRUE;
    }

    UINT nCtlColor = 0;
    UINT nMapMessage = message;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        nCtlColor = message - WM_CTLCOLORMSGBOX;
        nMapMessage = WM_CTLCOLOR;
    }
    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(nMapMessage, 0, 0);
    if (!pEntry)
        return FALSE;

    switch (pEntry->nSig) {
    case AfxSig_vv:
        (this->*pEntry->pfn)();
        *pResult = 0;
        break;
    case AfxSig_vw:
        (this->*reinterpret_cast<void (CWnd::*)(UINT)>(pEntry->pfn))((UINT)wParam);
        *pResult = 0;
        break;
    case AfxSig_vp:
        (this->*reinterpret_cast<void (CWnd::*)(UINT_PTR)>(pEntry->pfn))(wParam);
        *pResult = 0;
        break;
    case AfxSig_vwl:
        (this->*reinterpret_cast<void (CWnd::*)(UINT, LPARAM)>(pEntry->pfn))((UINT)wParam, lParam);
        *pResult = 0;
        break;
    case AfxSig_hv:
        *pResult = (LRESULT)(this->*reinterpret_cast<HCURSOR (CWnd::*)()>(pEntry->pfn))();
        break;
    case AfxSig_hDWw: {
        CDC dc((HDC)wParam);
        CWnd* pCtl = FromHandle((HWND)lParam);
        *pResult = (LRESULT)(this->*reinterpret_cast<HBRUSH (CWnd::*)(CDC*, CWnd*, UINT)>(pEntry->pfn))(
            &dc, pCtl, nCtlColor);
        break;
    }
    default:
        return FALSE;
    }
    return TRUE;
}

void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnPaint() { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return (HCURSOR)Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return (HBRUSH)Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    BOOL bConsumed = FALSE;
    // Pre-translation runs handlers too (keyboard shortcuts).
    AfxRunGuarded([&] {
        for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
            CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
            if (pWnd && pWnd->PreTranslateMessage(pMsg)) {
                bConsumed = TRUE;
                return;
            }
            if (!(::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD))
                return;  // the top-level window ends the walk
        }
    });
    return bConsumed;
}

HWND AfxGetSafeOwner(CWnd* pParent)
{
    HWND hWnd = pParent ? pParent->m_hWnd : NULL;
    if (!hWnd) {
        // The main window is the main window of its own thread only: a
        // modal window owned by another thread's window disables its owner
        // by a message to that thread, which never comes back while that
        // thread waits for this one.
        CWinApp* pApp = AfxGetApp();
        HWND hMain = pApp && pApp->m_pMainWnd ? pApp->m_pMainWnd->m_hWnd : NULL;
        if (hMain && ::GetWindowThreadProcessId(hMain, NULL) == ::GetCurrentThreadId())
            hWnd = ::GetLastActivePopup(hMain);
        else
            hWnd = ::GetActiveWindow();
    }
    // A popup cannot be owned by a child window.
    while (hWnd && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD))
        hWnd = ::GetParent(hWnd);
    return hWnd;
}

// --- CWnd: thin wrappers --------------------------------------------------

// Debug builds check that a wrapper's window exists: on a window that is
// gone a wrapper does nothing, or acts on a handle since given to another.
#define ASSERT_WINDOW() ASSERT(::IsWindow(m_hWnd))

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    ASSERT_WINDOW();
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    ASSERT_WINDOW();
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(LPCSTR lpszString) { ASSERT_WINDOW(); AfxSetWindowText(m_hWnd, lpszString); }

int CWnd::GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const
{
    ASSERT_WINDOW();
    if (nMaxCount <= 0)
        return 0;
    // The whole characters that fit, and the terminating zero.
    CString strText = AfxGetWindowText(m_hWnd);
    UINT nCodePage = AfxGetTextCodePage();
    int nLength = 0;
    for (int i = 0; i < strText.GetLength();) {
        BYTE ch = (BYTE)strText[i];
        int nNext = i + 1;
        if (nCodePage == CP_UTF8)
            while (nNext < strText.GetLength() && ((BYTE)strText[nNext] & 0xC0) == 0x80)
                ++nNext;
        else if (ch >= 0x80 && IsDBCSLeadByteEx(nCodePage, ch))
            ++nNext;
        if (nNext > nMaxCount - 1)
            break;
        nLength = i = nNext;
    }
    memcpy(lpszStringBuf, (LPCSTR)strText, nLength);
    lpszStringBuf[nLength] = '\0';
    return nLength;
}

void CWnd::GetWindowText(CString& rString) const
{
    ASSERT_WINDOW();
    rString = AfxGetWindowText(m_hWnd);
}

int CWnd::GetWindowTextLength() const { ASSERT_WINDOW(); return AfxGetWindowText(m_hWnd).GetLength(); }

CWnd* CWnd::GetDlgItem(int nID) const { ASSERT_WINDOW(); return FromHandle(::GetDlgItem(m_hWnd, nID)); }

void CWnd::SetDlgItemText(int nID, LPCSTR lpszString)
{
    ASSERT_WINDOW();
    AfxSetWindowText(::GetDlgItem(m_hWnd, nID), lpszString);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    ASSERT_WINDOW();
    rString.Empty();
    HWND hItem = ::GetDlgItem(m_hWnd, nID);
    if (hItem)
        FromHandle(hItem)->GetWindowText(rString);
    return rString.GetLength();
}

int CWnd::GetDlgCtrlID() const { ASSERT_WINDOW(); return ::GetDlgCtrlID(m_hWnd); }
CWnd* CWnd::GetParent() const { ASSERT_WINDOW(); return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::SetFocus() { ASSERT_WINDOW(); return FromHandle(::SetFocus(m_hWnd)); }
CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }
BOOL CWnd::IsIconic() const { ASSERT_WINDOW(); return ::IsIconic(m_hWnd); }
void CWnd::CenterWindow() { ASSERT_WINDOW(); AfxCenterOverOwner(m_hWnd); }
BOOL CWnd::IsWindowVisible() const { ASSERT_WINDOW(); return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsWindowEnabled() const { ASSERT_WINDOW(); return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL bEnable) { ASSERT_WINDOW(); return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::ShowWindow(int nCmdShow) { ASSERT_WINDOW(); return ::ShowWindow(m_hWnd, nCmdShow); }
void CWnd::GetClientRect(LPRECT lpRect) const { ASSERT_WINDOW(); ::GetClientRect(m_hWnd, lpRect); }
void CWnd::GetWindowRect(LPRECT lpRect) const { ASSERT_WINDOW(); ::GetWindowRect(m_hWnd, lpRect); }
DWORD CWnd::GetStyle() const { ASSERT_WINDOW(); return (DWORD)::GetWindowLongA(m_hWnd, GWL_STYLE); }
DWORD CWnd::GetExStyle() const { ASSERT_WINDOW(); return (DWORD)::GetWindowLongA(m_hWnd, GWL_EXSTYLE); }
void CWnd::Invalidate(BOOL bErase) { ASSERT_WINDOW(); ::InvalidateRect(m_hWnd, NULL, bErase); }
void CWnd::SetRedraw(BOOL bRedraw) { ASSERT_WINDOW(); ::SendMessageA(m_hWnd, WM_SETREDRAW, bRedraw, 0); }

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer)
{
    ASSERT_WINDOW();
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { ASSERT_WINDOW(); return ::KillTimer(m_hWnd, nIDEvent); }

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return (HICON)SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, (LPARAM)hIcon);
}
