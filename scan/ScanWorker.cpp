// The recursive scan worker.
#include "FolderTreeDlg.h"

UINT CFolderTreeDlg::GetRecursiveDir(void* pParam)
{
    static_cast<CFolderTreeDlg*>(pParam)->GetRecursiveDir();
    return 0;
}

void CFolderTreeDlg::GetRecursiveDir()
{
    // Not built yet.
}
