// CObject: objects in the framework's memory.
#include "afx/allocator.h"
#include "afx/object.h"

void* CObject::operator new(size_t nSize)
{
    void* p = AfxAllocMemory(nSize, TRUE);
    if (!p)
        AfxThrowMemoryException();
    return p;
}

void CObject::operator delete(void* p)
{
    AfxFreeMemory(p);
}
