// Shared pieces of the tests of Expand Recursive and the keys.
#include "scan_support.h"

HTREEITEM SelectNodeOf(Driver& d, const CString& strPath)
{
    HTREEITEM hNode = NodeOf(d, strPath);
    EXPECT_NE(nullptr, hNode) << "no node for " << strPath;
    if (hNode)
        d.SelectNode(hNode);
    return hNode;
}

// Runs on the user-interface thread.
static void AddSubtree(CTreeCtrl* pTree, HTREEITEM hNode, const CString& strPrefix, std::vector<CString>& paths)
{
    for (HTREEITEM hChild = pTree->GetChildItem(hNode); hChild; hChild = pTree->GetNextSiblingItem(hChild)) {
        CString strPath = strPrefix + pTree->GetItemText(hChild);
        paths.push_back(strPath);
        AddSubtree(pTree, hChild, strPath + "\\", paths);
    }
}

std::vector<CString> Subtree(Driver& d, HTREEITEM hNode)
{
    std::vector<CString> paths;
    d.OnUi([&] { AddSubtree((CTreeCtrl*)CWnd::FromHandle(d.Item(IDC_FOLDER_TREE)), hNode, "", paths); });
    return paths;
}

bool IsFullyExpanded(Driver& d, HTREEITEM hNode)
{
    bool bAll = true;
    d.OnUi([&] {
        HWND hTree = d.Item(IDC_FOLDER_TREE);
        std::function<void(HTREEITEM)> check = [&](HTREEITEM h) {
            HTREEITEM hChild = TreeView_GetChild(hTree, h);
            if (hChild && !(TreeView_GetItemState(hTree, h, TVIS_EXPANDED) & TVIS_EXPANDED))
                bAll = false;
            for (; hChild; hChild = TreeView_GetNextSibling(hTree, hChild))
                check(hChild);
        };
        check(hNode);
    });
    return bAll;
}

static void AddFolders(const CString& strFolder, const CString& strPrefix, std::vector<CString>& paths)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(strFolder + "\\*.*", &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, ".."))
            continue;
        paths.push_back(strPrefix + fd.cFileName);
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            AddFolders(strFolder + "\\" + fd.cFileName, strPrefix + fd.cFileName + "\\", paths);
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
}

std::vector<CString> FoldersOnDisk(const CString& strFolder)
{
    std::vector<CString> paths;
    AddFolders(strFolder, "", paths);
    return paths;
}

namespace {
struct Hold {
    DWORD nUiThread, nScriptThread;
    LONG nSkip;   // -1 at the allocation held, below after it
    LONG nAfter;  // the worker's allocations after the one held
    HANDLE hHeld, hReleased;
    bool bRefuse;
    AFX_ALLOC_HOOK pfnOld;
} s_hold;

BOOL HoldWorker(size_t, BOOL, LONG)
{
    DWORD nThread = GetCurrentThreadId();
    if (nThread == s_hold.nUiThread || nThread == s_hold.nScriptThread)
        return TRUE;
    LONG nSkip = InterlockedDecrement(&s_hold.nSkip);
    if (nSkip < -1)
        InterlockedIncrement(&s_hold.nAfter);
    if (nSkip != -1)
        return TRUE;
    SetEvent(s_hold.hHeld);
    WaitForSingleObject(s_hold.hReleased, INFINITE);
    return !s_hold.bRefuse;
}
}  // namespace

WorkerHold::WorkerHold(Driver& d, int nSkip)
{
    s_hold.nUiThread = GetWindowThreadProcessId(d.Dialog(), NULL);
    s_hold.nScriptThread = GetCurrentThreadId();
    s_hold.nSkip = nSkip;
    s_hold.nAfter = 0;
    s_hold.hHeld = CreateEventA(NULL, TRUE, FALSE, NULL);
    s_hold.hReleased = CreateEventA(NULL, TRUE, FALSE, NULL);
    s_hold.bRefuse = false;
    s_hold.pfnOld = AfxSetAllocHook(HoldWorker);
}

WorkerHold::~WorkerHold()
{
    Release();
    AfxSetAllocHook(s_hold.pfnOld);
    CloseHandle(s_hold.hHeld);
    CloseHandle(s_hold.hReleased);
}

bool WorkerHold::WaitUntilHeld(DWORD nTimeoutMs)
{
    return WaitForSingleObject(s_hold.hHeld, nTimeoutMs) == WAIT_OBJECT_0;
}

int WorkerHold::AllocationsAfterRelease() const
{
    return (int)s_hold.nAfter;
}

void WorkerHold::Release(bool bRefuse)
{
    s_hold.bRefuse = bRefuse;
    SetEvent(s_hold.hReleased);
}
