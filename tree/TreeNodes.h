// Tree-node helpers shared by the tree and the scan: collecting a folder
// path, finding a child by its label, inserting folder nodes, and keeping
// changes of many nodes cheap.
//
// What costs time in a large tree (Wine's tree view): while the tree
// redraws, every node inserted, deleted or expanded recomputes the rows
// shown; and every message that names an item has the control look the
// handle up among all its items, in the order they were made, so naming a
// node made late in a tree of 50,000 costs about a thousand times more
// than naming one of the first.
#pragma once

#include <afxcmn.h>
#include <afxtempl.h>
#include <afxwin.h>

#include "UserTexts.h"

#include <new>
#include <string>
#include <unordered_map>
#include <vector>

// Says that memory ran out while a folder list was collected: a message
// box ("Probable to many Dirs" and pszCause) owned by hOwner, or put in
// front when there is none (the scan worker's: no window of the thread
// that waits for the worker may own it); empties the list, and where given
// the list kept beside it (name starts, or verdicts on the names).
void ReportFolderListFull(HWND hOwner, CArray<CString, CString&>& arrDirs, CArray<int, int>* parrNameStarts,
                          const char* pszCause);

// Runs collect, which appends to a folder list (and may list further
// folders). When memory runs out inside it, the lists are emptied as
// ReportFolderListFull says, and the caller goes on with its next entry.
template <class Collect>
void CollectFolders(HWND hOwner, CArray<CString, CString&>& arrDirs, CArray<int, int>* parrNameStarts, Collect collect)
{
    try {
        collect();
    } catch (CMemoryException* e) {
        char szCause[255];
        e->GetErrorMessage(szCause, 255);
        e->Delete();
        ReportFolderListFull(hOwner, arrDirs, parrNameStarts, szCause);
    } catch (const std::bad_alloc&) {
        // The standard containers of the listing say it their way.
        ReportFolderListFull(hOwner, arrDirs, parrNameStarts, VarnetText::OUT_OF_MEMORY);
    }
}

// The first child of hParent (in sibling order) whose label equals
// pszLabel exactly (case-sensitive); NULL when none does.
HTREEITEM FindChildNode(CTreeCtrl* pTree, HTREEITEM hParent, const char* pszLabel);

// Inserts a node labelled pszText below hParent after hInsertAfter, with
// the image nImage of the tree's list, also when it is selected, and the
// item data lData.
HTREEITEM InsertNode(CTreeCtrl* pTree, HTREEITEM hParent, HTREEITEM hInsertAfter, const char* pszText, int nImage,
                     int nSelectedImage, LPARAM lData = 0);

// Inserts a folder node (closed-folder image 0, open-folder image 1) after
// the existing children of hParent, or before them with TVI_FIRST. lVerdict:
// what the listing of hParent's folder said about the name (see
// LabelVerdict), 0 when nothing.
HTREEITEM InsertFolderNode(CTreeCtrl* pTree, HTREEITEM hParent, const char* pszName, LPARAM lVerdict = 0,
                           HTREEITEM hWhere = TVI_LAST);

// Gives a folder node another label; what was known about the old one goes.
BOOL SetFolderLabel(CTreeCtrl* pTree, HTREEITEM hItem, const char* pszName);

// Removes every node below hItem; hItem stays, in its expanded state. The
// control removes them in one message unless the selection is among them.
void DeleteChildNodes(CTreeCtrl* pTree, HTREEITEM hItem);

// Puts folder names into the order in which the tree's own sort of a
// node's children (TVM_SORTCHILDREN) leaves them: lstrcmpiW of the labels
// as the control holds them (converted from the ANSI code page), names
// that compare equal keeping their given order. Sorts by the locale's sort
// keys, which cost a fraction of the control's comparisons. Returns false,
// with the names as they were, when a name has no sort key: the caller then
// lets the control sort.
bool SortLikeTree(std::vector<CString>& names);
// The same order as indices into pNames[0 .. nCount - 1], the names left
// where they are.
bool OrderLikeTree(const CString* pNames, int nCount, std::vector<int>& order);

// Suspends a window's redrawing (WM_SETREDRAW) for the guard's lifetime
// and restores it however the scope is left, exceptions included. Guards
// nest: the window keeps their count, and only the outermost turns
// redrawing on again and invalidates the window, which is then drawn
// once.
class CRedrawOff {
public:
    explicit CRedrawOff(CWnd* pWnd);
    ~CRedrawOff();
    CRedrawOff(const CRedrawOff&) = delete;
    CRedrawOff& operator=(const CRedrawOff&) = delete;

private:
    HWND m_hWnd;
};

// Opening a path folder by folder, each folder's listing becomes its node's
// children, and the path goes on below one of them. Every insertion names
// the parent, which Wine's tree view looks up among all the items made
// before it: below a node made after 2,000 siblings at each of 20 levels,
// that lookup costs more than the listing. So the node that the path goes
// on through is inserted at once and its siblings are kept back until the
// path's nodes are all made; they are then inserted around it (before it
// with TVI_FIRST, in reverse, after it with TVI_LAST: neither place names
// an item), below parents made early. The nodes, their order and their
// data end as if all were inserted at once; on Windows the order of
// insertion costs nothing either way.
class CPathSiblings {
public:
    explicit CPathSiblings(CTreeCtrl* pTree) : m_pTree(pTree) {}
    // The name of the path's next folder; empty at its end.
    void SetNext(const CString& strNext) { m_strNext = strNext; }
    // Where in pNames[order[0]], pNames[order[1]] ... the node of the next
    // folder stands: the first name equal to it (as FindChildNode finds
    // it), or -1.
    int FindNext(const CString* pNames, const std::vector<int>& order) const;
    // Keeps back a child of hParent, which goes before the node of the
    // next folder when bBefore, else after it; given in sibling order.
    void Keep(HTREEITEM hParent, bool bBefore, const CString& strName, LPARAM lVerdict);
    // Inserts the children kept back.
    void InsertAll();

private:
    struct Sibling {
        HTREEITEM hParent;
        bool bBefore;
        CString strName;
        LPARAM lVerdict;
    };
    CTreeCtrl* m_pTree;
    CString m_strNext;
    std::vector<Sibling> m_siblings;
};

// Builds folder nodes from paths as if each were inserted at once (an
// ancestor's label found among the current node's children, the first
// child of that label, compared exactly, or inserted as its last child),
// but inserts the new nodes only in InsertNodes, one depth after the
// other: a parent is then named while it is among the control's earlier
// items. The children of existing nodes are read from the control when a
// path first reaches them.
class CChildIndex {
public:
    explicit CChildIndex(CTreeCtrl* pTree) : m_pTree(pTree) {}

    // Walks the labels of strRest (\a\b\name: a, then b) down from
    // hParent: each is found among the current node's children or added as
    // its last child, and becomes the current node. The name from
    // nNameStart to the end is one label, whatever bytes it holds, and is
    // added as a node of its own.
    void InsertPath(HTREEITEM hParent, const CString& strRest, int nNameStart);
    // Inserts the nodes added. pParents, when given, receives every node
    // that was given children, in the order of insertion.
    void InsertNodes(std::vector<HTREEITEM>* pParents = NULL);

private:
    struct Node {
        HTREEITEM hItem;  // NULL until inserted
        int nFirstNew;    // the first child added, or -1
        int nLastNew;
        int nNextNew;     // the next sibling added after this one, or -1
        bool bRead;       // the children in the control are indexed
        CString strLabel;
    };
    int NodeOf(HTREEITEM hItem);
    int Add(int nParent, HTREEITEM hItem, const CString& strLabel);
    int AddNew(int nParent, const CString& strLabel);
    int Child(int nParent, const CString& strLabel);

    CTreeCtrl* m_pTree;
    std::vector<Node> m_nodes;
    std::unordered_map<HTREEITEM, int> m_existing;  // nodes already in the control
    std::unordered_map<std::string, int> m_labels;  // parent's number and label: the first child of that label
};

// Rebuilds the subtree below hRoot from the full paths of arrDirs, all
// below pszRootPath, beside which arrNameStarts tells where each path's
// last name starts: the old nodes go, then each path becomes one node below
// those of its ancestors, as CChildIndex::InsertPath adds them. pParents,
// when given, receives the nodes that got children (hRoot first, if it did).
void RebuildSubtree(CTreeCtrl* pTree, HTREEITEM hRoot, const char* pszRootPath, CArray<CString, CString&>& arrDirs,
                    CArray<int, int>& arrNameStarts, std::vector<HTREEITEM>* pParents);
// Leaves hRoot and every node below it that has children expanded, as
// RecursiveExpandCollapse(hRoot, 1) does, given those nodes (parents, as
// RebuildSubtree gives them) instead of walking the subtree for them.
void ExpandRebuiltSubtree(CTreeCtrl* pTree, HTREEITEM hRoot, const std::vector<HTREEITEM>& parents);
