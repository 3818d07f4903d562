/* A C host linked by LLVM's lld-link against Varnet.lib, the import
 * library for Microsoft's linker, with no library of mingw-w64's and no C
 * run time: malformed UTF-8 is an error with a text, and a dialog that
 * finds WM_QUIT in the queue ends as a cancel. Exit code 0 when both hold. */
#include <windows.h>

#include "varnet.h"

int WINAPI HostEntry(void)
{
    wchar_t *path = (wchar_t *)1;
    char *u8 = (char *)1;
    int nBad = VarnetPickFolderU8(NULL, "D:\\caf\xC3(", &u8);
    int nQuit;
    PostQuitMessage(0);
    nQuit = VarnetPickFolderW(NULL, NULL, &path);
    ExitProcess(nBad == VARNET_ERROR && u8 == NULL && VarnetGetErrorW()[0] && nQuit == VARNET_CANCEL && path == NULL
                    ? 0 : 1);
    return 0;
}
