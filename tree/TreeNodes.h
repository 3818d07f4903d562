// Tree-node helpers shared by the tree and the scan: collecting a folder
// path, finding a child by its label and inserting a folder node.
#pragma once

#include <afxcmn.h>
#include <afxtempl.h>
#include <afxwin.h>

#include <new>
#include <string>
#include <unordered_map>

// Says that memory ran out while a folder list was collected: a message
// box ("Probable to many Dirs" and pszCause), put in front when it has no
// owner (the scan worker's); empties the list, and where given the list of
// name starts kept beside it.
void ReportFolderListFull(CArray<CString, CString&>& arrDirs, CArray<int, int>* parrNameStarts, const char* pszCause);

// Runs collect, which appends to a folder list (and may list further
// folders). When memory runs out inside it, the lists are emptied as
// ReportFolderListFull says, and the caller goes on with its next entry.
template <class Collect>
void CollectFolders(CArray<CString, CString&>& arrDirs, CArray<int, int>* parrNameStarts, Collect collect)
{
    try {
        collect();
    } catch (CMemoryException* e) {
        char szCause[255];
        e->GetErrorMessage(szCause, 255);
        e->Delete();
        ReportFolderListFull(arrDirs, parrNameStarts, szCause);
    } catch (const std::bad_alloc&) {
        // The standard containers of the listing say it their way.
        ReportFolderListFull(arrDirs, parrNameStarts, "Out of memory.");
    }
}

// The first child of hParent (in sibling order) whose label equals
// pszLabel exactly (case-sensitive); NULL when none does.
HTREEITEM FindChildNode(CTreeCtrl* pTree, HTREEITEM hParent, const char* pszLabel);

// Inserts a folder node (closed-folder image 0, open-folder image 1) after
// the existing children of hParent.
HTREEITEM InsertFolderNode(CTreeCtrl* pTree, HTREEITEM hParent, const char* pszName);

// Answers FindChildNode for many look-ups in constant time: the children of
// a parent are indexed by label the first time it is asked about, keeping
// the first child of each label, and nodes inserted through the index are
// added to it. Valid while the tree is changed only through it.
class CChildIndex {
public:
    explicit CChildIndex(CTreeCtrl* pTree) : m_pTree(pTree) {}

    HTREEITEM Find(HTREEITEM hParent, const CString& strLabel);
    HTREEITEM Insert(HTREEITEM hParent, const CString& strLabel);
    // Walks the labels of strRest (\a\b\name: a, then b) down from
    // hParent: each is found among the current node's children or inserted
    // as its last child, and becomes the current node. The name from
    // nNameStart to the end is one label, whatever bytes it holds, and is
    // inserted as a node of its own. Returns that node.
    HTREEITEM InsertPath(HTREEITEM hParent, const CString& strRest, int nNameStart);

private:
    typedef std::unordered_map<std::string, HTREEITEM> Labels;
    Labels& ChildrenOf(HTREEITEM hParent);

    CTreeCtrl* m_pTree;
    std::unordered_map<HTREEITEM, Labels> m_children;
};
