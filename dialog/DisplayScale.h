// The dialog at the scale of its display: the dots per inch it is drawn
// at, its images at that scale, per-monitor awareness where the system
// offers it, and a window kept inside its monitor's work area.
#pragma once

#include <afxwin.h>

// The dots per inch hWnd is drawn at: its own where the system tells it
// (Windows 10 1607 and later), otherwise the screen's.
int WindowDpi(HWND hWnd);

// The size of an image drawn nDrawn pixels wide for 96 dots per inch, at
// nDpi: the largest of 1, 1.25, 1.5, 2 and 3 times nDrawn (the sizes the
// icon resources carry) that the scale reaches.
int ScaledImageSize(int nDrawn, int nDpi);

// Icon nID (drawn nDrawn pixels wide) at the size for nDpi, found through
// the resource chain as LoadVarnetIcon finds it. Loaded once per size and
// kept for the process, as the system keeps its shared icons.
HICON LoadScaledVarnetIcon(UINT nID, int nDrawn, int nDpi);

// While it lives, windows that the thread creates are per-monitor DPI
// aware (version 2) where the system offers it, whatever the host
// declared: the system then neither stretches them as bitmaps nor blurs
// them, and tells them when they move to a monitor of another scale.
// Elsewhere it does nothing. Looked up at run time, so that Varnet still
// loads on systems before Windows 10 1607.
class CPerMonitorDpiScope {
public:
    CPerMonitorDpiScope();
    ~CPerMonitorDpiScope();

private:
    void* m_pPrevious;  // the thread's previous context; null when unchanged
    CPerMonitorDpiScope(const CPerMonitorDpiScope&) = delete;
    CPerMonitorDpiScope& operator=(const CPerMonitorDpiScope&) = delete;
};

// Keeps the dialog hDlg inside the work area of its monitor: a dialog
// larger than the work area is shrunk to it, its controls scaled with it,
// so that every control, OK and Cancel among them, stays on the screen;
// then the whole window is moved inside the work area.
void FitToWorkArea(HWND hDlg);
