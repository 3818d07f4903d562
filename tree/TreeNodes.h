// Tree-node helpers shared by the tree and the scan: collecting a folder
// path, finding a child by its label and inserting a folder node.
#pragma once

#include <afxcmn.h>
#include <afxtempl.h>
#include <afxwin.h>

#include <string>
#include <unordered_map>

// Appends strPath to a folder list, and where given, nNameStart (where its
// last name starts) to the list of name starts kept beside it. When a list
// cannot grow, says so in a message box ("Probable to many Dirs" and the
// exception's text) and empties both; the caller goes on as if the append
// had worked.
void AddFolderPath(CArray<CString, CString&>& arrDirs, CString& strPath, CArray<int, int>* parrNameStarts = NULL,
                   int nNameStart = 0);

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
