// CEdit: an edit control. Header only: one inline wrapper per message.
#pragma once

#include "wnd.h"

class CEdit : public CWnd {
public:
    // EM_SETREADONLY
    BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return (BOOL)SendMessage(EM_SETREADONLY, bReadOnly); }
    // EM_SETSEL
    void SetSel(int nStartChar, int nEndChar) { SendMessage(EM_SETSEL, nStartChar, nEndChar); }
    // EM_REPLACESEL
    void ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo = FALSE) { SendMessage(EM_REPLACESEL, bCanUndo, (LPARAM)lpszNewText); }
    // EM_LIMITTEXT
    void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, nChars); }
    // EM_GETLINECOUNT
    int GetLineCount() const { return (int)SendMessage(EM_GETLINECOUNT); }
};
