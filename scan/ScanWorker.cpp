// The recursive scan worker: collects the full path of every folder below
// a start folder, on its own thread.
#include "ErrorMessage.h"
#include "FolderNames.h"
#include "FolderTreeDlg.h"
#include "ScanFlag.h"
#include "ScanJob.h"
#include "TreeNodes.h"

// Collects the folders below strPath, then lists each through.
static void ScanFolder(CScanJob& job, const CString& strPath)
{
    CErrorMessage errorMessage;
    std::vector<CListedName> names;
    CString strFolder;

    // Running out of memory anywhere in the scan (a path, a listing, the
    // lists) is said in a box, empties the lists and the scan goes on with
    // the next entry, like a list that cannot grow: the scan is never cut
    // short unseen.
    CollectFolders(NULL, job.m_arrDirs, &job.m_arrNameStarts, [&] {
        // Listed with the wide functions, which tell whether each name is
        // exact. A folder that cannot be listed leaves its pattern and the
        // system's text; what a listing that broke off found is still
        // collected.
        strFolder = strPath;
        strFolder.TrimRight('\\');
        if (DWORD dwError = ListFolderWide(strFolder, names))
            job.m_strError = JoinPath(strFolder, "*.*") + " " + errorMessage.GetMessageText(dwError);
    });

    // In the listing's order; the stop is tested before every entry.
    for (size_t i = 0; i < names.size() && ReadScanFlag(job.m_nContinue); i++) {
        const CListedName& name = names[i];
        if (!name.IsDirectory())
            continue;
        CString strEntry;
        CollectFolders(NULL, job.m_arrDirs, &job.m_arrNameStarts, [&] {
            strEntry = JoinPath(strFolder, name.strAnsi);
            job.m_arrDirs.Add(strEntry);
            job.m_arrNameStarts.Add(strFolder.GetLength() + 1);
        });
        // Listed through also when the lists could not take it (they then
        // hold what comes after), but not a junction or symbolic link (one
        // to an ancestor would make the scan endless and its recursion
        // overflow the stack), nor a name that may lead to another folder
        // in a path (its listing would be that folder's).
        bool bThrough = false;
        CollectFolders(NULL, job.m_arrDirs, &job.m_arrNameStarts, [&] {
            bThrough = !strEntry.IsEmpty() && !name.bLink && ResolveName(strFolder, name, false) == NAME_EXACT;
        });
        if (bThrough)
            ScanFolder(job, strEntry);
    }
}

void RunScanJob(CScanJob& job)
{
    ScanFolder(job, job.m_strStart);
}

UINT ScanJobThread(void* pParam)
{
    RunScanJob(*static_cast<CScanJob*>(pParam));
    return 0;
}

UINT CFolderTreeDlg::GetRecursiveDir(void* pParam)
{
    static_cast<CFolderTreeDlg*>(pParam)->GetRecursiveDir();
    return 0;
}

void CFolderTreeDlg::GetRecursiveDir()
{
    // The scan of m_strScanDir, appended to m_arrScanDirs, for a caller
    // that works with the members.
    CScanJob job(m_strScanDir, m_bScanContinue);
    RunScanJob(job);
    for (int i = 0; i < job.m_arrDirs.GetSize(); i++) {
        m_arrScanDirs.Add(job.m_arrDirs[i]);
        m_arrScanNameStarts.Add(job.m_arrNameStarts[i]);
    }
    if (!job.m_strError.IsEmpty())
        m_strScanError = job.m_strError;
}
