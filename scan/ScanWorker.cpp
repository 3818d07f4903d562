// The recursive scan worker: collects the full path of every folder below
// m_strScanDir into m_arrScanDirs, on its own thread.
#include "ErrorMessage.h"
#include "FolderNames.h"
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
    CString strEntry;
    CErrorMessage errorMessage;
    std::vector<CListedName> names;

    // Running out of memory anywhere in the scan (a path, a listing, the
    // lists) is said in a box, empties the lists and the scan goes on with
    // the next entry, like a list that cannot grow: the scan is never cut
    // short unseen.
    CString strFolder;
    CollectFolders(NULL, m_arrScanDirs, &m_arrScanNameStarts, [&] {
        // The folder, and its listing pattern.
        m_strScanDir.TrimRight('\\');
        strFolder = m_strScanDir;
        // (Appended in place: a joined copy would cost the worker one more
        // allocation of the path per folder.)
        m_strScanDir += "\\*.*";

        // Listed with the wide functions, which tell whether each name is
        // exact. A folder that cannot be listed leaves its pattern and the
        // system's text.
        if (DWORD dwError = ListFolderWide(strFolder, names))
            m_strScanError = m_strScanDir + " " + errorMessage.GetMessageText(dwError);
    });

    // In the listing's order; the stop is tested before every entry.
    for (size_t i = 0; i < names.size() && ReadScanFlag(m_bScanContinue); i++) {
        const CListedName& name = names[i];
        if (!name.IsDirectory())
            continue;
        CollectFolders(NULL, m_arrScanDirs, &m_arrScanNameStarts, [&] {
            strEntry = JoinPath(strFolder, name.strAnsi);
            m_arrScanDirs.Add(strEntry);
            m_arrScanNameStarts.Add(strFolder.GetLength() + 1);
            // Collected, but not listed through: a junction or symbolic link
            // (one to an ancestor would make the scan endless and its
            // recursion overflow the stack), and a name that may lead to
            // another folder in a path (its listing would be that folder's).
            if (name.bLink || ResolveName(strFolder, name, false) != NAME_EXACT)
                return;
            m_strScanDir = strEntry;
            GetRecursiveDir();
        });
    }
}
