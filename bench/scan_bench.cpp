// Expand Recursive on a large tree: the scan worker beside a bare recursive
// FindFirstFileA/FindNextFileA walk of the same tree (the platform's
// floor) and beside a native find, the rebuild and expansion of the tree
// nodes, and the whole command as the user starts it.
//   scan_bench.exe <folder> [seconds of find -type d]
// The folder (e.g. D:\scan-bench) is made by scripts/bench.sh.
#include "BenchClock.h"

#include <DialogDriver.h>
#include <FolderTreeDlg.h>
#include <resource.h>

#include <stdio.h>
#include <stdlib.h>

// The platform's floor: a plain recursion that makes each folder's path,
// as the scan does, and counts it.
static void BareWalk(const CString& strFolder, int& nFolders)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(strFolder + "\\*.*", &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..")) {
            CString strPath = strFolder + "\\" + fd.cFileName;
            nFolders++;
            BareWalk(strPath, nFolders);
        }
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
}

// The dialog, opened up for timing its steps one by one.
class CBenchDlg : public CFolderTreeDlg {
public:
    explicit CBenchDlg(const char* pszPath) : CFolderTreeDlg(pszPath) {}

    // The worker's scan, run on this thread as the command runs it on its own.
    int Scan(const CString& strPath)
    {
        m_strScanDir = strPath;
        m_arrScanDirs.RemoveAll();
        m_arrScanNameStarts.RemoveAll();
        m_bScanContinue = 1;  // no other thread runs
        GetRecursiveDir();
        return (int)m_arrScanDirs.GetSize();
    }
    void Delete(HTREEITEM hNode) { DeleteRecursive(hNode); }
    void Rebuild(HTREEITEM hNode, const CString& strPath) { CreaRecursiveSubNodes(hNode, strPath, m_arrScanDirs, m_arrScanNameStarts); }
    void Expand(HTREEITEM hNode) { RecursiveExpandCollapse(hNode, 1); }
    CString ScanError() const { return m_strScanError; }
};

static int CountNodes(HWND hTree, HTREEITEM hNode)
{
    int n = 0;
    for (HTREEITEM h = TreeView_GetChild(hTree, hNode); h; h = TreeView_GetNextSibling(hTree, h))
        n += 1 + CountNodes(hTree, h);
    return n;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: scan_bench.exe <folder> [seconds of find -type d]\n");
        return 2;
    }
    CString strRoot(argv[1]);
    double tFind = argc > 2 ? atof(argv[2]) : 0;
    CWinApp app("VarnetBench");
    CBenchDlg dlg(strRoot);

    // Alternating rounds, so that neither profits from a cache the other filled.
    const int nRounds = 2;
    double tBare = 1e9, tScan = 1e9;
    int nBare = 0, nScanned = 0;
    for (int nRound = 0; nRound < nRounds; nRound++) {
        double t = Now();
        nBare = 0;
        BareWalk(strRoot, nBare);
        t = Now() - t;
        printf("  round %d: bare walk %.2f s (%d folders)\n", nRound + 1, t, nBare);
        fflush(stdout);
        if (t < tBare)
            tBare = t;
        t = Now();
        nScanned = dlg.Scan(strRoot);
        t = Now() - t;
        printf("  round %d: worker's scan %.2f s (%d folders)\n", nRound + 1, t, nScanned);
        fflush(stdout);
        if (t < tScan)
            tScan = t;
    }

    double tCommand = 0, tAgain = 0, tProgress = 0, tDelete = 0, tRebuild = 0, tExpand = 0;
    int nNodes = 0;
    RunDialog(dlg, [&](Driver& d) {
        HWND hTree = d.Item(IDC_FOLDER_TREE);
        // The node of the folder, below the top node.
        HTREEITEM hNode = d.Root();
        CString strRest = strRoot.Mid(3) + "\\";
        for (int n = strRest.Find('\\'); n != -1 && hNode; n = strRest.Find('\\')) {
            hNode = d.Child(hNode, strRest.Left(n));
            strRest = strRest.Mid(n + 1);
        }
        if (!hNode) {
            fprintf(stderr, "scan_bench: the node of %s is missing\n", (const char*)strRoot);
            d.Cancel();
            return;
        }
        d.SelectNode(hNode);

        // The command as the user starts it, until the tree is shown; then
        // again, replacing the expanded subtree it made.
        for (double* ptCommand : { &tCommand, &tAgain }) {
            double t = Now();
            d.Command(IDC_BN_EXPAND);
            while (d.WaitForDialog("Progress and Kill Dialog", 0))
                Sleep(5);
            if (ptCommand == &tCommand)
                tProgress = Now() - t;
            d.Sync();
            *ptCommand = Now() - t;
        }

        // Its last steps again, one by one, on the list it left, with the
        // tree's redrawing off as in the command.
        d.OnUi([&] {
            CWnd::FromHandle(hTree)->SetRedraw(FALSE);
            double t0 = Now();
            dlg.Delete(hNode);
            double t1 = Now();
            dlg.Rebuild(hNode, strRoot);
            double t2 = Now();
            dlg.Expand(hNode);
            double t3 = Now();
            CWnd::FromHandle(hTree)->SetRedraw(TRUE);
            tDelete = t1 - t0;
            tRebuild = t2 - t1;
            tExpand = t3 - t2;
            nNodes = CountNodes(hTree, hNode);
        });
        d.Cancel();
    });

    printf("scan_bench: %s, %d folders (best of %d rounds)\n", (const char*)strRoot, nBare, nRounds);
    printf("  bare walk (FindFirstFileA/FindNextFileA):  %8.2f s\n", tBare);
    printf("  worker's scan (GetRecursiveDir):           %8.2f s  (%d folders)\n", tScan, nScanned);
    printf("  ratio scan / bare walk:                    %8.2f\n", tScan / tBare);
    if (tFind > 0) {
        printf("  find -type d (native):                     %8.2f s\n", tFind);
        printf("  ratio scan / find -type d:                 %8.1f\n", tScan / tFind);
    }
    printf("  removing the old subtree (DeleteRecursive): %7.2f s\n", tDelete);
    printf("  rebuild (CreaRecursiveSubNodes):           %8.2f s  (%d nodes)\n", tRebuild, nNodes);
    printf("  expand (RecursiveExpandCollapse):          %8.2f s\n", tExpand);
    printf("  rebuild and expand:                        %8.2f s\n", tRebuild + tExpand);
    printf("  whole command (button to expanded tree):   %8.2f s  (progress dialog open %.2f s)\n", tCommand,
           tProgress);
    printf("  the command again on the expanded subtree: %8.2f s\n", tAgain);
    if (!dlg.ScanError().IsEmpty())
        printf("  scan error: %s\n", (const char*)dlg.ScanError());
    return nScanned == nBare && nNodes == nBare ? 0 : 1;
}
