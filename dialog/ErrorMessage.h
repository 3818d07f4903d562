// CErrorMessage: turns a Windows error code into the system's message text
// and shows it in a message box, in a dialog control, or returns it.
#pragma once

#include <afxwin.h>

class AFX_EXT_CLASS CErrorMessage : public CObject {
public:
    CErrorMessage() {}

    // Message box (MB_OK) with the system text alone.
    void ShowMessage(const DWORD& dwError);
    // Message box (MB_ICONEXCLAMATION): caption, an empty line, the text.
    void ShowMessage(const DWORD& dwError, const char* pszCaption);
    // Sets control nIDDlgItem of hDlg to: caption, one space if the caption
    // is not empty, the text. A null caption counts as empty.
    void ShowInDlgItem(const DWORD& dwError, const char* pszCaption, HWND hDlg, int nIDDlgItem);
    // The system text, as the system gives it; empty when it has none.
    CString GetMessageText(const DWORD& dwError);
    // The system text, or "Unknown error N." when the system has none, so
    // that a shown report never loses its reason.
    static CString DisplayText(DWORD dwError);
};
