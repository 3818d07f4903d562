// CComboBoxEx: an extended combo box (items with images). Header only.
#pragma once

#include "combobox.h"
#include "imagelist.h"

class CComboBoxEx : public CComboBox {
public:
    // CBEM_INSERTITEMA: returns the new item's index, or -1
    int InsertItem(const COMBOBOXEXITEMA* pCBItem) { return (int)SendMessage(CBEM_INSERTITEMA, 0, (LPARAM)pCBItem); }
    // CBEM_DELETEITEM
    int DeleteItem(int iIndex) { return (int)SendMessage(CBEM_DELETEITEM, iIndex); }
    // CBEM_GETITEMA
    BOOL GetItem(COMBOBOXEXITEMA* pCBItem) const { return (BOOL)SendMessage(CBEM_GETITEMA, 0, (LPARAM)pCBItem); }
    // CBEM_SETIMAGELIST: returns the previous list
    HIMAGELIST SetImageList(CImageList* pImageList)
    {
        return (HIMAGELIST)SendMessage(CBEM_SETIMAGELIST, 0, (LPARAM)(pImageList ? pImageList->m_hImageList : NULL));
    }
    // CBEM_GETIMAGELIST
    HIMAGELIST GetImageList() const { return (HIMAGELIST)SendMessage(CBEM_GETIMAGELIST); }
    // CBEM_GETCOMBOCONTROL
    HWND GetComboBoxCtrl() const { return (HWND)SendMessage(CBEM_GETCOMBOCONTROL); }
};
