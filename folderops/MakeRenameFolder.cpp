// Creating a folder below the selected one, named in place, and renaming a
// folder by editing its label.
#include "ErrorMessage.h"
#include "FolderNames.h"
#include "FolderTreeDlg.h"
#include "ScopeEnd.h"
#include "TreeNodes.h"
#include "VarnetIcons.h"
#include "resource.h"

#include <string>

static const char s_szDefaultName[] = "NewFolder";

// The name typed into the label editor, whole, into strName; the
// notification's own text when the editor is gone. Empty when the name is
// exact; otherwise the refusal. The control converts the editor's text for
// the notification: it fits each character that the ANSI code page lacks
// (a Greek capital omega becomes "O", a check mark "?"), and Wine's cuts the
// text at MAX_PATH bytes, which in the UTF-8 code page a name of 87 CJK
// characters passes. Either would make a folder under a name the user did
// not type. In the UTF-8 code page every whole character converts exactly.
static CString GetTypedName(CTreeCtrl* pTree, CString strText, CString& strName)
{
    strName = strText;
    CEdit* pEditor = pTree->GetEditControl();
    if (!pEditor)
        return CString();
    int nTyped = ::GetWindowTextLengthW(pEditor->m_hWnd);
    std::wstring strTyped(nTyped + 1, L'\0');
    strTyped.resize(::GetWindowTextW(pEditor->m_hWnd, &strTyped[0], nTyped + 1));
    int nBytes = ::WideCharToMultiByte(CP_ACP, 0, strTyped.c_str(), -1, NULL, 0, NULL, NULL);
    CString strAnsi;
    if (nBytes > 1) {
        ::WideCharToMultiByte(CP_ACP, 0, strTyped.c_str(), -1, strAnsi.GetBuffer(nBytes), nBytes, NULL, NULL);
        strAnsi.ReleaseBuffer();
    }
    int nBack = ::MultiByteToWideChar(CP_ACP, 0, strAnsi, -1, NULL, 0);
    std::wstring strBack(nBack > 0 ? nBack : 1, L'\0');
    strBack.resize(::MultiByteToWideChar(CP_ACP, 0, strAnsi, -1, &strBack[0], nBack) - 1);
    if (strBack != strTyped)
        return "Invalid Folder Name: the name typed holds characters that the ANSI code page cannot represent";
    strName = strAnsi;
    return CString();
}

// Empty when strPath, the path a typed name strName gives, is short enough
// to be listed with the ANSI file functions (with "\*.*" after it, less than
// MAX_PATH characters), so that the dialog can open, expand and delete the
// folder it makes; otherwise the refusal. The limit is in UTF-16
// characters: a path within it can take three times as many bytes in the
// UTF-8 code page.
static CString CheckPathLength(const CString& strName, const CString& strPath)
{
    if (Widen(strPath + "\\*.*").size() < MAX_PATH)
        return CString();
    return "Invalid Folder Name \"" + strName +
           "\": the folder's path would be longer than the 255 characters that the ANSI file functions can list";
}

// Empty when the file system takes strName as it is; otherwise the
// refusal. Windows refuses a name longer than its file system takes by
// itself. Wine does not: it cuts a name whose Unix form (UTF-8) is longer
// than the 255 bytes of a Unix name, and makes or renames the folder under
// the cut name.
static CString CheckNameLength(const CString& strName)
{
    HMODULE hNtdll = ::GetModuleHandleA("ntdll.dll");
    if (!hNtdll || !::GetProcAddress(hNtdll, "wine_get_version"))
        return CString();
    std::wstring strWide = Widen(strName);
    if (::WideCharToMultiByte(CP_UTF8, 0, strWide.c_str(), (int)strWide.size(), NULL, 0, NULL, NULL) <= 255)
        return CString();
    return "Invalid Folder Name \"" + strName + "\": the name is longer than the 255 bytes that the file system takes";
}

void CFolderTreeDlg::OnStatic_MakeFolder()
{
    // Nothing while a scan or a deletion runs, nor until the tree was
    // clicked; a pending name is not started again.
    if (IsCommandRunning())
        return;
    if (!m_bTreeClicked) {
        SetDlgItemText(IDC_EDIT_ERROR, "Please Select a Folder");
        return;
    }
    if (m_bNewFolderPending)
        return;

    // Without a selected node the folder would go below a path the user
    // does not see (an earlier parent, or none): refused.
    CTreeCtrl* pTree = (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);
    if (!pTree->GetSelectedItem()) {
        SetDlgItemText(IDC_EDIT_ERROR, "Please Select a Folder");
        return;
    }

    // A label being edited (Ins typed into its editor) ends first, as the
    // rename it is, so that its end is never taken for the new folder's.
    EndLabelEdit();

    // The folder goes into the selected node's folder, which its labels
    // must name exactly.
    HTREEITEM hSelected = pTree->GetSelectedItem();
    CString strRefusal = hSelected ? CheckNodeNames(pTree, hSelected, "Not Changed") : "Please Select a Folder";
    if (!strRefusal.IsEmpty()) {
        SetDlgItemText(IDC_EDIT_ERROR, strRefusal);
        return;
    }

    // Pending: the busy icon, and the parent the new folder goes into. What
    // throws before the editor is open (memory running out) undoes it: no
    // name would come, and Ins would do nothing from then on.
    m_iconMakeFolder.SetIcon(LoadVarnetIcon(IDI_BUSY));
    m_bNewFolderPending = 1;
    m_hNewFolderItem = NULL;
    CScopeEnd undo([this, pTree] {
        if (m_hNewFolderItem)
            pTree->DeleteItem(m_hNewFolderItem);
        m_hNewFolderItem = NULL;
        m_bNewFolderPending = 0;
        m_iconMakeFolder.SetIcon(LoadVarnetIcon(IDI_MAKE_FOLDER));
    });
    m_strNewFolderParent = GetNodePath(hSelected);

    // A folder node: text, image 0, selected image 1, after the children.
    m_hNewFolderItem = InsertFolderNode(pTree, hSelected, s_szDefaultName);

    // The user names the folder in place.
    pTree->Expand(hSelected, TVE_EXPAND);
    pTree->SetFocus();
    pTree->EditLabel(m_hNewFolderItem);
    undo.Dismiss();
}

void CFolderTreeDlg::OnEndlabeleditFolderTree(NMHDR* pNMHDR, LRESULT* pResult)
{
    // The control never applies the edited text itself; the label is set
    // below wherever it is to change.
    *pResult = 0;
    NMTVDISPINFOA* pDispInfo = (NMTVDISPINFOA*)pNMHDR;
    CTreeCtrl* pTree = (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);
    CString strText = pDispInfo->item.pszText ? pDispInfo->item.pszText : "";

    // The new folder's edit ends. Another node's edit that ends while the
    // name is pending is a rename of that node.
    if (m_bNewFolderPending && pDispInfo->item.hItem == m_hNewFolderItem) {
        m_iconMakeFolder.SetIcon(LoadVarnetIcon(IDI_MAKE_FOLDER));
        m_bNewFolderPending = 0;
        CString strRefusal = strText.IsEmpty() ? CString() : GetTypedName(pTree, strText, strText);
        if (strText.IsEmpty())
            strText = s_szDefaultName;

        // A typed name is one name inside the parent, never a path, that the
        // file system takes as it is; the parent's labels must still name it
        // exactly; and the path must fit.
        CString strTarget = m_strNewFolderParent + "\\" + strText;
        if (strRefusal.IsEmpty())
            strRefusal = CheckFolderName(strText);
        if (strRefusal.IsEmpty())
            strRefusal = CheckNameLength(strText);
        if (strRefusal.IsEmpty())
            strRefusal = CheckNodeNames(pTree, pTree->GetParentItem(m_hNewFolderItem), "Not Changed");
        if (strRefusal.IsEmpty())
            strRefusal = CheckPathLength(strText, strTarget);
        if (!strRefusal.IsEmpty()) {
            SetDlgItemText(IDC_EDIT_ERROR, strRefusal);
            pTree->DeleteItem(m_hNewFolderItem);
            return;
        }

        // The folder is made under the typed name; on failure the node goes.
        if (CreateDirectoryA(strTarget, NULL)) {
            pTree->SetItemText(m_hNewFolderItem, strText);
        } else {
            CErrorMessage().ShowInDlgItem(GetLastError(), "Cannot Create Directory", m_hWnd, IDC_EDIT_ERROR);
            pTree->DeleteItem(m_hNewFolderItem);
        }
        return;
    }

    // Rename: the node whose label was edited (normally the selected
    // one): renaming the selected node's folder after another node's edit
    // would rename a folder the user did not touch.
    HTREEITEM hItem = pDispInfo->item.hItem ? pDispInfo->item.hItem : pTree->GetSelectedItem();
    if (!hItem)
        return;

    // The new path is the old one's parent and the typed name; an empty text renames nothing.
    CString strOldPath = GetNodePath(hItem);
    CString strNewPath = strOldPath.Mid(0, strOldPath.ReverseFind('\\') + 1);
    if (strText.IsEmpty())
        return;

    // A drive cannot take another name; a typed name is one name inside the
    // same parent, and the file system must take it as it is; the old path
    // must name the folder the user sees; and the new path must fit.
    CString strRefusal;
    if (!pTree->GetParentItem(hItem))
        strRefusal = "A Drive cannot be Renamed";
    if (strRefusal.IsEmpty())
        strRefusal = GetTypedName(pTree, strText, strText);
    if (strRefusal.IsEmpty())
        strRefusal = CheckFolderName(strText);
    if (strRefusal.IsEmpty())
        strRefusal = CheckNameLength(strText);
    strNewPath += strText;
    if (strRefusal.IsEmpty())
        strRefusal = CheckNodeNames(pTree, hItem, "Not Changed");
    if (strRefusal.IsEmpty())
        strRefusal = CheckPathLength(strText, strNewPath);
    if (!strRefusal.IsEmpty()) {
        SetDlgItemText(IDC_EDIT_ERROR, strRefusal);
        return;
    }

    // A failed rename leaves the label and says why, in the box.
    try {
        CFile::Rename(strOldPath, strNewPath);
    } catch (CFileException* pException) {
        CErrorMessage().ShowInDlgItem(pException->m_lOsError, "Cannot Rename Directory", m_hWnd, IDC_EDIT_ERROR);
        pException->Delete();
        return;
    }
    pTree->SetItemText(hItem, strText);
}
