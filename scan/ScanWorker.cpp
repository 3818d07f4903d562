// The recursive scan worker: collects the full path of every folder below
// m_strScanDir into m_arrScanDirs, on its own thread.
#include "ErrorMessage.h"
#include "FolderTreeDlg.h"
#include "ScanFlag.h"
#include "TreeNodes.h"

UINT CFolderTreeDlg::GetRecursiveDir(void* pParam)
{
    static_cast<CFolderTreeDlg*>(pParam)->GetRecursiveDir();
    return 0;
}

void CFolderTreeDlg::GetRecursiveDir()
{
    CFileFind finder;
    CString strEntry;
    CErrorMessage errorMessage;

    // Running out of memory anywhere in the scan (a path, a listing, the
    // list) is said in a box, empties the list and the scan goes on with
    // the next entry, like a list that cannot grow: the scan is never cut
    // short unseen.
    BOOL bWorking = FALSE;
    CollectFolders(m_arrScanDirs, [&] {
        // The listing pattern of this folder.
        m_strScanDir.TrimRight('\\');
        m_strScanDir += "\\*.*";

        // A folder that cannot be listed leaves its pattern and the system's text.
        bWorking = finder.FindFile(m_strScanDir);
        if (!bWorking) {
            DWORD dwError = GetLastError();
            if (IsSearchFailure(dwError))
                m_strScanError = m_strScanDir + " " + errorMessage.GetMessageText(dwError);
        }
    });

    // The entry that the last FindNextFile reached is still handled.
    while (bWorking && ReadScanFlag(m_bScanContinue)) {
        bWorking = finder.FindNextFile();
        if (finder.IsDots() || !finder.IsDirectory())
            continue;
        CollectFolders(m_arrScanDirs, [&] {
            strEntry = finder.GetFilePath();
            m_arrScanDirs.Add(strEntry);
            // A junction or symbolic link is collected as a folder but not
            // followed: a link to an ancestor would make the scan endless and
            // its recursion overflow the stack.
            if (finder.MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT))
                return;
            m_strScanDir = strEntry;
            GetRecursiveDir();
        });
    }

    finder.Close();
}
