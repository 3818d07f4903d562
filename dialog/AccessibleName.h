// Names that screen readers read for controls that have none of their own.
#pragma once

#include <afxwin.h>

// Gives hControl the accessible name pszName (a literal in the ANSI code
// page: it must outlive the window): the control answers WM_GETOBJECT for its client object with
// the system's standard object, named pszName. Windows would name an edit,
// a list or a tree after the label just before it in the z-order, which the
// template does not give; Wine names a control by its window text only, and
// does not implement the annotations of IAccPropServices. oleacc and ole32
// are looked up when a client first asks, so that the module imports
// neither. Does nothing for a null control.
void SetAccessibleName(HWND hControl, const char* pszName);
