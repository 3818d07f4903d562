// CDC: a device context; CPaintDC: the one BeginPaint gives for WM_PAINT.
#pragma once

#include "fxdefs.h"

class CWnd;

class FX_API CDC {
public:
    CDC() : m_hDC(NULL) {}
    explicit CDC(HDC hDC) : m_hDC(hDC) {}
    virtual ~CDC() {}

    HDC m_hDC;
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    int SetBkMode(int nBkMode);                    // SetBkMode
    int GetBkMode() const;                         // GetBkMode
    COLORREF SetTextColor(COLORREF crColor);       // SetTextColor
    COLORREF GetTextColor() const;                 // GetTextColor
    COLORREF SetBkColor(COLORREF crColor);         // SetBkColor
    BOOL DrawIcon(int x, int y, HICON hIcon);      // DrawIcon

private:
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
};

class FX_API CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);  // BeginPaint
    ~CPaintDC() override;           // EndPaint

    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};
