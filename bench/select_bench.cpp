// Selecting a node whose folder holds many subfolders: the whole selection
// (listing, rebuilding the children, sorting) beside the bare listing of the
// same folder, measured in one run.
//   select_bench.exe [subfolders]     (default 10000)
#include "BenchClock.h"

#include <DialogDriver.h>
#include <FolderTreeDlg.h>
#include <TestFs.h>

#include <stdio.h>
#include <stdlib.h>

// The platform's floor: one FindFirstFileA/FindNextFileA pass collecting
// the folder names.
static double BareListing(const CString& strFolder, int& nFolders)
{
    double tStart = Now();
    nFolders = 0;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(strFolder + "\\*.*", &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..")) {
                CString strPath = strFolder + "\\" + fd.cFileName;
                nFolders++;
            }
        } while (FindNextFileA(hFind, &fd));
        FindClose(hFind);
    }
    return Now() - tStart;
}

int main(int argc, char** argv)
{
    int nFolders = argc > 1 ? atoi(argv[1]) : 10000;
    CWinApp app("VarnetBench");
    TestFolder folder("select-bench");
    folder.MakeDirs("big");
    for (int i = 0; i < nFolders; i++) {
        char szName[32];
        sprintf(szName, "big\\folder%05d", (i * 7919) % nFolders);  // not in name order on disk
        CreateDirectoryA(folder.Path(szName), NULL);
    }

    const int nRounds = 3;
    double tListing = 1e9, tSelection = 1e9;
    int nListed = 0, nChildren = 0;
    CFolderTreeDlg dlg(folder.Path());
    RunDialog(dlg, [&](Driver& d) {
        HWND hTree = d.Item(1003);
        // The node of "big" is below the folder the dialog opened.
        HTREEITEM hNode = d.Root();
        CString strRest = folder.Path("big").Mid(3) + "\\";
        for (int n = strRest.Find('\\'); n != -1 && hNode; n = strRest.Find('\\')) {
            hNode = d.Child(hNode, strRest.Left(n));
            strRest = strRest.Mid(n + 1);
        }
        if (!hNode) {
            fprintf(stderr, "select_bench: the node of the big folder is missing\n");
            d.Cancel();
            return;
        }
        HTREEITEM hParent = NULL;
        d.OnUi([&] { hParent = TreeView_GetParent(hTree, hNode); });
        for (int nRound = 0; nRound < nRounds; nRound++) {
            double t = BareListing(folder.Path("big"), nListed);
            printf("  round %d: bare listing %.1f ms\n", nRound + 1, t * 1000);
            if (t < tListing)
                tListing = t;
            // Select the parent first, so that each round selects afresh;
            // that relists the parent, so its child is looked up again.
            d.OnUi([&] { TreeView_SelectItem(hTree, hParent); });
            hNode = d.Child(hParent, "big");
            d.OnUi([&] {
                double tStart = Now();
                TreeView_SelectItem(hTree, hNode);
                double tSel = Now() - tStart;
                printf("  round %d: selection %.1f ms\n", nRound + 1, tSel * 1000);
                if (tSel < tSelection)
                    tSelection = tSel;
            });
            nChildren = (int)d.Children(hNode).size();
        }
        d.Cancel();
    });

    printf("select_bench: a folder of %d subfolders (best of %d rounds)\n", nListed, nRounds);
    printf("  bare listing (FindFirstFileA/FindNextFileA):     %8.1f ms\n", tListing * 1000);
    printf("  selection (listing, rebuilding, sorting):        %8.1f ms  (%d child nodes)\n", tSelection * 1000,
           nChildren);
    printf("  ratio selection / bare listing:                  %8.1f\n", tSelection / tListing);
    return nChildren == nListed ? 0 : 1;
}
