// Creating a folder below the selected one, named in place, and renaming a
// folder by editing its label.
#include "FolderNames.h"
#include "FolderTreeDlg.h"
#include "Refusal.h"
#include "ScopeEnd.h"
#include "TreeNodes.h"
#include "UserTexts.h"
#include "VarnetIcons.h"
#include "resource.h"

#include <string>

// The name typed into the label editor, whole, into strName; the
// notification's own text when the editor is gone. Nothing refused when the
// name is exact. The control converts the editor's text for the
// notification: it fits each character that the ANSI code page lacks (a
// Greek capital omega becomes "O", a check mark "?"), and Wine's cuts the
// text at MAX_PATH bytes, which in the UTF-8 code page a name of 87 CJK
// characters passes. Either would make a folder under a name the user did
// not type. In the UTF-8 code page every whole character converts exactly.
// The editor is read wide and converted in the dialog's text code page.
// In a host that switched the file functions to the OEM code page, the
// bytes the label shows must also name the typed text there: "é" would
// otherwise make a folder named "Θ" (byte 0xE9 in code page 437).
static CRefusal GetTypedName(CTreeCtrl* pTree, CString strText, CString& strName)
{
    strName = strText;
    CEdit* pEditor = pTree->GetEditControl();
    if (!pEditor)
        return CRefusal();
    int nTyped = ::GetWindowTextLengthW(pEditor->m_hWnd);
    std::wstring strTyped(nTyped + 1, L'\0');
    strTyped.resize(::GetWindowTextW(pEditor->m_hWnd, &strTyped[0], nTyped + 1));
    CString strAnsi = AfxWideToAnsi(strTyped.c_str());
    if (AfxToWide(strAnsi) != strTyped || Widen(strAnsi) != strTyped)
        return CRefusal(CRefusal::NAME_UNREPRESENTABLE);
    strName = strAnsi;
    return CRefusal();
}

// Nothing refused when strPath, the path a typed name strName gives, is
// short enough to be listed with the ANSI file functions (with "\*.*" after
// it, less than MAX_PATH characters), so that the dialog can open, expand
// and delete the folder it makes. The limit is in UTF-16 characters: a path
// within it can take three times as many bytes in the UTF-8 code page.
static CRefusal CheckPathLength(const CString& strName, const CString& strPath)
{
    if (Widen(JoinPath(strPath, "*.*")).size() < MAX_PATH)
        return CRefusal();
    return CRefusal(CRefusal::PATH_TOO_LONG, strName);
}

// Nothing refused when the file system takes strName as it is. Windows
// refuses a name longer than its file system takes by itself. Wine does
// not: it cuts a name whose Unix form (UTF-8) is longer than the 255 bytes
// of a Unix name, and makes or renames the folder under the cut name.
static CRefusal CheckNameLength(const CString& strName)
{
    HMODULE hNtdll = ::GetModuleHandleA("ntdll.dll");
    if (!hNtdll || !::GetProcAddress(hNtdll, "wine_get_version"))
        return CRefusal();
    std::wstring strWide = Widen(strName);
    if (::WideCharToMultiByte(CP_UTF8, 0, strWide.c_str(), (int)strWide.size(), NULL, 0, NULL, NULL) <= 255)
        return CRefusal();
    return CRefusal(CRefusal::NAME_TOO_LONG, strName);
}

// Nothing refused when strName, typed into a label, can become one folder
// in the folder strParent: one name, never a path, that the file system
// takes as it is; the labels down to hNamed (the parent's node, or the
// renamed one) must name their folders exactly; and the path must fit.
static CRefusal CheckNewName(CTreeCtrl* pTree, HTREEITEM hNamed, const CString& strParent, const CString& strName)
{
    CRefusal refusal = CheckFolderName(strName);
    if (!refusal)
        refusal = CheckNameLength(strName);
    if (!refusal)
        refusal = CheckNodeNames(pTree, hNamed, VarnetText::NOT_CHANGED);
    if (!refusal)
        refusal = CheckPathLength(strName, JoinPath(strParent, strName));
    return refusal;
}

void CFolderTreeDlg::OnStatic_MakeFolder()
{
    // A pending name is not started again. Without a selected node the
    // folder would go below a path the user does not see (an earlier
    // parent, or none). A label being edited (Ins typed into its editor)
    // ends first, as the rename it is, so that its end is never taken for
    // the new folder's. The folder goes into the selected node's folder,
    // which its labels must name exactly.
    HTREEITEM hSelected = NULL;
    if (m_bNewFolderPending || !StartCommand(hSelected, NEEDS_CLICK | SELECTION_FIRST) ||
        ShowRefusal(CheckNodeNames(GetTree(), hSelected, VarnetText::NOT_CHANGED)))
        return;

    // Pending: the busy icon, and the parent the new folder goes into. What
    // throws before the editor is open (memory running out) undoes it: no
    // name would come, and Ins would do nothing from then on.
    CTreeCtrl* pTree = GetTree();
    SetVarnetIcon(m_iconMakeFolder, IDI_BUSY);
    m_bNewFolderPending = 1;
    m_hNewFolderItem = NULL;
    CScopeEnd undo([this, pTree] {
        if (m_hNewFolderItem)
            pTree->DeleteItem(m_hNewFolderItem);
        m_hNewFolderItem = NULL;
        m_bNewFolderPending = 0;
        SetVarnetIcon(m_iconMakeFolder, IDI_MAKE_FOLDER);
    });
    m_strNewFolderParent = GetNodePath(hSelected);

    // A folder node after the children, which the user names in place.
    // An editor that does not open would leave the name pending for good
    // (Ins doing nothing) and the node standing without a folder: both are
    // undone.
    m_hNewFolderItem = InsertFolderNode(pTree, hSelected, VarnetText::DEFAULT_FOLDER_NAME);
    pTree->Expand(hSelected, TVE_EXPAND);
    pTree->SetFocus();
    if (pTree->EditLabel(m_hNewFolderItem))
        undo.Dismiss();
}

// The new folder's label edit ended with strText: the folder is made in
// strParent under the typed name (an empty text keeps the default name),
// and the node hItem takes it.
static CRefusal MakeNewFolder(CTreeCtrl* pTree, HTREEITEM hItem, const CString& strParent, CString strText)
{
    CRefusal refusal = strText.IsEmpty() ? CRefusal() : GetTypedName(pTree, strText, strText);
    if (strText.IsEmpty())
        strText = VarnetText::DEFAULT_FOLDER_NAME;
    if (!refusal)
        refusal = CheckNewName(pTree, pTree->GetParentItem(hItem), strParent, strText);
    if (!refusal && !CreateDirectoryW(Widen(JoinPath(strParent, strText)).c_str(), NULL))
        refusal = CRefusal::WithError(CRefusal::CREATE_FAILED, GetLastError());
    if (!refusal)
        SetFolderLabel(pTree, hItem, strText);
    return refusal;
}

// The label of hItem, the folder strOldPath, was edited to strText: the
// folder takes the typed name. A drive cannot take another name; a failed
// rename leaves the label.
static CRefusal RenameFolder(CTreeCtrl* pTree, HTREEITEM hItem, const CString& strOldPath, CString strText)
{
    if (!pTree->GetParentItem(hItem))
        return CRefusal(CRefusal::DRIVE_NOT_RENAMED);
    CString strParent = strOldPath.Left(strOldPath.ReverseFind('\\') + 1);
    CRefusal refusal = GetTypedName(pTree, strText, strText);
    if (!refusal)
        refusal = CheckNewName(pTree, hItem, strParent, strText);
    if (refusal)
        return refusal;
    try {
        CFile::Rename(strOldPath, JoinPath(strParent, strText));
    } catch (CFileException* pException) {
        refusal = CRefusal::WithError(CRefusal::RENAME_FAILED, pException->m_lOsError);
        pException->Delete();
        return refusal;
    }
    SetFolderLabel(pTree, hItem, strText);
    return CRefusal();
}

void CFolderTreeDlg::OnEndlabeleditFolderTree(NMHDR* pNMHDR, LRESULT* pResult)
{
    // The control never applies the edited text itself; the label is set
    // wherever it is to change.
    *pResult = 0;
    NMTVDISPINFOA* pDispInfo = (NMTVDISPINFOA*)pNMHDR;
    CString strText = pDispInfo->item.pszText ? pDispInfo->item.pszText : "";

    // The new folder's edit ends. Another node's edit that ends while the
    // name is pending is a rename of that node.
    if (m_bNewFolderPending && pDispInfo->item.hItem == m_hNewFolderItem) {
        SetVarnetIcon(m_iconMakeFolder, IDI_MAKE_FOLDER);
        m_bNewFolderPending = 0;
        // Refused, failed or cut short by an exception (memory running
        // out), the node goes: no node stands without its folder.
        HTREEITEM hNew = m_hNewFolderItem;
        CScopeEnd removeNode([this, hNew] { GetTree()->DeleteItem(hNew); });
        if (ShowRefusal(MakeNewFolder(GetTree(), hNew, m_strNewFolderParent, strText)))
            return;
        removeNode.Dismiss();
        // Selected while its name was edited (Windows selects the node it
        // edits), the node shows its folder's path now that it has one.
        if (GetTree()->GetSelectedItem() == hNew)
            SetDlgItemText(IDC_EDIT_PATH, GetNodePath(hNew));
        return;
    }

    // Rename: the node whose label was edited (normally the selected
    // one): renaming the selected node's folder after another node's edit
    // would rename a folder the user did not touch. An empty text renames
    // nothing.
    HTREEITEM hItem = pDispInfo->item.hItem ? pDispInfo->item.hItem : GetTree()->GetSelectedItem();
    if (hItem && !strText.IsEmpty())
        ShowRefusal(RenameFolder(GetTree(), hItem, GetNodePath(hItem), strText));
}
