// The framework's memory: every allocation of its types (strings, arrays,
// objects, handle maps) goes through AfxAllocMemory, and exhaustion throws
// CMemoryException* (never std::bad_alloc), so that one catch clause sees
// every out-of-memory failure of the framework.
#pragma once

#include "fxdefs.h"

#include <stddef.h>

// Throws the framework's preallocated memory exception (allocating a new
// exception object could itself fail when memory is exhausted).
[[noreturn]] FX_API void AfxThrowMemoryException();

// Allocation through which the framework's types get their memory. Returns
// NULL when memory is exhausted or when the allocation hook refuses.
// bObject: the block is for an object of a CObject-derived class.
FX_API void* AfxAllocMemory(size_t nBytes, BOOL bObject = FALSE);
FX_API void AfxFreeMemory(void* p);

// An allocation hook is called before each allocation of the framework's
// types with the size asked for; returning FALSE makes the allocation
// fail. Returns the previous hook. Meant for testing out-of-memory paths.
typedef BOOL (*AFX_ALLOC_HOOK)(size_t nSize, BOOL bObject, LONG lRequestNumber);
FX_API AFX_ALLOC_HOOK AfxSetAllocHook(AFX_ALLOC_HOOK pfnAllocHook);

// A standard-library allocator on AfxAllocMemory, for the containers inside
// the framework's types.
template <class T>
struct CAfxAllocator {
    typedef T value_type;

    CAfxAllocator() noexcept {}
    template <class U>
    CAfxAllocator(const CAfxAllocator<U>&) noexcept {}

    T* allocate(size_t n)
    {
        if (n > (size_t)-1 / sizeof(T))
            AfxThrowMemoryException();
        void* p = AfxAllocMemory(n * sizeof(T));
        if (!p)
            AfxThrowMemoryException();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t) noexcept { AfxFreeMemory(p); }

    template <class U>
    bool operator==(const CAfxAllocator<U>&) const noexcept { return true; }
    template <class U>
    bool operator!=(const CAfxAllocator<U>&) const noexcept { return false; }
};
