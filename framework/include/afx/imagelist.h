// CImageList: owns an image list handle. Header only.
#pragma once

#include "fxdefs.h"

class CImageList {
public:
    CImageList() : m_hImageList(NULL) {}
    ~CImageList() { DeleteImageList(); }

    HIMAGELIST m_hImageList;
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    operator HIMAGELIST() const { return m_hImageList; }

    // ImageList_Create; FALSE if this object already holds a list
    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
    {
        if (m_hImageList)
            return FALSE;
        m_hImageList = ImageList_Create(cx, cy, nFlags, nInitial, nGrow);
        return m_hImageList != NULL;
    }
    // ImageList_Destroy
    BOOL DeleteImageList()
    {
        if (!m_hImageList)
            return FALSE;
        BOOL bResult = ImageList_Destroy(m_hImageList);
        m_hImageList = NULL;
        return bResult;
    }
    // ImageList_ReplaceIcon with index -1: appends the icon, returns its index
    int Add(HICON hIcon) { return ImageList_ReplaceIcon(m_hImageList, -1, hIcon); }
    // ImageList_GetImageCount
    int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
    // ImageList_GetIcon
    HICON ExtractIcon(int nImage) { return ImageList_GetIcon(m_hImageList, nImage, ILD_NORMAL); }

private:
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
};
