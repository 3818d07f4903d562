// CProgressCtrl: a progress bar. Header only: one inline wrapper per message.
#pragma once

#include "wnd.h"

class CProgressCtrl : public CWnd {
public:
    // PBM_SETRANGE32
    void SetRange32(int nLower, int nUpper) { SendMessage(PBM_SETRANGE32, nLower, nUpper); }
    // PBM_SETPOS: returns the previous position
    int SetPos(int nPos) { return (int)SendMessage(PBM_SETPOS, nPos); }
    // PBM_GETPOS
    int GetPos() const { return (int)SendMessage(PBM_GETPOS); }
    // PBM_SETSTEP: returns the previous step
    int SetStep(int nStep) { return (int)SendMessage(PBM_SETSTEP, nStep); }
    // PBM_STEPIT: returns the previous position
    int StepIt() { return (int)SendMessage(PBM_STEPIT); }
};
