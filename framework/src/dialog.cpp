// Modal dialogs and data exchange.
#include "afx/dialog.h"
#include "afx/codepage.h"
#include "afx/exception.h"
#include "afx/modulestate.h"
#include "afx/msgbox.h"
#include "guard.h"


CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;
    HWND hCtl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (!hCtl || !rControl.SubclassWindow(hCtl))
        TRACE("DDX_Control: control %d not found or already bound\n", nIDC);
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_pParentWnd(pParentWnd), m_nModalResult(-1),
      m_bContinueModal(FALSE), m_nTextCodePage(AFX_CP_TEXT)
{
}

CDialog::CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd), m_nModalResult(-1),
      m_bContinueModal(FALSE), m_nTextCodePage(AFX_CP_TEXT)
{
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::PostNcDestroy()
{
    // Destroyed from outside while modal: the loop, which may be waiting
    // for a message, is woken to see it.
    if (m_bContinueModal)
        ::PostThreadMessageA(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    m_bContinueModal = FALSE;
    if (m_hWnd)
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wakes the loop
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (!m_hWnd || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    // In the form the loop retrieved it (see AfxIsWideMessage).
    return AfxIsWideMessage(pMsg) ? ::IsDialogMessageW(m_hWnd, pMsg) : ::IsDialogMessageA(m_hWnd, pMsg);
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT nMsg, WPARAM, LPARAM lParam)
{
    // The controls ask while the dialog creates them, before it is
    // subclassed: they notify in ANSI, as the message maps name them.
    if (nMsg == WM_NOTIFYFORMAT) {
        ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, NFR_ANSI);
        return TRUE;
    }
    if (nMsg != WM_INITDIALOG)
        return FALSE;
    // From here on the dialog's messages go through its message map.
    CDialog* pDlg = reinterpret_cast<CDialog*>(lParam);
    pDlg->SubclassWindow(hWnd);
    BOOL bResult = TRUE;
    AfxRunGuarded([&] { bResult = pDlg->OnInitDialog(); });
    return bResult;
}

INT_PTR CDialog::DoModal()
{
    // Real Windows registers the common control classes only on request.
    static const BOOL s_bCommonControls = [] {
        INITCOMMONCONTROLSEX icc = { sizeof icc, ICC_WIN95_CLASSES | ICC_USEREX_CLASSES };
        return InitCommonControlsEx(&icc);
    }();
    (void)s_bCommonControls;
    // The dialog's text code page holds for everything that runs on this
    // thread until it ends (nested dialogs inherit it).
    CTextCodePageScope codePage(m_nTextCodePage);

    HINSTANCE hInst = AfxFindResourceHandle(m_lpszTemplateName, (LPCSTR)RT_DIALOG);
    HRSRC hResource = ::FindResourceA(hInst, m_lpszTemplateName, (LPCSTR)RT_DIALOG);
    HGLOBAL hTemplate = hResource ? ::LoadResource(hInst, hResource) : NULL;
    const DLGTEMPLATE* pTemplate = hTemplate ? (const DLGTEMPLATE*)::LockResource(hTemplate) : NULL;
    if (!pTemplate || m_hWnd)
        return -1;

    HWND hParent = AfxGetSafeOwner(m_pParentWnd);
    BOOL bEnableParent = FALSE;
    if (hParent && ::IsWindowEnabled(hParent)) {
        ::EnableWindow(hParent, FALSE);
        bEnableParent = TRUE;
    }

    m_nModalResult = -1;
    m_bContinueModal = TRUE;
    // A Unicode dialog: its controls are Unicode windows, which show and
    // take every character whatever the text code page.
    HWND hWnd = ::CreateDialogIndirectParamW(hInst, pTemplate, hParent, AfxDlgProc, (LPARAM)this);
    if (hWnd && m_bContinueModal) {
        if (!::IsWindowVisible(hWnd))
            ::ShowWindow(hWnd, SW_SHOWNORMAL);
        RunModalLoop();
    }
    if (!hWnd)
        m_nModalResult = -1;

    // The window, and the owner with it, may be gone already (destroyed
    // from outside while the loop ran).
    BOOL bWindow = hWnd && ::IsWindow(hWnd);
    if (bWindow)
        ::SetWindowPos(hWnd, NULL, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    // The owner is enabled before the dialog goes, so that it gets the
    // activation back.
    if (bEnableParent && ::IsWindow(hParent))
        ::EnableWindow(hParent, TRUE);
    if (bWindow && ::IsWindow(hParent) && ::GetActiveWindow() == hWnd)
        ::SetActiveWindow(hParent);
    if (bWindow)
        ::DestroyWindow(hWnd);
    AfxDeleteTempMaps();
    return m_nModalResult;
}

BOOL AfxIsWideMessage(const MSG* pMsg)
{
    return pMsg->hwnd && ::IsWindowUnicode(pMsg->hwnd);
}

// Removes the next message from the thread's queue, waiting for one, in
// the form AfxIsWideMessage gives for its window; FALSE for WM_QUIT. The
// message is seen first and then removed by its window and number, so that
// the form chosen is that of the message removed.
static BOOL AfxGetMessage(MSG* pMsg)
{
    for (;;) {
        MSG next;
        if (!::PeekMessageW(&next, NULL, 0, 0, PM_NOREMOVE)) {
            // Idle: the temporary objects of the handlers are freed.
            AfxDeleteTempMaps();
            ::WaitMessage();
            continue;
        }
        BOOL bGot = AfxIsWideMessage(&next)
                        ? ::PeekMessageW(pMsg, next.hwnd, next.message, next.message, PM_REMOVE)
                        : ::PeekMessageA(pMsg, next.hwnd, next.message, next.message, PM_REMOVE);
        if (bGot)
            return pMsg->message != WM_QUIT;
    }
}

BOOL CDialog::RunModalLoop()
{
    MSG msg;
    while (m_bContinueModal) {
        // The window was destroyed from outside (with its owner, say): the
        // dialog ends, as after an error.
        if (!m_hWnd) {
            m_nModalResult = IDABORT;
            break;
        }
        if (!AfxGetMessage(&msg)) {
            // WM_QUIT: hand it on to the loop outside and end the dialog.
            ::PostQuitMessage((int)msg.wParam);
            m_nModalResult = -1;
            break;
        }
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            if (AfxIsWideMessage(&msg))
                ::DispatchMessageW(&msg);
            else
                ::DispatchMessageA(&msg);
        }
    }
    return m_nModalResult;
}
