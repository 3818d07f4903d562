// The progress-and-kill dialog shown while the recursive scan runs.
#include "ProgressKillDlg.h"
#include "resource.h"

#include <afxcmn.h>

// The timer that watches the worker: its id and period.
static const UINT_PTR SCAN_TIMER = 10;
static const UINT SCAN_TIMER_MS = 1000;
// How long one tick waits for the worker to end.
static const DWORD SCAN_WAIT_MS = 300;

CProgressKillDlg::CProgressKillDlg(CString strMessage, CWinThread* pThread, CWnd* pParent)
    : CDialog(IDD_PROGRESS_KILL, pParent), m_bKilled(0), m_pThread(pThread), m_strMessage(strMessage)
{
}

CProgressKillDlg::~CProgressKillDlg()
{
}

void CProgressKillDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BEGIN_MESSAGE_MAP(CProgressKillDlg, CDialog)
    ON_BN_CLICKED(IDC_BN_KILL, OnBn_KillThread)
    ON_WM_TIMER()
END_MESSAGE_MAP()

BOOL CProgressKillDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CenterWindow();
    SetTimer(SCAN_TIMER, SCAN_TIMER_MS, NULL);
    m_bKilled = 0;
    SetDlgItemText(IDC_EDIT_SCAN_TEXT, m_strMessage);
    return TRUE;
}

void CProgressKillDlg::OnOK()
{
    if (::WaitForSingleObject(m_pThread->m_hThread, 0) == WAIT_TIMEOUT)
        return;
    CDialog::OnOK();
}

void CProgressKillDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == SCAN_TIMER) {
        // A host's own template may lack the bar.
        if (CProgressCtrl* pBar = (CProgressCtrl*)GetDlgItem(IDC_PROGRESS_SCAN))
            pBar->StepIt();
        if (::WaitForSingleObject(m_pThread->m_hThread, SCAN_WAIT_MS) != WAIT_TIMEOUT)
            CDialog::OnOK();
    }
    CDialog::OnTimer(nIDEvent);
}

void CProgressKillDlg::OnBn_KillThread()
{
    m_bKilled = 1;
    CDialog::OnCancel();
}
