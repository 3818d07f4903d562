// VarnetPick: the pick-folder tool. Opens the folder dialog on the initial
// path given and prints the chosen folder.
//   VarnetPick.exe [initial path]
// OK: prints the path and a line feed, exit code 0. Cancel: prints nothing,
// exit code 1. The dialog cannot be created, or wrong arguments: a reason on
// standard error, exit code 2.
#include <FolderTreeDlg.h>

#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc > 2 || (argc == 2 && (strcmp(argv[1], "/?") == 0 || strcmp(argv[1], "--help") == 0))) {
        fprintf(stderr, "usage: VarnetPick.exe [initial path]\n");
        return 2;
    }
    CWinApp app("Varnet");
    CFolderTreeDlg dlg(argc == 2 ? argv[1] : NULL);
    INT_PTR nResult = dlg.DoModal();
    if (nResult == IDOK) {
        printf("%s\n", (const char*)dlg.m_strSelectedPath);
        fflush(stdout);
        return 0;
    }
    if (nResult == IDCANCEL)
        return 1;
    fprintf(stderr, "VarnetPick: the folder dialog could not be created (error %lu)\n", GetLastError());
    return 2;
}
