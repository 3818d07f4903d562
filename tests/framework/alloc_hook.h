// Installs a framework allocation hook for a scope (see AfxSetAllocHook).
#pragma once

#include <afxwin.h>

class AllocHook {
public:
    explicit AllocHook(AFX_ALLOC_HOOK pfn) : m_pfnOld(AfxSetAllocHook(pfn)) {}
    ~AllocHook() { AfxSetAllocHook(m_pfnOld); }

private:
    AFX_ALLOC_HOOK m_pfnOld;
};
