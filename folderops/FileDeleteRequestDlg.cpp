// The request dialog asked for each read-only file during a deletion.
#include "FileDeleteRequestDlg.h"

#include "resource.h"

CFileDeleteRequestDlg::CFileDeleteRequestDlg(CWnd* pParentWnd, LPCTSTR lpszFilePath, LPCTSTR lpszMessage)
    : CDialog(IDD_FILE_DELETE_REQUEST, pParentWnd), m_nAnswer(0), m_strMessage(lpszMessage), m_strFilePath(lpszFilePath)
{
}

BEGIN_MESSAGE_MAP(CFileDeleteRequestDlg, CDialog)
    ON_BN_CLICKED(IDC_BN_YES, OnBn_Yes)
    ON_BN_CLICKED(IDC_BN_NO, OnBn_No)
    ON_BN_CLICKED(IDC_BN_YES_TO_ALL, OnBn_YesToAll)
END_MESSAGE_MAP()

void CFileDeleteRequestDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BOOL CFileDeleteRequestDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CenterWindow();
    SetDlgItemText(IDC_EDIT_REASON, m_strMessage);
    SetDlgItemText(IDC_EDIT_FILE_PATH, m_strFilePath);
    return TRUE;
}

void CFileDeleteRequestDlg::OnBn_Yes()
{
    m_nAnswer = ANSWER_YES;
    CDialog::OnOK();
}

void CFileDeleteRequestDlg::OnBn_No()
{
    m_nAnswer = ANSWER_NO;
    CDialog::OnOK();
}

void CFileDeleteRequestDlg::OnBn_YesToAll()
{
    m_nAnswer = ANSWER_YES_TO_ALL;
    CDialog::OnOK();
}
