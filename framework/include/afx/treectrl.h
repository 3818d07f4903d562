// CTreeCtrl: a tree-view control. Header only: one inline wrapper per
// message, with the usual convenience forms built on TVM_GETNEXTITEM.
#pragma once

#include "codepage.h"
#include "edit.h"
#include "imagelist.h"

#include <string>

class CTreeCtrl : public CWnd {
public:
    // TVM_GETNEXTITEM
    HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const
    {
        return (HTREEITEM)SendMessage(TVM_GETNEXTITEM, nCode, (LPARAM)hItem);
    }
    HTREEITEM GetRootItem() const { return GetNextItem(NULL, TVGN_ROOT); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(NULL, TVGN_CARET); }
    HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
    HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUS); }
    HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }

    // TVM_GETITEMA
    BOOL GetItem(TVITEMA* pItem) const { return (BOOL)SendMessage(TVM_GETITEMA, 0, (LPARAM)pItem); }
    // TVM_SETITEMA
    BOOL SetItem(TVITEMA* pItem) { return (BOOL)SendMessage(TVM_SETITEMA, 0, (LPARAM)pItem); }
    // TVM_GETITEMA with TVIF_CHILDREN: the item's children count flag
    BOOL ItemHasChildren(HTREEITEM hItem) const
    {
        TVITEMA item = {};
        item.mask = TVIF_CHILDREN | TVIF_HANDLE;
        item.hItem = hItem;
        return GetItem(&item) && item.cChildren != 0;
    }
    // TVM_GETITEMW with TVIF_TEXT: the whole label, however long.
    std::wstring GetItemTextW(HTREEITEM hItem) const
    {
        for (int nSize = 256;; nSize *= 2) {
            std::wstring strBuffer(nSize, L'\0');
            TVITEMW item = {};
            item.mask = TVIF_TEXT | TVIF_HANDLE;
            item.hItem = hItem;
            item.pszText = &strBuffer[0];
            item.cchTextMax = nSize;
            if (!SendMessage(TVM_GETITEMW, 0, (LPARAM)&item))
                return std::wstring();
            // The control may answer with a text of its own instead of the buffer.
            std::wstring strWide = item.pszText ? item.pszText : L"";
            if (item.pszText != &strBuffer[0] || (int)strWide.size() < nSize - 1)
                return strWide;
        }
    }
    // The whole label in the thread's text code page (codepage.h); in the
    // ANSI code page as TVM_GETITEMA gives it. The label is read wide: into
    // an ANSI buffer too small for it the control writes the multibyte
    // characters that fit and no terminating zero, and the text cannot tell
    // whether it is whole.
    CString GetItemText(HTREEITEM hItem) const { return AfxWideToAnsi(GetItemTextW(hItem).c_str()); }
    // TVM_SETITEMW with TVIF_TEXT, from the thread's text code page
    BOOL SetItemText(HTREEITEM hItem, LPCSTR lpszItem)
    {
        std::wstring strText = AfxToWide(lpszItem);
        TVITEMW item = {};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = hItem;
        item.pszText = const_cast<LPWSTR>(strText.c_str());
        return (BOOL)SendMessage(TVM_SETITEMW, 0, (LPARAM)&item);
    }
    // TVM_GETITEMA with TVIF_PARAM: the item's data (0 when it cannot be read)
    DWORD_PTR GetItemData(HTREEITEM hItem) const
    {
        TVITEMA item = {};
        item.mask = TVIF_PARAM | TVIF_HANDLE;
        item.hItem = hItem;
        return GetItem(&item) ? (DWORD_PTR)item.lParam : 0;
    }
    // TVM_SETITEMA with TVIF_PARAM
    BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData)
    {
        TVITEMA item = {};
        item.mask = TVIF_PARAM | TVIF_HANDLE;
        item.hItem = hItem;
        item.lParam = (LPARAM)dwData;
        return SetItem(&item);
    }
    // TVM_GETITEMA with TVIF_IMAGE | TVIF_SELECTEDIMAGE
    BOOL GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const
    {
        TVITEMA item = {};
        item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
        item.hItem = hItem;
        BOOL bResult = GetItem(&item);
        nImage = item.iImage;
        nSelectedImage = item.iSelectedImage;
        return bResult;
    }
    // TVM_SETITEMA with TVIF_STATE
    BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask)
    {
        TVITEMA item = {};
        item.mask = TVIF_STATE | TVIF_HANDLE;
        item.hItem = hItem;
        item.state = nState;
        item.stateMask = nStateMask;
        return SetItem(&item);
    }
    // TVM_GETITEMSTATE
    UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const
    {
        return (UINT)SendMessage(TVM_GETITEMSTATE, (WPARAM)hItem, nStateMask);
    }
    // TVM_GETCOUNT
    UINT GetCount() const { return (UINT)SendMessage(TVM_GETCOUNT); }

    // TVM_INSERTITEMW, the label from the thread's text code page
    HTREEITEM InsertItem(const TVINSERTSTRUCTA* pInsertStruct)
    {
        TVINSERTSTRUCTW tvis;
        memcpy(&tvis, pInsertStruct, sizeof tvis);
        std::wstring strText;
        if ((tvis.item.mask & TVIF_TEXT) && pInsertStruct->item.pszText != LPSTR_TEXTCALLBACKA) {
            strText = AfxToWide(pInsertStruct->item.pszText);
            tvis.item.pszText = const_cast<LPWSTR>(strText.c_str());
        }
        return (HTREEITEM)SendMessage(TVM_INSERTITEMW, 0, (LPARAM)&tvis);
    }
    // TVM_DELETEITEM
    BOOL DeleteItem(HTREEITEM hItem) { return (BOOL)SendMessage(TVM_DELETEITEM, 0, (LPARAM)hItem); }
    BOOL DeleteAllItems() { return DeleteItem(TVI_ROOT); }
    // TVM_EXPAND
    BOOL Expand(HTREEITEM hItem, UINT nCode) { return (BOOL)SendMessage(TVM_EXPAND, nCode, (LPARAM)hItem); }
    // TVM_SELECTITEM
    BOOL Select(HTREEITEM hItem, UINT nCode) { return (BOOL)SendMessage(TVM_SELECTITEM, nCode, (LPARAM)hItem); }
    BOOL SelectItem(HTREEITEM hItem) { return Select(hItem, TVGN_CARET); }
    // TVM_SORTCHILDREN, one level
    BOOL SortChildren(HTREEITEM hItem) { return (BOOL)SendMessage(TVM_SORTCHILDREN, FALSE, (LPARAM)hItem); }
    // TVM_ENSUREVISIBLE
    BOOL EnsureVisible(HTREEITEM hItem) { return (BOOL)SendMessage(TVM_ENSUREVISIBLE, 0, (LPARAM)hItem); }
    // TVM_GETITEMRECT
    BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const
    {
        memcpy(lpRect, &hItem, sizeof hItem);  // the item goes in the rectangle
        return (BOOL)SendMessage(TVM_GETITEMRECT, bTextOnly, (LPARAM)lpRect);
    }

    // TVM_SETIMAGELIST: returns the previous list
    HIMAGELIST SetImageList(CImageList* pImageList, int nImageListType)
    {
        return (HIMAGELIST)SendMessage(TVM_SETIMAGELIST, nImageListType,
                                       (LPARAM)(pImageList ? pImageList->m_hImageList : NULL));
    }
    // TVM_GETIMAGELIST
    HIMAGELIST GetImageList(int nImageListType) const
    {
        return (HIMAGELIST)SendMessage(TVM_GETIMAGELIST, nImageListType);
    }
    // TVM_SETTEXTCOLOR: returns the previous colour
    COLORREF SetTextColor(COLORREF clr) { return (COLORREF)SendMessage(TVM_SETTEXTCOLOR, 0, clr); }
    // TVM_GETTEXTCOLOR
    COLORREF GetTextColor() const { return (COLORREF)SendMessage(TVM_GETTEXTCOLOR); }
    // TVM_SETBKCOLOR: returns the previous colour
    COLORREF SetBkColor(COLORREF clr) { return (COLORREF)SendMessage(TVM_SETBKCOLOR, 0, clr); }
    // TVM_GETBKCOLOR
    COLORREF GetBkColor() const { return (COLORREF)SendMessage(TVM_GETBKCOLOR); }

    // TVM_EDITLABELA: the label editor, or NULL
    CEdit* EditLabel(HTREEITEM hItem)
    {
        return static_cast<CEdit*>(CWnd::FromHandle((HWND)SendMessage(TVM_EDITLABELA, 0, (LPARAM)hItem)));
    }
    // TVM_GETEDITCONTROL
    CEdit* GetEditControl() const
    {
        return static_cast<CEdit*>(CWnd::FromHandle((HWND)SendMessage(TVM_GETEDITCONTROL)));
    }
    // TVM_ENDEDITLABELNOW
    BOOL EndEditLabelNow(BOOL bCancel) { return (BOOL)SendMessage(TVM_ENDEDITLABELNOW, bCancel); }
};
