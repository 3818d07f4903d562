// What a selection costs as the tree grows around it, and opening on a deep
// path: the Down key through the empty subfolders of a folder of 100 and of
// one of 10,000; Down held through 1,000 of the 10,000; and the dialog's
// opening on a path 20 levels deep, each level beside 2,000 siblings,
// against the bare listings of the folders on that path.
//   nav_bench.exe <folder>
// The folder (D:\nav-bench) is made by scripts/bench.sh: small\f000-f099,
// big\f00000-f09999, and deep\l01\...\l20 with s0000-s1999 beside each
// level.
#include "BenchSupport.h"

#include <FolderTreeDlg.h>
#include <resource.h>

#include <algorithm>
#include <vector>

static double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Presses Down nKeys times in the tree, starting on hStart, as a held key
// sends it: each key is one selection, handled and drawn before the next.
// The time of each.
static std::vector<double> HoldDown(Driver& d, HTREEITEM hStart, int nKeys)
{
    HWND hTree = d.Item(IDC_FOLDER_TREE);
    std::vector<double> times;
    d.OnUi([&] {
        TreeView_SelectItem(hTree, hStart);
        UpdateWindow(hTree);
        for (int i = 0; i < nKeys; i++) {
            double t = Now();
            SendMessageA(hTree, WM_KEYDOWN, VK_DOWN, 1);
            SendMessageA(hTree, WM_KEYUP, VK_DOWN, 0xC0000001);
            UpdateWindow(hTree);
            times.push_back(Now() - t);
        }
    });
    return times;
}

// The dialog, with its opening timed.
class COpenTimedDlg : public CFolderTreeDlg {
public:
    explicit COpenTimedDlg(const char* pszPath) : CFolderTreeDlg(pszPath) {}
    double m_tOpen = 0;
    BOOL OnInitDialog() override
    {
        double t = Now();
        BOOL b = CFolderTreeDlg::OnInitDialog();
        m_tOpen = Now() - t;
        return b;
    }
};

int main(int argc, char** argv)
{
    AllowSlowSteps();
    CWinApp app("VarnetBench");
    if (argc < 2) {
        fprintf(stderr, "usage: nav_bench.exe <folder>\n");
        return 2;
    }
    CString strRoot = argv[1];
    int nStatus = 0;

    // Selections among 100 and among 10,000 siblings, in one dialog.
    const int nKeys = 60, nHeld = 1000;
    std::vector<double> small, big, held;
    CFolderTreeDlg dlg(strRoot + "\\small");
    RunDialog(dlg, [&](Driver& d) {
        HTREEITEM hSmall = NodeOf(d, strRoot + "\\small");
        HTREEITEM hRootNode = NodeOf(d, strRoot);
        HTREEITEM hBig = hRootNode ? d.Child(hRootNode, "big") : NULL;
        if (!hSmall || !hBig) {
            fprintf(stderr, "nav_bench: the nodes of small and big are missing\n");
            nStatus = 1;
            d.Cancel();
            return;
        }
        for (int nRound = 0; nRound < 3; nRound++) {
            d.SelectNode(hSmall);
            std::vector<double> t = HoldDown(d, d.Child(hSmall, "f020"), nKeys);
            small.insert(small.end(), t.begin(), t.end());
            d.SelectNode(hBig);
            t = HoldDown(d, d.Child(hBig, "f05000"), nKeys);
            big.insert(big.end(), t.begin(), t.end());
            printf("  round %d: a selection among 100 siblings %.2f ms, among 10,000 %.2f ms (medians of %d)\n",
                   nRound + 1, Median(small) * 1000, Median(big) * 1000, nKeys);
            fflush(stdout);
        }
        d.SelectNode(hBig);
        held = HoldDown(d, d.Child(hBig, "f04000"), nHeld);
        d.Cancel();
    });
    double tSmall = Median(small), tBig = Median(big), tHeld = 0;
    for (double t : held)
        tHeld += t;
    printf("nav_bench: Down through empty folders (medians of %d selections)\n", (int)small.size());
    printf("  among 100 siblings:                            %8.2f ms\n", tSmall * 1000);
    printf("  among 10,000 siblings:                         %8.2f ms  (%.2f x)\n", tBig * 1000, tBig / tSmall);
    printf("  Down held through %d of 10,000 siblings:     %8.0f selections per second (%.2f s)\n", nHeld,
           held.empty() ? 0 : nHeld / tHeld, tHeld);

    // Opening on the deep path, beside the bare listings of the drive root
    // and of each folder on the path, measured just before on this thread.
    CString strDeep = strRoot + "\\deep";
    for (int i = 1; i <= 20; i++) {
        CString strLevel;
        strLevel.Format("\\l%02d", i);
        strDeep += strLevel;
    }
    std::vector<double> opens, listings;
    for (int nRound = 0; nRound < 3; nRound++) {
        double tListings = BareListing(strRoot.Left(2));
        for (CString strFolder = strDeep; strFolder.GetLength() > strRoot.GetLength();
             strFolder = strFolder.Left(strFolder.ReverseFind('\\')))
            tListings += BareListing(strFolder);
        tListings += BareListing(strRoot);
        listings.push_back(tListings);
        COpenTimedDlg deep(strDeep);
        CString strShown;
        RunDialog(deep, [&](Driver& d) {
            strShown = d.ItemText(IDC_EDIT_PATH);
            d.Ok();
        });
        opens.push_back(deep.m_tOpen);
        if (deep.m_strSelectedPath != strDeep) {
            fprintf(stderr, "nav_bench: the deep open selected %s\n", (const char*)deep.m_strSelectedPath);
            nStatus = 1;
        }
        printf("  round %d: opening on the path 20 levels deep %.1f ms, its bare listings %.1f ms\n", nRound + 1,
               deep.m_tOpen * 1000, tListings * 1000);
        fflush(stdout);
    }
    double tOpen = Median(opens), tListings = Median(listings);
    printf("  opening on the path 20 levels deep:            %8.1f ms  (%.2f x its bare listings, %.1f ms)\n",
           tOpen * 1000, tOpen / tListings, tListings * 1000);

    PrintFigure("a selection among 10,000 siblings", tBig, "among 100 siblings", tSmall, "ratio <= 1.2");
    CString strHeld;
    strHeld.Format("Down held through %d of 10,000 siblings (%.0f/s)", nHeld, held.empty() ? 0 : nHeld / tHeld);
    PrintFigure(strHeld, tHeld, "as many among 100", tSmall * nHeld, "ratio <= 1.2");
    PrintFigure("opening on a path 20 levels deep, 2,000 beside each", tOpen, "bare listings of the path", tListings,
                "ratio <= 2");
    return nStatus;
}
