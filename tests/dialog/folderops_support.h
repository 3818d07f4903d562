// Pieces shared by the tests of the folder commands.
#pragma once

#include "dialog_support.h"

#include <vector>

// The icon that an icon static shows.
HICON IconOf(Driver& d, int nID);

// Clicks the node of strParent and starts make folder on it (the icon's
// click); returns the editor of the new node's label.
HWND StartMakeFolder(Driver& d, const CString& strParent);

// Every path below strRoot, sorted, with wide names (so that
// converted names show as what they are): what a test compares before and
// after a command to see that nothing else changed.
std::vector<CString> Snapshot(const CString& strRoot);
