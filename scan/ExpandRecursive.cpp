// The expand-recursive command.
#include "FolderTreeDlg.h"

void CFolderTreeDlg::OnBn_ExpandSelectedNode()
{
    // Not built yet.
}

void CFolderTreeDlg::CreaRecursiveSubNodes(HTREEITEM, const char*, CArray<CString, CString&>&)
{
    // Not built yet.
}
