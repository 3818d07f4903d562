// Tree-node helpers shared by the tree and the scan: collecting a folder
// path, finding a child by its label and inserting a folder node.
#pragma once

#include <afxcmn.h>
#include <afxtempl.h>
#include <afxwin.h>

#include <string>
#include <unordered_map>

// Appends strPath to a folder list. When the list cannot grow, says so in
// a message box ("Probable to many Dirs" and the exception's text) and
// empties the list; the caller goes on as if the append had worked.
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
