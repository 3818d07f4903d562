// CArray<TYPE, ARG_TYPE>: a growable array of TYPE. When it is full it grows
// by an eighth of its size, at least 4 and at most 1024 elements (or by the
// step given to SetSize). Memory exhaustion throws CMemoryException*; the
// array is then unchanged.
#pragma once

#include "exception.h"

#include <limits.h>
#include <new>
#include <utility>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
public:
    CArray() {}
    ~CArray() override { FreeAll(); }

    // Attributes
    int GetSize() const { return m_nSize; }
    int GetCount() const { return m_nSize; }
    int GetUpperBound() const { return m_nSize - 1; }
    BOOL IsEmpty() const { return m_nSize == 0; }
    // Capacity, for callers that watch the growth.
    int GetAllocSize() const { return m_nMaxSize; }

    // Element access
    TYPE& operator[](int nIndex) { return m_pData[nIndex]; }
    const TYPE& operator[](int nIndex) const { return m_pData[nIndex]; }
    TYPE& ElementAt(int nIndex) { return m_pData[nIndex]; }
    const TYPE& GetAt(int nIndex) const { return m_pData[nIndex]; }
    void SetAt(int nIndex, ARG_TYPE newElement) { m_pData[nIndex] = newElement; }
    TYPE* GetData() { return m_pData; }

    // Operations
    // Sets the number of elements; nGrowBy >= 0 sets the growth step
    // (0 restores the default rule).
    void SetSize(int nNewSize, int nGrowBy = -1);
    // Appends an element and returns its index.
    int Add(ARG_TYPE newElement);
    void RemoveAt(int nIndex, int nCount = 1);
    void RemoveAll() { SetSize(0); }
    void FreeExtra();

private:
    void FreeAll();
    // Moves the elements into a new block of nNewMax elements.
    void Reallocate(int nNewMax);

    TYPE* m_pData = nullptr;
    int m_nSize = 0;
    int m_nMaxSize = 0;
    int m_nGrowBy = 0;  // 0: the default rule
};

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::FreeAll()
{
    for (int i = 0; i < m_nSize; ++i)
        m_pData[i].~TYPE();
    AfxFreeMemory(m_pData);
    m_pData = nullptr;
    m_nSize = m_nMaxSize = 0;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Reallocate(int nNewMax)
{
    if (nNewMax < 0 || (size_t)nNewMax > (size_t)INT_MAX / sizeof(TYPE))
        AfxThrowMemoryException();
    TYPE* pNew = static_cast<TYPE*>(AfxAllocMemory((size_t)nNewMax * sizeof(TYPE)));
    if (!pNew)
        AfxThrowMemoryException();
    for (int i = 0; i < m_nSize; ++i) {
        ::new ((void*)(pNew + i)) TYPE(std::move(m_pData[i]));
        m_pData[i].~TYPE();
    }
    AfxFreeMemory(m_pData);
    m_pData = pNew;
    m_nMaxSize = nNewMax;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetSize(int nNewSize, int nGrowBy)
{
    if (nGrowBy >= 0)
        m_nGrowBy = nGrowBy;
    if (nNewSize <= 0) {
        FreeAll();
        return;
    }
    if (nNewSize > m_nMaxSize) {
        int nStep = m_nGrowBy;
        if (nStep == 0) {
            nStep = m_nSize / 8;
            nStep = nStep < 4 ? 4 : (nStep > 1024 ? 1024 : nStep);
        }
        int nNewMax = m_nMaxSize + nStep;
        if (nNewMax < nNewSize || nNewMax < m_nMaxSize)
            nNewMax = nNewSize;
        Reallocate(nNewMax);
    }
    for (int i = m_nSize; i < nNewSize; ++i)
        ::new ((void*)(m_pData + i)) TYPE();
    for (int i = nNewSize; i < m_nSize; ++i)
        m_pData[i].~TYPE();
    m_nSize = nNewSize;
}

template <class TYPE, class ARG_TYPE>
int CArray<TYPE, ARG_TYPE>::Add(ARG_TYPE newElement)
{
    // Copy first: newElement may be an element of this array, which the
    // growth would move away.
    TYPE copy(newElement);
    int nIndex = m_nSize;
    SetSize(nIndex + 1);
    m_pData[nIndex] = std::move(copy);
    return nIndex;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::RemoveAt(int nIndex, int nCount)
{
    if (nIndex < 0 || nCount <= 0 || nIndex >= m_nSize)
        return;
    if (nCount > m_nSize - nIndex)
        nCount = m_nSize - nIndex;
    for (int i = nIndex; i + nCount < m_nSize; ++i)
        m_pData[i] = std::move(m_pData[i + nCount]);
    for (int i = m_nSize - nCount; i < m_nSize; ++i)
        m_pData[i].~TYPE();
    m_nSize -= nCount;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::FreeExtra()
{
    if (m_nSize == 0)
        FreeAll();
    else if (m_nSize != m_nMaxSize)
        Reallocate(m_nSize);
}
