// Expand Recursive on a large tree: the scan worker beside a bare recursive
// FindFirstFileA/FindNextFileA walk of the same tree (the platform's
// floor) and beside a native find; the removal, rebuild and expansion of
// the nodes; the whole command as the user starts it; and relisting nodes
// of the expanded tree by selecting them.
//   scan_bench.exe <folder> [seconds of find -type d] [relisted subfolder]
// The folder (e.g. D:\scan-bench) is made by scripts/bench.sh; the
// relisted subfolder (e.g. tree\d05) is selected inside the expanded tree.
#include "BenchSupport.h"

#include <FolderTreeDlg.h>
#include <TreeNodes.h>
#include <resource.h>

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
    // The command's rebuild, on the list of the last scan.
    void Rebuild(HTREEITEM hNode, const CString& strRoot, std::vector<HTREEITEM>* pParents)
    {
        RebuildSubtree(GetTree(), hNode, strRoot, m_arrScanDirs, m_arrScanNameStarts,
                       pParents);
    }
    void ExpandAll(HTREEITEM hNode) { RecursiveExpandCollapse(hNode, 1); }
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
        fprintf(stderr, "usage: scan_bench.exe <folder> [seconds of find -type d] [relisted subfolder]\n");
        return 2;
    }
    AllowSlowSteps();
    CString strRoot(argv[1]);
    double tFind = argc > 2 ? atof(argv[2]) : 0;
    CString strInner = strRoot + "\\" + (argc > 3 ? argv[3] : "tree\\d05");
    CWinApp app("VarnetBench");
    CBenchDlg dlg(strRoot);

    // Alternating rounds of the bare walk, the scan and the whole command
    // (on the collapsed node, then again on the subtree it expanded): each
    // figure is the best of its rounds, so that none profits from a quiet
    // moment or a cache the others did not get. The walk and the scan run
    // on the user-interface thread, each in one call that holds its loop.
    const int nRounds = 3;
    double tBare = 1e9, tScan = 1e9, tCommand = 1e9, tAgain = 1e9, tProgress = 0;
    int nBare = 0, nScanned = 0;
    double tDelete = 0, tRebuild = 0, tExpand = 0, tOldExpand = 0;
    double tInner = 0, tInnerListing = 0, tOuter = 0, tOuterListing = 0;
    int nNodes = 0, nInner = 0, nOuter = 0;
    RunDialog(dlg, [&](Driver& d) {
        HWND hTree = d.Item(IDC_FOLDER_TREE);
        CTreeCtrl* pTree = (CTreeCtrl*)CWnd::FromHandle(hTree);
        HTREEITEM hNode = NodeOf(d, strRoot);
        if (!hNode) {
            fprintf(stderr, "scan_bench: the node of %s is missing\n", (const char*)strRoot);
            d.Cancel();
            return;
        }
        auto best = [](double& tBest, double t) {
            if (t < tBest)
                tBest = t;
        };
        for (int nRound = 1; nRound <= nRounds; nRound++) {
            double t = 0;
            d.OnUi([&] {
                t = Now();
                nBare = 0;
                BareWalk(strRoot, nBare);
                t = Now() - t;
            });
            printf("  round %d: bare walk %.2f s (%d folders)\n", nRound, t, nBare);
            fflush(stdout);
            best(tBare, t);
            d.OnUi([&] {
                t = Now();
                nScanned = dlg.Scan(strRoot);
                t = Now() - t;
            });
            printf("  round %d: worker's scan %.2f s (%d folders)\n", nRound, t, nScanned);
            fflush(stdout);
            best(tScan, t);

            // The node collapsed, listed one level deep, as the user finds
            // it: selecting it relists it.
            d.SelectNode(d.Root());
            d.SelectNode(hNode);
            d.OnUi([&] { TreeView_Expand(hTree, hNode, TVE_COLLAPSE); });

            // The command as the user starts it, until the tree is shown.
            // The progress dialog is found once, then watched with a check
            // that asks its thread nothing: polling it by its caption would
            // send it WM_GETTEXT hundreds of times a second, each a round
            // trip through Wine's server that the worker's listings wait
            // behind (it cost the command seconds). No one polls a user's
            // dialog.
            for (double* ptCommand : { &tCommand, &tAgain }) {
                t = Now();
                d.Command(IDC_BN_EXPAND);
                d.WaitUntilGone(d.WaitForDialog("Progress and Kill Dialog", 0), INFINITE, 5);
                double tOpen = Now() - t;
                d.Sync();
                t = Now() - t;
                printf("  round %d: the command%s %.2f s (progress dialog open %.2f s)\n", nRound,
                       ptCommand == &tAgain ? " again" : "", t, tOpen);
                fflush(stdout);
                if (ptCommand == &tCommand && t < tCommand)
                    tProgress = tOpen;
                best(*ptCommand, t);
            }
        }

        // Its last steps again, one by one, on the list it left, with the
        // tree's redrawing suspended as in the command; and the walk of the
        // tree that the expansion replaces, on the same subtree.
        d.OnUi([&] {
            CRedrawOff noRedraw(pTree);
            double t0 = Now();
            dlg.Delete(hNode);
            double t1 = Now();
            std::vector<HTREEITEM> parents;
            dlg.Rebuild(hNode, strRoot, &parents);
            double t2 = Now();
            ExpandRebuiltSubtree(pTree, hNode, parents);
            double t3 = Now();
            tDelete = t1 - t0;
            tRebuild = t2 - t1;
            tExpand = t3 - t2;
            nNodes = CountNodes(hTree, hNode);
        });
        printf("  removal %.2f s, rebuild %.2f s, expansion %.2f s\n", tDelete, tRebuild, tExpand);
        fflush(stdout);
        d.OnUi([&] {
            CRedrawOff noRedraw(pTree);
            std::vector<HTREEITEM> parents;
            dlg.Rebuild(hNode, strRoot, &parents);
            double t = Now();
            dlg.ExpandAll(hNode);
            tOldExpand = Now() - t;
        });
        printf("  the walk of RecursiveExpandCollapse on it: %.2f s\n", tOldExpand);
        fflush(stdout);

        // Selecting nodes of the expanded tree relists them: one with a
        // subtree of its own inside it, then the node of the whole tree,
        // each beside the bare listing of its folder.
        auto select = [&](HTREEITEM hItem, const CString& strFolder, double& tListing) {
            double t = 0;
            d.OnUi([&] {
                tListing = BareListing(strFolder);
                double tStart = Now();
                TreeView_SelectItem(hTree, hItem);
                UpdateWindow(hTree);
                t = Now() - tStart;
            });
            return t;
        };
        HTREEITEM hInner = NodeOf(d, strInner);
        if (!hInner) {
            fprintf(stderr, "scan_bench: the node of %s is missing\n", (const char*)strInner);
            d.Cancel();
            return;
        }
        d.OnUi([&] { nInner = CountNodes(hTree, hInner); });
        tInner = select(hInner, strInner, tInnerListing);
        // The whole tree again, expanded, for the node of the whole tree,
        // selected from the top node (which is not relisted).
        d.SelectNode(d.Root());
        d.OnUi([&] {
            CRedrawOff noRedraw(pTree);
            std::vector<HTREEITEM> parents;
            dlg.Rebuild(hNode, strRoot, &parents);
            ExpandRebuiltSubtree(pTree, hNode, parents);
            nOuter = CountNodes(hTree, hNode);
        });
        tOuter = select(hNode, strRoot, tOuterListing);
        d.Cancel();
    });

    CString strInnerFigure, strOuterFigure;
    strInnerFigure.Format("relisting a node of %d expanded nodes, in the expanded tree", nInner);
    strOuterFigure.Format("relisting the node of the expanded tree of %d nodes", nOuter);
    printf("scan_bench: %s, %d folders (best of %d rounds)\n", (const char*)strRoot, nBare, nRounds);
    printf("  bare walk (FindFirstFileA/FindNextFileA):  %8.2f s\n", tBare);
    printf("  worker's scan (GetRecursiveDir):           %8.2f s  (%d folders)\n", tScan, nScanned);
    printf("  ratio scan / bare walk:                    %8.2f\n", tScan / tBare);
    if (tFind > 0) {
        printf("  find -type d (native):                     %8.2f s\n", tFind);
        printf("  ratio scan / find -type d:                 %8.1f\n", tScan / tFind);
    }
    printf("  removing the old subtree (DeleteRecursive): %7.2f s\n", tDelete);
    printf("  rebuild (breadth first):                   %8.2f s  (%d nodes)\n", tRebuild, nNodes);
    printf("  expansion (the nodes the rebuild gave children): %5.2f s\n", tExpand);
    printf("  rebuild and expansion:                     %8.2f s  (%.3f x the scan)\n", tRebuild + tExpand,
           (tRebuild + tExpand) / tScan);
    printf("  (RecursiveExpandCollapse's walk instead:   %8.2f s)\n", tOldExpand);
    printf("  whole command (button to expanded tree):   %8.2f s  (progress dialog open %.2f s)\n", tCommand,
           tProgress);
    printf("  the command again on the expanded subtree: %8.2f s\n", tAgain);
    printf("  %s: %.3f s (bare listing %.4f s)\n", (const char*)strInnerFigure, tInner, tInnerListing);
    printf("  %s: %.3f s (bare listing %.4f s)\n", (const char*)strOuterFigure, tOuter, tOuterListing);
    if (!dlg.ScanError().IsEmpty())
        printf("  scan error: %s\n", (const char*)dlg.ScanError());
    PrintFigure("worker's scan", tScan, "bare Win32 walk", tBare, "the platform's floor: about 1");
    if (tFind > 0)
        PrintFigure("worker's scan", tScan, "find -type d (native)", tFind, "Wine's cost per folder");
    PrintFigure("rebuild and expansion", tRebuild + tExpand, "worker's scan", tScan, "ratio <= 0.15");
    PrintFigure("removing the old expanded subtree", tDelete, "worker's scan", tScan, "-");
    PrintFigure("whole command, collapsed node", tCommand, "worker's scan", tScan, "scan + timer tick + rebuild");
    PrintFigure("whole command, on its expanded subtree", tAgain, "worker's scan", tScan, "the same + removal");
    PrintFigure(strInnerFigure, tInner, "bare listing", tInnerListing, "time - listing <= 0.5 s");
    PrintFigure(strOuterFigure, tOuter, "bare listing", tOuterListing, "time <= 3 s");
    return nScanned == nBare && nNodes == nBare ? 0 : 1;
}
