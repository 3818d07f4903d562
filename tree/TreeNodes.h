// Tree-node helpers shared by the tree and the scan: collecting a folder
// path, finding a child by its label and inserting a folder node.
#pragma once

#include <afxcmn.h>
#include <afxtempl.h>
#include <afxwin.h>

#include <string>
#include <unordered_map>

// Whether a search that could not start (FindFile false, dwError from
// GetLastError) failed: a search that matches no entry did not (an empty
// drive root has not even the entries "." and ".."), it lists nothing.
inline BOOL IsSearchFailure(DWORD dwError)
{
    return dwError != ERROR_FILE_NOT_FOUND;
}

// Says that memory ran out while a folder list was collected: a message
// box ("Probable to many Dirs" and the exception's text), put in front when
// it has no owner (the scan worker's); deletes the exception and empties
// the list.
void ReportFolderListFull(CArray<CString, CString&>& arrDirs, CMemoryException* e);

// Runs collect, which appends to a folder list (and may list further
// folders). When memory runs out inside it, the list is emptied as
// ReportFolderListFull says, and the caller goes on with its next entry.
template <class Collect>
void CollectFolders(CArray<CString, CString&>& arrDirs, Collect collect)
{
    try {
        collect();
    } catch (CMemoryException* e) {
        ReportFolderListFull(arrDirs, e);
    }
}

// Appends strPath to a folder list, as CollectFolders.
void AddFolderPath(CArray<CString, CString&>& arrDirs, CString& strPath);

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
    // Walks the labels of strRest (\a\b: a, then b) down from hParent:
    // each is found among the current node's children or inserted as its
    // last child, and becomes the current node. Returns the last one.
    HTREEITEM FindOrInsertPath(HTREEITEM hParent, const CString& strRest);

private:
    typedef std::unordered_map<std::string, HTREEITEM> Labels;
    Labels& ChildrenOf(HTREEITEM hParent);

    CTreeCtrl* m_pTree;
    std::unordered_map<HTREEITEM, Labels> m_children;
};
