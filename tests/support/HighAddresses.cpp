// Under 64-bit Wine the heaps and thread stacks lie below 4 GB. Once every
// free region below 4 GB is reserved and the heaps' low free blocks are
// taken, a heap can grow, a new heap or a thread stack can be made only
// above 4 GB. The main thread's stack stays below: the tests run on another.
#include "HighAddresses.h"

#include <windows.h>
#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifdef _WIN64

namespace {

const ULONG_PTR k4G = 0x100000000ull;
bool g_bOn;

bool IsLow(const void* p) { return (ULONG_PTR)p < k4G; }

// Reserves every free region below 4 GB, from the allocation granularity up.
void ReserveLowSpace()
{
    MEMORY_BASIC_INFORMATION mbi;
    for (ULONG_PTR p = 0x10000; p < k4G && VirtualQuery((void*)p, &mbi, sizeof mbi);) {
        ULONG_PTR end = (ULONG_PTR)mbi.BaseAddress + mbi.RegionSize;
        ULONG_PTR base = (p + 0xFFFF) & ~(ULONG_PTR)0xFFFF, top = end < k4G ? end : k4G;
        if (mbi.State == MEM_FREE && base < top)
            VirtualAlloc((void*)base, top - base, MEM_RESERVE, PAGE_NOACCESS);
        p = end;
    }
}

// Allocates blocks of `cb` bytes until one comes from above 4 GB; the low
// ones stay allocated for good.
void DrainLowBlocks(HANDLE hHeap, SIZE_T cb)
{
    for (;;) {
        void* p = HeapAlloc(hHeap, 0, cb);
        if (p && !IsLow(p))
            HeapFree(hHeap, 0, p);
        if (!p || !IsLow(p))
            return;
    }
}

// Takes a heap's free space below 4 GB (including what it has reserved but
// not committed), large sizes first so that each smaller one finds only the
// gaps that the larger left.
void DrainLowHeap(HANDLE hHeap)
{
    static const SIZE_T kLarge[] = {1 << 20, 1 << 16, 1 << 12};
    for (SIZE_T cb : kLarge)
        DrainLowBlocks(hHeap, cb);
    for (SIZE_T cb = 2048; cb >= 8; cb -= 8)
        DrainLowBlocks(hHeap, cb);
}

bool HasLowFreeBlock(HANDLE hHeap)
{
    const WORD kNotFree = PROCESS_HEAP_ENTRY_BUSY | PROCESS_HEAP_REGION | PROCESS_HEAP_UNCOMMITTED_RANGE;
    PROCESS_HEAP_ENTRY entry = {};
    bool bLow = false;
    HeapLock(hHeap);
    while (!bLow && HeapWalk(hHeap, &entry))
        bLow = !(entry.wFlags & kNotFree) && IsLow(entry.lpData);
    HeapUnlock(hHeap);
    return bLow;
}

DWORD WINAPI StackProbe(LPVOID pResult)
{
    int local;
    *(ULONG_PTR*)pResult = (ULONG_PTR)&local;
    return 0;
}

DWORD WINAPI RunThread(LPVOID pRun)
{
    return ((int (*)())pRun)();
}

// What a test may get below 4 GB, said as a sentence, or NULL when all of
// it lies above.
const char* FindLowAddress()
{
    void* p = malloc(24);
    bool bLow = IsLow(p);
    free(p);
    if (bLow)
        return "a malloc block lies below 4 GB";
    HANDLE hHeaps[64];
    DWORD nHeaps = GetProcessHeaps(64, hHeaps);
    for (DWORD i = 0; i < nHeaps && i < 64; i++)
        if (HasLowFreeBlock(hHeaps[i]))
            return "a free block of a heap lies below 4 GB";
    HANDLE hHeap = HeapCreate(0, 0, 0);
    bLow = IsLow(HeapAlloc(hHeap, 0, 24));
    HeapDestroy(hHeap);
    if (bLow)
        return "a block of a new heap lies below 4 GB";
    ULONG_PTR stack = 0;
    HANDLE hThread = CreateThread(NULL, 0, StackProbe, &stack, 0, NULL);
    WaitForSingleObject(hThread, INFINITE);
    CloseHandle(hThread);
    if (IsLow((void*)stack))
        return "the stack of a new thread lies below 4 GB";
    HWND hTree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_POPUP, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    TVINSERTSTRUCTA tvis = {};
    tvis.hInsertAfter = TVI_LAST;
    tvis.item.mask = TVIF_TEXT;
    tvis.item.pszText = (LPSTR) "item";
    HTREEITEM hItem = TreeView_InsertItem(hTree, &tvis);
    DestroyWindow(hTree);
    if (!hItem)
        return "no tree item could be made";
    if (IsLow(hItem))
        return "a tree item lies below 4 GB";
    return NULL;
}

}  // namespace

void EnterHighAddresses()
{
    const char* psz = getenv("VARNET_HIGH_ADDRESSES");
    if (!psz || strcmp(psz, "1"))
        return;
    g_bOn = true;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    ReserveLowSpace();
    HANDLE hHeaps[64];
    DWORD nHeaps = GetProcessHeaps(64, hHeaps);
    for (DWORD i = 0; i < nHeaps && i < 64; i++)
        DrainLowHeap(hHeaps[i]);
    CheckHighAddresses("at the start");
}

int RunOnHighStack(int (*pfnRun)())
{
    if (!g_bOn)
        return pfnRun();
    HANDLE hThread = CreateThread(NULL, 0, RunThread, (LPVOID)pfnRun, 0, NULL);
    DWORD dwResult = 1;
    WaitForSingleObject(hThread, INFINITE);
    GetExitCodeThread(hThread, &dwResult);
    CloseHandle(hThread);
    return (int)dwResult;
}

void CheckHighAddresses(const char* pszWhen)
{
    if (!g_bOn)
        return;
    if (const char* pszWhat = FindLowAddress()) {
        fprintf(stderr, "\nHIGH ADDRESSES: %s %s; the mode does not hold.\n", pszWhat, pszWhen);
        fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 96);
    }
}

#else

void EnterHighAddresses() {}
int RunOnHighStack(int (*pfnRun)()) { return pfnRun(); }
void CheckHighAddresses(const char*) {}

#endif
