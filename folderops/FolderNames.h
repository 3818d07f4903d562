// Checks made before the folder commands change anything on disk: a typed
// name must be one name inside its parent folder, and a path built from
// tree labels must name exactly the folder the user sees.
#pragma once

#include <afxwin.h>

// Empty when strName can be created or renamed to as one folder inside its
// parent; otherwise the text that tells the user why not.
CString CheckFolderName(const CString& strName);

// The tree shows the names that the ANSI file functions give. A name they
// cannot represent comes out converted (best fit: "ā" lists as "a"), and a
// path made of it names another folder or none. Empty when every component
// of strPath (below its drive) is the one entry of its parent that lists
// under that label, and that entry's name is exact; otherwise the text to
// show.
CString CheckExactPath(const CString& strPath);

// Empty when every entry of strFolder lists under its exact name; otherwise
// the text to show. Deleting a folder's contents by converted names could
// delete or descend into another entry.
CString CheckExactListing(const CString& strFolder);

// Whether RemoveDirectoryA removes a directory link (junction or symbolic
// link) alone. Windows does; Wine follows a link to an empty folder and
// removes the folder it points to, and has no call that removes the link
// alone.
bool CanRemoveLinkAlone();
