// Deleting a folder with its contents.
#include "FolderTreeDlg.h"

void CFolderTreeDlg::OnStatic_DeleteFolder()
{
    // Not built yet.
}

int CFolderTreeDlg::DelAllFilesDirs(CString&)
{
    return 0;
}
