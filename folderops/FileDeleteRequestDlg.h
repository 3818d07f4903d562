// CFileDeleteRequestDlg: asked for each read-only file met while a folder
// is deleted. DoModal gives IDOK with m_nAnswer set by Yes, No or Yes to
// All, IDCANCEL for Abort Deletion or Esc, -1 when it cannot be created.
#pragma once

#include <afxwin.h>

class CFileDeleteRequestDlg : public CDialog {
public:
    enum { ANSWER_YES = 1, ANSWER_NO = 2, ANSWER_YES_TO_ALL = 11 };

    CFileDeleteRequestDlg(CWnd* pParentWnd, LPCTSTR lpszFilePath, LPCTSTR lpszMessage);

    int m_nAnswer;           // set by the button that closed the dialog
    CString m_strMessage;    // the reason, top line
    CString m_strFilePath;   // the file in question, boxed line

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    void OnBn_Yes();
    void OnBn_No();
    void OnBn_YesToAll();

    DECLARE_MESSAGE_MAP()
};
