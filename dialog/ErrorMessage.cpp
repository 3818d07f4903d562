// System error messages.
#include "ErrorMessage.h"

CString CErrorMessage::DisplayText(DWORD dwError)
{
    CString strText;
    if (!AfxGetSystemErrorText(dwError, strText))
        strText.Format("Unknown error %lu.", dwError);
    return strText;
}

void CErrorMessage::ShowMessage(const DWORD& dwError)
{
    AfxMessageBox(DisplayText(dwError), MB_OK, 0);
}

void CErrorMessage::ShowMessage(const DWORD& dwError, const char* pszCaption)
{
    CString strText(pszCaption);
    strText += "\n\n";
    strText += DisplayText(dwError);
    AfxMessageBox(strText, MB_ICONEXCLAMATION, 0);
}

void CErrorMessage::ShowInDlgItem(const DWORD& dwError, const char* pszCaption, HWND hDlg, int nIDDlgItem)
{
    CString strText(pszCaption);
    if (!strText.IsEmpty())
        strText += " ";
    strText += DisplayText(dwError);
    AfxSetWindowText(::GetDlgItem(hDlg, nIDDlgItem), strText);
}

CString CErrorMessage::GetMessageText(const DWORD& dwError)
{
    CString strText;
    AfxGetSystemErrorText(dwError, strText);
    return strText;
}
