// Creating a folder below the selected one, named in place, and renaming a
// folder by editing its label.
#include "ErrorMessage.h"
#include "FolderNames.h"
#include "FolderTreeDlg.h"
#include "TreeNodes.h"
#include "VarnetIcons.h"
#include "resource.h"

static const char s_szDefaultName[] = "NewFolder";

void CFolderTreeDlg::OnStatic_MakeFolder()
{
    // 1.-2.
    if (!m_bTreeClicked) {
        SetDlgItemText(IDC_EDIT_ERROR, "Please Select a Folder");
        return;
    }
    if (m_bNewFolderPending)
        return;

    // Without a selected node the folder would go below a path the user
    // does not see (an earlier parent, or none): refused.
    CTreeCtrl* pTree = (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);
    HTREEITEM hSelected = pTree->GetSelectedItem();
    if (!hSelected) {
        SetDlgItemText(IDC_EDIT_ERROR, "Please Select a Folder");
        return;
    }

    // 3.-4.
    m_iconMakeFolder.SetIcon(LoadVarnetIcon(IDI_BUSY));
    m_bNewFolderPending = 1;
    m_strNewFolderParent = GetNodePath(hSelected);

    // 5.
    // A folder node: text, image 0, selected image 1, after the children.
    m_hNewFolderItem = InsertFolderNode(pTree, hSelected, s_szDefaultName);

    // 6.
    pTree->Expand(hSelected, TVE_EXPAND);
    pTree->SetFocus();
    pTree->EditLabel(m_hNewFolderItem);
}

void CFolderTreeDlg::OnEndlabeleditFolderTree(NMHDR* pNMHDR, LRESULT* pResult)
{
    // The control never applies the edited text itself; the label is set
    // below wherever it is to change.
    *pResult = 0;
    NMTVDISPINFOA* pDispInfo = (NMTVDISPINFOA*)pNMHDR;
    CTreeCtrl* pTree = (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);
    CString strText = pDispInfo->item.pszText ? pDispInfo->item.pszText : "";

    if (m_bNewFolderPending) {
        // New folder: 1.-3.
        m_iconMakeFolder.SetIcon(LoadVarnetIcon(IDI_MAKE_FOLDER));
        m_bNewFolderPending = 0;
        if (strText.IsEmpty())
            strText = s_szDefaultName;

        // A typed name is one name inside the parent, never a path; and the
        // parent must be the folder the user sees.
        CString strRefusal = CheckFolderName(strText);
        if (strRefusal.IsEmpty())
            strRefusal = CheckExactPath(m_strNewFolderParent);
        if (!strRefusal.IsEmpty()) {
            SetDlgItemText(IDC_EDIT_ERROR, strRefusal);
            pTree->DeleteItem(m_hNewFolderItem);
            return;
        }

        // 4.-6.
        CString strTarget = m_strNewFolderParent + "\\" + strText;
        if (CreateDirectoryA(strTarget, NULL)) {
            pTree->SetItemText(m_hNewFolderItem, strText);
        } else {
            CErrorMessage().ShowInDlgItem(GetLastError(), "Cannot Create Directory", m_hWnd, IDC_EDIT_ERROR);
            pTree->DeleteItem(m_hNewFolderItem);
        }
        return;
    }

    // Rename: 1. The node whose label was edited (normally the selected
    // one): renaming the selected node's folder after another node's edit
    // would rename a folder the user did not touch.
    HTREEITEM hItem = pDispInfo->item.hItem ? pDispInfo->item.hItem : pTree->GetSelectedItem();
    if (!hItem)
        return;

    // 2.-4.
    CString strOldPath = GetNodePath(hItem);
    CString strNewPath = strOldPath.Mid(0, strOldPath.ReverseFind('\\') + 1);
    if (strText.IsEmpty())
        return;

    // A drive cannot take another name; a typed name is one name inside the
    // same parent; the old path must name the folder the user sees.
    CString strRefusal;
    if (!pTree->GetParentItem(hItem))
        strRefusal = "A Drive cannot be Renamed";
    if (strRefusal.IsEmpty())
        strRefusal = CheckFolderName(strText);
    if (strRefusal.IsEmpty())
        strRefusal = CheckExactPath(strOldPath);
    if (!strRefusal.IsEmpty()) {
        SetDlgItemText(IDC_EDIT_ERROR, strRefusal);
        return;
    }

    // 5.-6. A failed rename leaves the label and says why, in the box.
    strNewPath += strText;
    try {
        CFile::Rename(strOldPath, strNewPath);
    } catch (CFileException* pException) {
        CErrorMessage().ShowInDlgItem(pException->m_lOsError, "Cannot Rename Directory", m_hWnd, IDC_EDIT_ERROR);
        pException->Delete();
        return;
    }
    pTree->SetItemText(hItem, strText);
}
