// Tree-node helpers.
#include "TreeNodes.h"

void ReportFolderListFull(CArray<CString, CString&>& arrDirs, CArray<int, int>* parrNameStarts, const char* pszCause)
{
    CString strText = "Probable to many Dirs\n";
    strText += pszCause;
    // The worker's box has no owner (never a window of the thread that
    // waits for the worker): it is put in front of the user instead.
    UINT nType = MB_OK | MB_ICONEXCLAMATION;
    if (!AfxGetSafeOwner(NULL))
        nType |= MB_TOPMOST | MB_SETFOREGROUND;
    AfxMessageBox(strText, nType);
    arrDirs.RemoveAll();
    if (parrNameStarts)
        parrNameStarts->RemoveAll();
}

HTREEITEM FindChildNode(CTreeCtrl* pTree, HTREEITEM hParent, const char* pszLabel)
{
    for (HTREEITEM hChild = pTree->GetChildItem(hParent); hChild; hChild = pTree->GetNextSiblingItem(hChild))
        if (pTree->GetItemText(hChild).Compare(pszLabel) == 0)
            return hChild;
    return NULL;
}

HTREEITEM InsertFolderNode(CTreeCtrl* pTree, HTREEITEM hParent, const char* pszName)
{
    TVINSERTSTRUCTA tvis = {};
    tvis.hParent = hParent;
    tvis.hInsertAfter = NULL;
    tvis.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tvis.item.pszText = (LPSTR)pszName;
    tvis.item.iImage = 0;
    tvis.item.iSelectedImage = 1;
    return pTree->InsertItem(&tvis);
}

CChildIndex::Labels& CChildIndex::ChildrenOf(HTREEITEM hParent)
{
    auto it = m_children.find(hParent);
    if (it != m_children.end())
        return it->second;
    Labels& labels = m_children[hParent];
    for (HTREEITEM hChild = m_pTree->GetChildItem(hParent); hChild; hChild = m_pTree->GetNextSiblingItem(hChild))
        labels.emplace(std::string(m_pTree->GetItemText(hChild)), hChild);  // the first of a label stays
    return labels;
}

HTREEITEM CChildIndex::Find(HTREEITEM hParent, const CString& strLabel)
{
    Labels& labels = ChildrenOf(hParent);
    auto it = labels.find(std::string(strLabel));
    return it == labels.end() ? NULL : it->second;
}

HTREEITEM CChildIndex::Insert(HTREEITEM hParent, const CString& strLabel)
{
    HTREEITEM hNew = InsertFolderNode(m_pTree, hParent, strLabel);
    if (hNew) {
        ChildrenOf(hParent).emplace(std::string(strLabel), hNew);
        m_children[hNew];  // a new node has no children yet
    }
    return hNew;
}

HTREEITEM CChildIndex::InsertPath(HTREEITEM hParent, const CString& strRest, int nNameStart)
{
    // The labels before the name are exact names: they hold no backslash,
    // and Find walks by characters.
    HTREEITEM hCurrent = hParent;
    int nStart = 1;
    while (hCurrent && nStart < nNameStart) {
        int nEnd = strRest.Find('\\', nStart);
        if (nEnd == -1 || nEnd > nNameStart - 1)
            nEnd = nNameStart - 1;
        CString strName = strRest.Mid(nStart, nEnd - nStart);
        HTREEITEM hFound = Find(hCurrent, strName);
        if (!hFound)
            hFound = Insert(hCurrent, strName);
        hCurrent = hFound;
        nStart = nEnd + 1;
    }
    return hCurrent ? Insert(hCurrent, strRest.Mid(nNameStart)) : NULL;
}
