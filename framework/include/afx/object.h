// CObject: the root of the framework's class tree, and CRuntimeClass, the
// record by which a module lists its classes in the module state.
#pragma once

#include "fxdefs.h"

struct FX_API CRuntimeClass {
    LPCSTR m_lpszClassName;
    CRuntimeClass* m_pNextClass;  // next class registered by the same module
};

// A static AFX_CLASSINIT puts a class at the head of the current module
// state's class list when the module's static objects are constructed.
struct FX_API AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

class FX_API CObject {
public:
    virtual ~CObject() {}

    // Objects come from the framework's allocation: when memory is
    // exhausted, new throws CMemoryException*.
    static void* operator new(size_t nSize);
    static void operator delete(void* p);
    static void* operator new(size_t, void* p) noexcept { return p; }
    static void operator delete(void*, void*) noexcept {}

protected:
    CObject() {}

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};
