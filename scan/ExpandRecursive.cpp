// The expand-recursive command: scans every folder below the selected node
// on a worker thread under the progress-and-kill dialog, then rebuilds the
// node's subtree from the collected paths and expands it.
#include "FolderNames.h"
#include "FolderTreeDlg.h"
#include "ProgressKillDlg.h"
#include "Refusal.h"
#include "ScanFlag.h"
#include "ScanJob.h"
#include "TreeNodes.h"
#include "UserTexts.h"
#include "resource.h"

#include <functional>
#include <memory>

// Owns the running worker for the command. However the command ends, an
// exception included, the worker is stopped (unless the command waited for
// it already), waited for and deleted, and the dialog's pointer to it
// cleared: the worker never outlives the command, and the command can
// run again.
class CScanThreadGuard {
public:
    CScanThreadGuard(CWinThread*& pThread, int& bContinue, std::function<BOOL()> ending)
        : m_pThread(pThread), m_bContinue(bContinue), m_ending(std::move(ending))
    {
    }
    CScanThreadGuard(const CScanThreadGuard&) = delete;
    CScanThreadGuard& operator=(const CScanThreadGuard&) = delete;
    ~CScanThreadGuard()
    {
        if (m_pThread) {
            WriteScanFlag(m_bContinue, 0);
            WaitForEnd();
        }
    }
    // Waits for the worker to end, then deletes its thread object.
    // Messages that other threads send to this one are answered meanwhile
    // (input and posted messages wait), so that a thread that sends to this
    // one cannot make the two wait on each other; the windows paint what a
    // closed dialog or box uncovered; and the scan is stopped when the
    // dialog is ended from outside meanwhile.
    void WaitForEnd()
    {
        HANDLE hThread = m_pThread->m_hThread;
        for (;;) {
            DWORD dwWait = ::MsgWaitForMultipleObjects(1, &hThread, FALSE, 100, QS_SENDMESSAGE | QS_PAINT);
            if (dwWait == WAIT_OBJECT_0 + 1) {
                MSG msg;
                ::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
                // A window that does not validate what it paints cannot
                // keep the wait busy: a few rounds at a time.
                for (int i = 0; i < 16 && ::PeekMessageA(&msg, NULL, WM_PAINT, WM_PAINT, PM_REMOVE); i++)
                    ::DispatchMessageA(&msg);
            } else if (dwWait == WAIT_TIMEOUT) {
                if (m_ending())
                    WriteScanFlag(m_bContinue, 0);
            } else {
                break;
            }
        }
        delete m_pThread;
        m_pThread = NULL;
    }

private:
    CWinThread*& m_pThread;
    int& m_bContinue;
    std::function<BOOL()> m_ending;
};

void CFolderTreeDlg::OnBn_ExpandSelectedNode()
{
    // Keypad * typed into a label's editor: the rename goes first, and the
    // scan lists the folder under its new name. Without a selection the
    // command says so in a box.
    HTREEITEM hSelected = NULL;
    if (!StartCommand(hSelected, 0))
        return;
    if (!hSelected) {
        AfxOwnedMessageBox(m_hWnd, VarnetText::SELECT_FOLDER, MB_OK | MB_ICONINFORMATION);
        return;
    }

    // A label that may name another folder would have the scan list that
    // folder instead.
    if (ShowRefusal(CheckNodeNames(GetTree(), hSelected, VarnetText::NOT_EXPANDED)))
        return;
    CString strPath = GetNodePath(hSelected);
    CScanJob job(strPath, m_bScanContinue);
    if (!RunScan(hSelected, job) || IsEndingFromOutside())
        return;

    // The last folder the scan could not list, if any.
    if (!job.m_strError.IsEmpty())
        m_strScanError = job.m_strError;
    if (!m_strScanError.IsEmpty())
        SetDlgItemText(IDC_EDIT_ERROR, m_strScanError);

    // The subtree is rebuilt and expanded with the tree's redrawing
    // suspended: with redrawing on, every node removed, inserted or
    // expanded recomputes the rows shown. The nodes that get children are
    // known from the rebuild and are expanded from that list, in the state
    // RecursiveExpandCollapse leaves: finding them in the tree again would
    // name every node, which costs more than the rebuild itself.
    {
        CRedrawOff noRedraw(GetTree());
        std::vector<HTREEITEM> parents;
        CreaRecursiveSubNodes(hSelected, strPath, job.m_arrDirs, job.m_arrNameStarts, &parents);
        ExpandRebuiltSubtree(GetTree(), hSelected, parents);
    }

    SetDlgItemText(IDC_EDIT_PATH, strPath);
}

BOOL CFolderTreeDlg::RunScan(HTREEITEM hSelected, CScanJob& job)
{
    m_hScanStartNode = hSelected;
    WriteScanFlag(m_bScanContinue, 1);

    // Started suspended to clear m_bAutoDelete before it runs: the
    // thread object and its handle must outlive the thread until the waits
    // below are over, and are deleted at the end of the command. The job
    // outlives the worker: the guard waits for its end.
    m_pScanThread = AfxBeginThread(ScanJobThread, &job, 0, 0, CREATE_SUSPENDED, NULL);
    if (!m_pScanThread) {
        ShowRefusal(CRefusal::System(GetLastError()));
        return FALSE;
    }
    m_pScanThread->m_bAutoDelete = FALSE;
    m_pScanThread->ResumeThread();
    CScanThreadGuard scanThread(m_pScanThread, m_bScanContinue, [this] { return IsEndingFromOutside(); });

    // This dialog is the owner, and so disabled while the progress
    // dialog is open, whichever window happens to be active.
    std::unique_ptr<CProgressKillDlg> pProgressDlg(
        new CProgressKillDlg(VarnetText::SCAN_PROGRESS, m_pScanThread, this));
    INT_PTR nResult = pProgressDlg->DoModal();

    // Kill stops the scan; any other end but the worker's own asks whether
    // to wait for it. The dialog ended from outside stops it without asking.
    if (pProgressDlg->m_bKilled || IsEndingFromOutside()) {
        WriteScanFlag(m_bScanContinue, 0);
    } else if (nResult != IDOK) {
        if (AfxOwnedMessageBox(m_hWnd, VarnetText::SCAN_WAIT_QUESTION, MB_YESNO | MB_ICONQUESTION) == IDNO ||
            IsEndingFromOutside())
            WriteScanFlag(m_bScanContinue, 0);
    }
    // After IDOK the worker has ended and this returns at once; after any
    // other end the results are not read before it has.
    scanThread.WaitForEnd();
    return TRUE;

}

void CFolderTreeDlg::CreaRecursiveSubNodes(HTREEITEM hRoot, const char* pszRootPath, CArray<CString, CString&>& arrDirs,
                                           CArray<int, int>& arrNameStarts, std::vector<HTREEITEM>* pParents)
{
    RebuildSubtree(GetTree(), hRoot, pszRootPath, arrDirs, arrNameStarts, pParents);
}
