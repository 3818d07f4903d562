// CButton: a button control. Header only: one inline wrapper per message.
#pragma once

#include "wnd.h"

class CButton : public CWnd {
public:
    // BM_GETCHECK
    int GetCheck() const { return (int)SendMessage(BM_GETCHECK); }
    // BM_SETCHECK
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, nCheck); }
    // BM_GETSTATE
    UINT GetState() const { return (UINT)SendMessage(BM_GETSTATE); }
    // BM_CLICK
    void Click() { SendMessage(BM_CLICK); }
};
