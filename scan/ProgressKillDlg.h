// CProgressKillDlg: the modal dialog shown while the recursive scan runs.
// Its timer ends it (IDOK) once the worker thread has ended; its Kill
// button ends it (IDCANCEL, m_bKilled set) so that the caller stops the scan.
#pragma once

#include <afxwin.h>

class CProgressKillDlg : public CDialog {
public:
    CProgressKillDlg(CString strMessage, CWinThread* pThread, CWnd* pParent = NULL);
    ~CProgressKillDlg() override;

    int m_bKilled;            // 1: ended by the Kill button
    CWinThread* m_pThread;    // the worker watched; not owned
    CString m_strMessage;     // the text of the edit box

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Enter (the dialog manager's default OK) ends the dialog only once
    // the worker has ended, so that IDOK always means the scan is over.
    void OnOK() override;

    void OnBn_KillThread();
    void OnTimer(UINT_PTR nIDEvent);

    DECLARE_MESSAGE_MAP()
};
