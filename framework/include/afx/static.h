// CStatic: a static control. Header only: one inline wrapper per message.
#pragma once

#include "wnd.h"

class CStatic : public CWnd {
public:
    // STM_SETICON: returns the previous icon
    HICON SetIcon(HICON hIcon) { return (HICON)SendMessage(STM_SETICON, (WPARAM)hIcon); }
    // STM_GETICON
    HICON GetIcon() const { return (HICON)SendMessage(STM_GETICON); }
};
