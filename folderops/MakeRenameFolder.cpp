// Creating and renaming folders.
#include "FolderTreeDlg.h"

void CFolderTreeDlg::OnStatic_MakeFolder()
{
    // Not built yet.
}

void CFolderTreeDlg::OnEndlabeleditFolderTree(NMHDR*, LRESULT* pResult)
{
    // Not built yet: the edited label is not taken.
    *pResult = 0;
}
