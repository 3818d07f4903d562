// Tree-node helpers.
#include "TreeNodes.h"
#include "UserTexts.h"

#include <algorithm>

void ReportFolderListFull(HWND hOwner, CArray<CString, CString&>& arrDirs, CArray<int, int>* parrNameStarts,
                          const char* pszCause)
{
    CString strText = VarnetText::LIST_FULL;
    strText += pszCause;
    UINT nType = MB_OK | MB_ICONEXCLAMATION;
    if (hOwner)
        AfxOwnedMessageBox(hOwner, strText, nType);
    else
        AfxTopMessageBox(strText, nType);
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

HTREEITEM InsertNode(CTreeCtrl* pTree, HTREEITEM hParent, HTREEITEM hInsertAfter, const char* pszText, int nImage,
                     int nSelectedImage, LPARAM lData)
{
    TVINSERTSTRUCTA tvis = {};
    tvis.hParent = hParent;
    tvis.hInsertAfter = hInsertAfter;
    tvis.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | (lData ? TVIF_PARAM : 0);
    tvis.item.lParam = lData;
    tvis.item.pszText = (LPSTR)pszText;
    tvis.item.iImage = nImage;
    tvis.item.iSelectedImage = nSelectedImage;
    return pTree->InsertItem(&tvis);
}

HTREEITEM InsertFolderNode(CTreeCtrl* pTree, HTREEITEM hParent, const char* pszName, LPARAM lVerdict,
                           HTREEITEM hWhere)
{
    // The place is named as such (TVI_LAST): a null handle means the last
    // place too, but Wine's tree view finds that place by walking the
    // siblings.
    return InsertNode(pTree, hParent, hWhere, pszName, 0, 1, lVerdict);
}

int CPathSiblings::FindNext(const CString* pNames, const std::vector<int>& order) const
{
    if (m_strNext.IsEmpty())
        return -1;
    for (int i = 0; i < (int)order.size(); i++)
        if (pNames[order[i]].Compare(m_strNext) == 0)
            return i;
    return -1;
}

void CPathSiblings::Keep(HTREEITEM hParent, bool bBefore, const CString& strName, LPARAM lVerdict)
{
    m_siblings.push_back(Sibling{ hParent, bBefore, strName, lVerdict });
}

void CPathSiblings::InsertAll()
{
    // Those before the node of the path, each as the first child, from the
    // last to the first; then those after it, each as the last.
    for (auto it = m_siblings.rbegin(); it != m_siblings.rend(); ++it)
        if (it->bBefore)
            InsertFolderNode(m_pTree, it->hParent, it->strName, it->lVerdict, TVI_FIRST);
    for (const Sibling& sibling : m_siblings)
        if (!sibling.bBefore)
            InsertFolderNode(m_pTree, sibling.hParent, sibling.strName, sibling.lVerdict);
    m_siblings.clear();
}

BOOL SetFolderLabel(CTreeCtrl* pTree, HTREEITEM hItem, const char* pszName)
{
    // The label crosses to the control in the dialog's text code page; the
    // note of what the parent's listing said of the old name goes.
    return pTree->SetItemText(hItem, pszName) && pTree->SetItemData(hItem, 0);
}

// Is hItem below hAncestor?
static bool IsBelow(CTreeCtrl* pTree, HTREEITEM hItem, HTREEITEM hAncestor)
{
    for (HTREEITEM h = hItem ? pTree->GetParentItem(hItem) : NULL; h; h = pTree->GetParentItem(h))
        if (h == hAncestor)
            return true;
    return false;
}

void DeleteChildNodes(CTreeCtrl* pTree, HTREEITEM hItem)
{
    HTREEITEM hChild = pTree->GetChildItem(hItem);
    if (!hChild)
        return;

    // With the selection below, each child goes by itself, and the control
    // moves the selection as it would.
    if (IsBelow(pTree, pTree->GetSelectedItem(), hItem)) {
        while (hChild) {
            HTREEITEM hNext = pTree->GetNextSiblingItem(hChild);
            pTree->DeleteItem(hChild);
            hChild = hNext;
        }
        return;
    }

    // Otherwise all in one message, which the control carries out several
    // times faster than one deletion per child. It also collapses the node:
    // its expanded state is set back as deleting the children leaves it.
    UINT nExpanded = pTree->GetItemState(hItem, TVIS_EXPANDED) & TVIS_EXPANDED;
    pTree->Expand(hItem, TVE_COLLAPSE | TVE_COLLAPSERESET);
    if (nExpanded)
        pTree->SetItemState(hItem, TVIS_EXPANDED, TVIS_EXPANDED);
}

// Appends the locale's case-insensitive sort key of a label of nChars
// characters (its terminating zero included) to keys.
static bool AppendSortKey(LPCWSTR pszLabel, int nChars, std::vector<BYTE>& keys)
{
    size_t nAt = keys.size();
    int nRoom = 8 * nChars + 64;
    for (int nTry = 0; nTry < 2 && nRoom > 0; nTry++) {
        keys.resize(nAt + nRoom);
        int nKey = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, pszLabel, -1,
                                (LPWSTR)&keys[nAt], nRoom);
        if (nKey > 0) {
            keys.resize(nAt + nKey);
            return true;
        }
        nRoom = LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, pszLabel, -1, NULL, 0);
    }
    keys.resize(nAt);
    return false;
}

bool OrderLikeTree(const CString* pNames, int nCount, std::vector<int>& order)
{
    // The sort key of each label as the control holds it (UTF-16 from the
    // text code page), one after another in one buffer.
    std::vector<WCHAR> label;
    std::vector<BYTE> keys;
    std::vector<size_t> keyAt(nCount + 1);
    for (int i = 0; i < nCount; i++) {
        int nBytes = pNames[i].GetLength() + 1;  // a character takes at least one byte
        label.resize(nBytes);
        int nChars = MultiByteToWideChar(AfxGetTextCodePage(), 0, pNames[i], nBytes, &label[0], nBytes);
        keyAt[i] = keys.size();
        if (nChars <= 0 || !AppendSortKey(&label[0], nChars, keys))
            return false;
    }
    keyAt[nCount] = keys.size();

    // Sort keys compare as CompareStringW (and so lstrcmpiW) compares the
    // labels; the stable sort keeps equal names in their given order, as
    // the control's own sort does.
    order.resize(nCount);
    for (int i = 0; i < nCount; i++)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return std::lexicographical_compare(keys.begin() + keyAt[a], keys.begin() + keyAt[a + 1],
                                            keys.begin() + keyAt[b], keys.begin() + keyAt[b + 1]);
    });
    return true;
}

bool SortLikeTree(std::vector<CString>& names)
{
    int nCount = (int)names.size();
    std::vector<int> order;
    if (!OrderLikeTree(names.data(), nCount, order))
        return false;
    std::vector<CString> sorted(nCount);
    for (int i = 0; i < nCount; i++)
        sorted[i] = std::move(names[order[i]]);
    names.swap(sorted);
    return true;
}

// The guards' count on the window.
static const char s_szRedrawOff[] = "VarnetRedrawOff";

CRedrawOff::CRedrawOff(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : NULL)
{
    if (!m_hWnd)
        return;
    UINT_PTR nDepth = (UINT_PTR)::GetPropA(m_hWnd, s_szRedrawOff);
    if (nDepth == 0)
        ::SendMessageA(m_hWnd, WM_SETREDRAW, FALSE, 0);
    ::SetPropA(m_hWnd, s_szRedrawOff, (HANDLE)(nDepth + 1));
}

CRedrawOff::~CRedrawOff()
{
    if (!m_hWnd)
        return;
    UINT_PTR nDepth = (UINT_PTR)::GetPropA(m_hWnd, s_szRedrawOff);
    if (nDepth > 1) {
        ::SetPropA(m_hWnd, s_szRedrawOff, (HANDLE)(nDepth - 1));
        return;
    }
    ::RemovePropA(m_hWnd, s_szRedrawOff);
    ::SendMessageA(m_hWnd, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_hWnd, NULL, TRUE);
}

int CChildIndex::Add(int nParent, HTREEITEM hItem, const CString& strLabel)
{
    int nNode = (int)m_nodes.size();
    m_nodes.push_back(Node{ hItem, -1, -1, -1, hItem == NULL, strLabel });
    if (hItem)
        m_existing[hItem] = nNode;
    if (nParent >= 0) {
        std::string strKey((const char*)&nParent, sizeof nParent);
        m_labels.emplace(strKey + (const char*)strLabel, nNode);  // the first of a label stays
    }
    return nNode;
}

int CChildIndex::NodeOf(HTREEITEM hItem)
{
    auto it = m_existing.find(hItem);
    return it != m_existing.end() ? it->second : Add(-1, hItem, "");
}

int CChildIndex::Child(int nParent, const CString& strLabel)
{
    // The children already in the control, in sibling order, the first time.
    if (!m_nodes[nParent].bRead) {
        m_nodes[nParent].bRead = true;
        HTREEITEM hParent = m_nodes[nParent].hItem;
        for (HTREEITEM hChild = m_pTree->GetChildItem(hParent); hChild; hChild = m_pTree->GetNextSiblingItem(hChild))
            Add(nParent, hChild, m_pTree->GetItemText(hChild));
    }
    std::string strKey((const char*)&nParent, sizeof nParent);
    auto it = m_labels.find(strKey + (const char*)strLabel);
    if (it != m_labels.end())
        return it->second;

    return AddNew(nParent, strLabel);
}

int CChildIndex::AddNew(int nParent, const CString& strLabel)
{
    // A new last child.
    int nNode = Add(nParent, NULL, strLabel);
    Node& parent = m_nodes[nParent];
    if (parent.nLastNew >= 0)
        m_nodes[parent.nLastNew].nNextNew = nNode;
    else
        parent.nFirstNew = nNode;
    parent.nLastNew = nNode;
    return nNode;
}

void CChildIndex::InsertPath(HTREEITEM hParent, const CString& strRest, int nNameStart)
{
    // The labels before the name are exact names: they hold no backslash,
    // and Find walks by characters.
    int nCurrent = NodeOf(hParent);
    int nStart = 1;
    while (nStart < nNameStart) {
        int nEnd = strRest.Find('\\', nStart);
        if (nEnd == -1 || nEnd > nNameStart - 1)
            nEnd = nNameStart - 1;
        nCurrent = Child(nCurrent, strRest.Mid(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    AddNew(nCurrent, strRest.Mid(nNameStart));
}

void CChildIndex::InsertNodes(std::vector<HTREEITEM>* pParents)
{
    // Breadth first from the existing nodes that were given children: each
    // node's new children in the order they were added, after its existing
    // ones. A node the control refused takes its subtree with it.
    std::vector<int> queue;
    for (int i = 0; i < (int)m_nodes.size(); i++)
        if (m_nodes[i].hItem && m_nodes[i].nFirstNew >= 0)
            queue.push_back(i);
    for (size_t nNext = 0; nNext < queue.size(); nNext++) {
        const Node& parent = m_nodes[queue[nNext]];
        if (pParents)
            pParents->push_back(parent.hItem);
        for (int nChild = parent.nFirstNew; nChild >= 0; nChild = m_nodes[nChild].nNextNew) {
            Node& child = m_nodes[nChild];
            child.hItem = InsertFolderNode(m_pTree, parent.hItem, child.strLabel);
            if (child.hItem && child.nFirstNew >= 0)
                queue.push_back(nChild);
        }
    }
}

void RebuildSubtree(CTreeCtrl* pTree, HTREEITEM hRoot, const char* pszRootPath, CArray<CString, CString&>& arrDirs,
                    CArray<int, int>& arrNameStarts, std::vector<HTREEITEM>* pParents)
{
    CRedrawOff noRedraw(pTree);

    // The old subtree goes; the node itself stays.
    DeleteChildNodes(pTree, hRoot);

    // Paths are matched below the root without its trailing backslash (C:\ counts as C:).
    CString strRoot(pszRootPath);
    strRoot.TrimRight('\\');

    // Each collected folder becomes one node below the nodes of its
    // ancestors; its own name, from where the worker says it starts, is
    // one label. Ancestors are looked up in constant time, with the result
    // of a linear search of the siblings (the first child of a label wins),
    // and made when missing (after the list was emptied).
    CChildIndex index(pTree);
    for (int i = 0; i < arrDirs.GetSize() && i < arrNameStarts.GetSize(); i++) {
        CString strRest = arrDirs[i].Mid(strRoot.GetLength());
        index.InsertPath(hRoot, strRest, arrNameStarts[i] - strRoot.GetLength());
    }
    index.InsertNodes(pParents);
}

void ExpandRebuiltSubtree(CTreeCtrl* pTree, HTREEITEM hRoot, const std::vector<HTREEITEM>& parents)
{
    if (parents.empty())
        return;
    // The deeper nodes are expanded while hRoot is collapsed, where none of
    // them is shown: expanding a shown node recomputes the rows shown after
    // it. Collapsing hRoot moves no selection: nothing below it is selected
    // after the rebuild. The order of expansion changes no final state.
    if (pTree->GetItemState(hRoot, TVIS_EXPANDED) & TVIS_EXPANDED)
        pTree->Expand(hRoot, TVE_COLLAPSE);
    for (HTREEITEM hItem : parents)
        if (hItem != hRoot)
            pTree->Expand(hItem, TVE_EXPAND);
    pTree->Expand(hRoot, TVE_EXPAND);
}
