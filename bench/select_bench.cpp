// Selecting a node whose folder holds many subfolders: the whole selection
// as the user makes it (listing, rebuilding the children, drawing) beside
// the bare listing of the same folder, once on a node not listed before and
// once on one that still holds its children; then each step alone.
//   select_bench.exe [subfolders]   a folder of that many (default 10000), made and removed here
//   select_bench.exe <folder>       an existing folder (scripts/bench.sh gives D:\scan-bench\flat)
#include "BenchSupport.h"

#include <FolderTreeDlg.h>
#include <TestFs.h>
#include <TreeNodes.h>
#include <resource.h>

#include <algorithm>
#include <ctype.h>
#include <memory>
#include <vector>

// The dialog, opened up for timing the steps of a selection one by one.
class CBenchDlg : public CFolderTreeDlg {
public:
    explicit CBenchDlg(const char* pszPath) : CFolderTreeDlg(pszPath) {}
    void List(const CString& strFolder, CArray<CString, CString&>& arrDirs) { GetOneLevelDir(strFolder, arrDirs); }
    // The time of the dialog's own handler of the last selection; the rest
    // of a selection is the control's.
    double m_tHandler = 0;
    // Only the selection's notification is timed: the clock read around
    // each of the 10,000 deletion notifications would weigh on the figure.
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (((NMHDR*)lParam)->code != TVN_SELCHANGEDA)
            return CFolderTreeDlg::OnNotify(wParam, lParam, pResult);
        double t = Now();
        BOOL b = CFolderTreeDlg::OnNotify(wParam, lParam, pResult);
        m_tHandler = Now() - t;
        return b;
    }
};

// The best (least) of several measurements.
struct Best {
    double t = 1e9;
    void operator<<(double tNew) { t = tNew < t ? tNew : t; }
};

// The median of several measurements: the selections and the listings they
// are held against swing with the machine, each way, and the least of each
// may come from different moments; the median of each stays with the
// typical round.
struct Median {
    std::vector<double> v;
    void operator<<(double tNew) { v.push_back(tNew); }
    double t() const
    {
        std::vector<double> w = v;
        std::sort(w.begin(), w.end());
        return w.empty() ? 0 : w[w.size() / 2];
    }
};

int main(int argc, char** argv)
{
    AllowSlowSteps();
    CWinApp app("VarnetBench");
    // A count makes the folder here, its names not in name order on disk.
    std::unique_ptr<TestFolder> pOwn;
    CString strFolder = argc > 1 ? argv[1] : "10000";
    if (isdigit((unsigned char)strFolder[0])) {
        int nFolders = atoi(strFolder);
        pOwn.reset(new TestFolder("select-bench"));
        pOwn->MakeDirs("big");
        for (int i = 0; i < nFolders; i++) {
            char szName[32];
            sprintf(szName, "big\\folder%05d", (int)((i * 7919LL) % nFolders));
            CreateDirectoryA(pOwn->Path(szName), NULL);
        }
        strFolder = pOwn->Path("big");
    }
    CString strParent = strFolder.Left(strFolder.ReverseFind('\\'));

    const int nRounds = 5;
    Median listing, fresh, again;
    Best dialogListing, names, order, insertion, controlSort, deletion, redraw;
    int nListed = 0, nChildren = 0;
    bool bExpanded = false;
    CBenchDlg dlg(strParent);
    RunDialog(dlg, [&](Driver& d) {
        HWND hTree = d.Item(IDC_FOLDER_TREE);
        CTreeCtrl* pTree = (CTreeCtrl*)CWnd::FromHandle(hTree);
        // The node of the folder, below the one the dialog opened.
        HTREEITEM hParent = NodeOf(d, strParent);
        CString strName = strFolder.Mid(strParent.GetLength() + 1);
        if (!hParent || !d.Child(hParent, strName)) {
            fprintf(stderr, "select_bench: the node of %s is missing\n", (const char*)strFolder);
            d.Cancel();
            return;
        }
        // Selects a node as the user would and draws the tree; the bare
        // listing is measured just before, on the same thread.
        auto select = [&](HTREEITEM hNode, Median* pListing) {
            double t = 0;
            d.OnUi([&] {
                if (pListing) {
                    double tListing = BareListing(strFolder, &nListed);
                    *pListing << tListing;
                    printf("  bare listing %.1f ms\n", tListing * 1000);
                }
                double tStart = Now();
                TreeView_SelectItem(hTree, hNode);
                UpdateWindow(hTree);
                t = Now() - tStart;
            });
            return t;
        };

        HTREEITEM hNode = NULL;
        for (int nRound = 0; nRound < nRounds; nRound++) {
            // Selecting the parent relists it: the node comes back unlisted.
            select(hParent, NULL);
            hNode = d.Child(hParent, strName);
            double t = select(hNode, &listing);
            fresh << t;
            printf("  round %d: selection of the unlisted node %.1f ms (the dialog's handler %.1f ms)\n", nRound + 1,
                   t * 1000, dlg.m_tHandler * 1000);
            // The top node is not relisted: the node keeps its children.
            select(d.Root(), NULL);
            t = select(hNode, &listing);
            again << t;
            printf("  round %d: selection again, with its children %.1f ms (the dialog's handler %.1f ms)\n",
                   nRound + 1, t * 1000, dlg.m_tHandler * 1000);
            fflush(stdout);
        }
        nChildren = (int)d.Children(hNode).size();
        bExpanded = d.IsExpanded(hNode);

        // Each step alone, on the node that holds its children, collapsed
        // as before its selection, with the tree's redrawing suspended as
        // the dialog suspends it; then the control's expansion of the node
        // and the drawing that follow the selection.
        for (int nRound = 0; nRound < nRounds; nRound++) {
            d.OnUi([&] {
                pTree->Expand(hNode, TVE_COLLAPSE);
                double t0 = Now();
                CArray<CString, CString&> arrDirs;
                dlg.List(strFolder, arrDirs);
                double t1 = Now();
                std::vector<CString> sorted;
                for (int i = 0; i < arrDirs.GetSize(); i++)
                    sorted.push_back(arrDirs[i].Mid(strFolder.GetLength() + 1));
                std::vector<CString> unsorted = sorted;
                double t2 = Now();
                SortLikeTree(sorted);
                double t3 = Now(), t4, t5, t6, t7, t8;
                {
                    CRedrawOff noRedraw(pTree);
                    DeleteChildNodes(pTree, hNode);
                    t4 = Now();
                    for (const CString& str : unsorted)
                        InsertFolderNode(pTree, hNode, str);
                    t5 = Now();
                    pTree->SortChildren(hNode);
                    t6 = Now();
                    DeleteChildNodes(pTree, hNode);
                    t7 = Now();
                    for (const CString& str : sorted)
                        InsertFolderNode(pTree, hNode, str);
                    t8 = Now();
                }
                double t9 = Now();
                pTree->Expand(hNode, TVE_EXPAND);
                UpdateWindow(hTree);
                double t10 = Now();
                dialogListing << t1 - t0;
                names << t2 - t1;
                order << t3 - t2;
                deletion << (t4 - t3 + t7 - t6) / 2;
                insertion << t8 - t7;
                controlSort << t6 - t5;
                redraw << t10 - t9;
            });
        }
        d.Cancel();
    });

    printf("select_bench: a folder of %d subfolders (medians of %d rounds)\n", nListed, nRounds);
    printf("  bare listing (FindFirstFileA/FindNextFileA):   %8.1f ms\n", listing.t() * 1000);
    printf("  selection of the unlisted node:                %8.1f ms  (%d child nodes%s)\n", fresh.t() * 1000,
           nChildren, bExpanded ? ", expanded" : "");
    printf("  selection again, its old children replaced:    %8.1f ms\n", again.t() * 1000);
    printf("  ratios to the bare listing:                    %8.2f, %.2f\n", fresh.t() / listing.t(),
           again.t() / listing.t());
    printf("  the steps alone (best of %d rounds):\n", nRounds);
    printf("    the dialog's listing (GetOneLevelDir):       %8.1f ms\n", dialogListing.t * 1000);
    printf("    names from the listed paths:                 %8.1f ms\n", names.t * 1000);
    printf("    ordering them as the tree sorts:             %8.1f ms\n", order.t * 1000);
    printf("    inserting them in that order:                %8.1f ms\n", insertion.t * 1000);
    printf("    deleting the old children:                   %8.1f ms\n", deletion.t * 1000);
    printf("    the control's expansion, and drawing:        %8.1f ms\n", redraw.t * 1000);
    printf("    (the control's own sort, not used:           %8.1f ms)\n", controlSort.t * 1000);
    CString strFigure;
    strFigure.Format("selecting a node of %d subfolders, unlisted", nListed);
    PrintFigure(strFigure, fresh.t(), "bare listing", listing.t(), "ratio <= 2.5");
    PrintFigure("the same node again, replacing its children", again.t(), "bare listing", listing.t(), "ratio <= 2.5");
    return nChildren == nListed ? 0 : 1;
}
