// CComboBox: a combo box. Header only: one inline wrapper per message.
#pragma once

#include "wnd.h"

class CComboBox : public CWnd {
public:
    // CB_GETCOUNT
    int GetCount() const { return (int)SendMessage(CB_GETCOUNT); }
    // CB_GETCURSEL: CB_ERR when nothing is selected
    int GetCurSel() const { return (int)SendMessage(CB_GETCURSEL); }
    // CB_SETCURSEL: -1 clears the selection
    int SetCurSel(int nSelect) { return (int)SendMessage(CB_SETCURSEL, nSelect); }
    // CB_GETLBTEXTLEN
    int GetLBTextLen(int nIndex) const { return (int)SendMessage(CB_GETLBTEXTLEN, nIndex); }
    // CB_GETLBTEXT into a buffer of GetLBTextLen + 1 characters
    int GetLBText(int nIndex, LPSTR lpszText) const { return (int)SendMessage(CB_GETLBTEXT, nIndex, (LPARAM)lpszText); }
    // CB_GETLBTEXT: the whole text of an entry (empty for a bad index)
    void GetLBText(int nIndex, CString& rString) const
    {
        int nLength = GetLBTextLen(nIndex);
        if (nLength == CB_ERR) {
            rString.Empty();
            return;
        }
        int nGot = GetLBText(nIndex, rString.GetBuffer(nLength));
        rString.ReleaseBuffer(nGot == CB_ERR ? 0 : nGot);
    }
    // CB_FINDSTRINGEXACT: searches the whole list, starting after nIndexStart
    int FindStringExact(int nIndexStart, LPCSTR lpszFind) const
    {
        return (int)SendMessage(CB_FINDSTRINGEXACT, nIndexStart, (LPARAM)lpszFind);
    }
    // CB_RESETCONTENT
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    // CB_SHOWDROPDOWN
    void ShowDropDown(BOOL bShowIt = TRUE) { SendMessage(CB_SHOWDROPDOWN, bShowIt); }
    // CB_GETDROPPEDSTATE
    BOOL GetDroppedState() const { return (BOOL)SendMessage(CB_GETDROPPEDSTATE); }
};
