// Shared pieces of the tests of Expand Recursive and the keys.
#pragma once

#include "dialog_support.h"

#include <algorithm>
#include <vector>

// Selects the node of strPath (which lists its folder); NULL, and a
// failure, when there is no such node.
HTREEITEM SelectNodeOf(Driver& d, const CString& strPath);


// The paths below a node relative to it, depth-first in sibling order
// ("a", "a\\b", ...).
std::vector<CString> Subtree(Driver& d, HTREEITEM hNode);
// True when the node and every node below it that has children is expanded.
bool IsFullyExpanded(Driver& d, HTREEITEM hNode);
// The folders below strFolder relative to it, depth-first in the order the
// system lists them: what a complete scan must give.
std::vector<CString> FoldersOnDisk(const CString& strFolder);

// Holds the scan worker (any thread but the driver's two) at an allocation
// of the framework's memory, which it makes for every folder, until
// Release: the scan then runs for as long as a test needs. The hook lets
// the first nSkip allocations of the worker pass.
class WorkerHold {
public:
    explicit WorkerHold(Driver& d, int nSkip = 0);
    ~WorkerHold();  // releases the worker and removes the hook
    // Waits until the worker is held; false after nTimeoutMs.
    bool WaitUntilHeld(DWORD nTimeoutMs = 5000);
    // Lets the worker go on; bRefuse makes the allocation it is held at fail.
    void Release(bool bRefuse = false);
    // How many allocations the worker made after the one it was held at:
    // a few when it stopped at once, some for every folder when it went on.
    int AllocationsAfterRelease() const;
};
