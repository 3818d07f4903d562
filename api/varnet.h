/* varnet.h: the C interface of Varnet.dll, a modal dialog that chooses a
 * folder. C89, C99 and C++, any compiler; needs only <windows.h>.
 *
 *     wchar_t *path;
 *     if (VarnetPickFolderW(hwnd, L"D:\\data", &path) == VARNET_OK) {
 *         use(path);
 *         VarnetFreePath(path);
 *     }
 *
 * Any thread that may own windows can call it, repeatedly, and two threads
 * at once (each its own dialog). The host needs no COM and no framework of
 * Varnet's. Every folder name is chosen exactly, whatever the host's code
 * page: the paths are UTF-16 (...W) or UTF-8 (...U8). */
#ifndef VARNET_H
#define VARNET_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VARNET_OK      1    /* a folder was chosen: *ppszPath holds its full path */
#define VARNET_CANCEL  2    /* Cancel, Esc, the close box, WM_QUIT, the owner destroyed: *ppszPath is NULL */
#define VARNET_ERROR (-1)   /* the dialog could not run: *ppszPath is NULL, VarnetGetError tells why */

/* Runs the dialog, owned by hwndOwner (NULL: the calling thread's active
 * window, if any), which is disabled while it runs. pszInitial is the
 * folder it opens on; NULL or empty opens drive C. On VARNET_OK *ppszPath
 * is the chosen folder's full path, to be freed with VarnetFreePath. A
 * WM_QUIT that ends the dialog is posted again for the caller's loop. */
int WINAPI VarnetPickFolderW(HWND hwndOwner, const wchar_t *pszInitial, wchar_t **ppszPath);
int WINAPI VarnetPickFolderU8(HWND hwndOwner, const char *pszInitial, char **ppszPath);

/* Frees a path from either function; NULL is fine. */
void WINAPI VarnetFreePath(void *pszPath);

/* Why the last VARNET_ERROR on the calling thread, in the system's own
 * words where a system call failed; "" before any. Valid until the
 * thread's next call. */
const wchar_t *WINAPI VarnetGetErrorW(void);
const char *WINAPI VarnetGetErrorU8(void);

#ifdef __cplusplus
}
#endif

#endif /* VARNET_H */
