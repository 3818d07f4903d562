// Deleting a folder with its contents, asking about each read-only file.
#include "ErrorMessage.h"
#include "FileDeleteRequestDlg.h"
#include "FolderNames.h"
#include "FolderTreeDlg.h"
#include "TreeNodes.h"
#include "VarnetIcons.h"
#include "resource.h"

// A folder that the running deletion holds open while it empties it: where
// the system honours share modes, no program can rename it meanwhile. Its
// identity (volume and file index) is kept, to see after each answer that
// its path still leads to it.
struct CHeldFolder {
    CHeldFolder(const CString& strPath, CHeldFolder*& pInnermost)
        : m_strPath(strPath), m_pOuter(pInnermost), m_pInnermost(pInnermost)
    {
        // No FILE_SHARE_DELETE: a rename needs delete access to the folder.
        m_hFolder = CreateFileW(Widen(strPath).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
        if (m_hFolder != INVALID_HANDLE_VALUE && !GetFileInformationByHandle(m_hFolder, &m_info))
            Close();
        pInnermost = this;
    }
    ~CHeldFolder()
    {
        Close();
        m_pInnermost = m_pOuter;
    }
    BOOL IsOpen() const { return m_hFolder != INVALID_HANDLE_VALUE; }
    // Before the folder itself is removed: a folder held open without
    // delete sharing cannot be.
    void Close()
    {
        if (IsOpen())
            CloseHandle(m_hFolder);
        m_hFolder = INVALID_HANDLE_VALUE;
    }
    // Its path still leads to the same directory, and not through a link.
    bool IsUnchanged() const
    {
        HANDLE hFolder = CreateFileW(Widen(m_strPath).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
        if (hFolder == INVALID_HANDLE_VALUE)
            return false;
        BY_HANDLE_FILE_INFORMATION info;
        BOOL bKnown = GetFileInformationByHandle(hFolder, &info);
        CloseHandle(hFolder);
        return bKnown && info.dwVolumeSerialNumber == m_info.dwVolumeSerialNumber &&
               info.nFileIndexHigh == m_info.nFileIndexHigh && info.nFileIndexLow == m_info.nFileIndexLow &&
               !IsLinkAt(m_strPath);
    }

    CString m_strPath;
    HANDLE m_hFolder;
    BY_HANDLE_FILE_INFORMATION m_info;
    CHeldFolder* m_pOuter;
    CHeldFolder*& m_pInnermost;
};

// Empty when every folder being emptied, from pInnermost out, is still
// itself; otherwise the text that stops the deletion.
static CString CheckHeldFolders(const CHeldFolder* pInnermost)
{
    CString strChanged;
    for (const CHeldFolder* pHeld = pInnermost; pHeld; pHeld = pHeld->m_pOuter)
        if (!pHeld->IsUnchanged())
            strChanged = pHeld->m_strPath;
    if (strChanged.IsEmpty())
        return strChanged;
    return "Deletion Stopped: " + strChanged +
           " was renamed, removed or replaced while the question waited; nothing more was deleted";
}

// Empty when the entry name of strFolder can be deleted by its ANSI name
// as itself, without following a link; otherwise the text that refuses the
// deletion of strTop. pFileLinks finds file links that list as plain files.
static CString CheckEntry(const CString& strTop, const CString& strFolder, const CListedName& name,
                          const CHiddenFileLinks* pFileLinks)
{
    CString strPath = JoinPath(strFolder, name.strAnsi);
    NameProblem nProblem = ResolveName(strFolder, name, false);
    if (nProblem == NAME_CONVERTED)
        return "Not Deleted: " + strTop + " holds a name that cannot be represented exactly in the ANSI code page";
    if (nProblem != NAME_EXACT)
        return "Not Deleted: " + strTop + " holds " + strPath + ", which may name another entry (" +
               NameProblemText(nProblem == NAME_MISSING ? NAME_REDIRECTED : nProblem) + ")";
    if (Widen(strPath).size() >= MAX_PATH)
        return "Not Deleted: " + strTop + " holds " + strPath + ", whose path is too long for the ANSI file functions";
    if ((name.bLink || (pFileLinks && pFileLinks->IsLink(name))) && !CanRemoveLinkAlone())
        return "Not Deleted: " + strTop + " holds the link " + strPath +
               ", which cannot be removed here without what it points to";
    return CString();
}

// The first pass over strFolder's subtree, with the wide functions and
// never through a link: empty when nothing in it would stop the deletion
// of strTop halfway; otherwise the text that refuses it before anything goes.
static CString CheckBeforeDeleting(const CString& strTop, const CString& strFolder)
{
    std::vector<CListedName> names;
    if (!ListFolderWide(strFolder, names)) {
        CString strText = CErrorMessage::DisplayText(GetLastError());
        return strFolder == strTop ? strText : "Not Deleted: " + strTop + " holds " + strFolder + ", which cannot be listed: " + strText;
    }
    CHiddenFileLinks fileLinks(strFolder);
    for (const CListedName& name : names) {
        CString strText = CheckEntry(strTop, strFolder, name, &fileLinks);
        if (strText.IsEmpty() && name.IsDirectory() && !name.bLink)
            strText = CheckBeforeDeleting(strTop, JoinPath(strFolder, name.strAnsi));
        if (!strText.IsEmpty())
            return strText;
    }
    return CString();
}

void CFolderTreeDlg::OnStatic_DeleteFolder()
{
    // Nothing while a scan or another deletion runs, nor until the tree
    // was clicked.
    if (IsCommandRunning())
        return;
    if (!m_bTreeClicked) {
        SetDlgItemText(IDC_EDIT_ERROR, "Please Select a Folder");
        return;
    }

    // Refused: no selected node (the path would be empty, and an empty
    // path followed by \*.* names the current drive's root), a drive's top
    // node (its whole contents would go), or labels that may name another
    // folder than the one shown.
    auto refusal = [](CTreeCtrl* pTree, HTREEITEM hSelected) -> CString {
        if (!hSelected)
            return "Please Select a Folder";
        if (!pTree->GetParentItem(hSelected))
            return "A Drive cannot be Deleted: please select a folder on it";
        return CheckNodeNames(pTree, hSelected, "Not Changed");
    };
    CTreeCtrl* pTree = (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);
    CString strRefusal = refusal(pTree, pTree->GetSelectedItem());
    if (!strRefusal.IsEmpty()) {
        SetDlgItemText(IDC_EDIT_ERROR, strRefusal);
        return;
    }

    // One question; No (the default button) ends the command, as does the
    // dialog ended from outside meanwhile.
    if (AfxMessageBox("Do you really want to Remove the folder with its contents?",
                      MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES || IsEndingFromOutside())
        return;

    // The busy icon shows while the deletion runs; the node goes only with its folder.
    m_iconDeleteFolder.SetIcon(LoadVarnetIcon(IDI_BUSY));
    m_bDeleteBusy = 1;

    // The node and its path are taken, and checked again, after the
    // question: a label edit that ended while the question took the focus
    // has renamed the folder meanwhile. The tree's object is fetched again
    // (the question's loop may have freed the temporary one), and again
    // after the request dialogs.
    pTree = (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);
    HTREEITEM hSelected = pTree->GetSelectedItem();
    strRefusal = refusal(pTree, hSelected);
    int bDeleted = 0;
    if (strRefusal.IsEmpty()) {
        CString strPath = GetNodePath(hSelected);
        bDeleted = DelAllFilesDirs(strPath);
    } else {
        SetDlgItemText(IDC_EDIT_ERROR, strRefusal);
    }
    pTree = (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);
    if (bDeleted && pTree) {
        // The node may hold a large expanded subtree.
        CRedrawOff noRedraw(pTree);
        pTree->DeleteItem(hSelected);
    }
    m_bDeleteBusy = 0;
    m_iconDeleteFolder.SetIcon(LoadVarnetIcon(IDI_DELETE_FOLDER));
}

int CFolderTreeDlg::DelAllFilesDirs(CString& strFolder)
{
    // Every end of a deletion resets its state; a failure also leaves its
    // text in the error box (system failures: the system's text alone).
    auto reset = [this] {
        m_nDeleteDepth = -1;
        m_bDeleteAllReadOnly = 0;
        m_bYesToAll = 0;
    };
    auto fail = [&](const CString& strText) {
        SetDlgItemText(IDC_EDIT_ERROR, strText);
        reset();
        return 0;
    };
    auto failWithSystemText = [&](DWORD dwError) { return fail(CErrorMessage::DisplayText(dwError)); };

    // The top call goes from -1 to 0.
    m_nDeleteDepth++;

    if (m_nDeleteDepth == 0) {
        // A link is never listed through: what it points to is not the
        // user's to delete here. The link itself is removed alone where the
        // system can, and stays where it cannot.
        if (IsLinkAt(strFolder)) {
            if (!CanRemoveLinkAlone())
                return fail("Not Deleted: " + strFolder + " is a link, which cannot be removed here without what it points to");
            if (!RemoveDirectoryA(strFolder))
                return failWithSystemText(GetLastError());
            reset();
            return 1;
        }
        // Whatever would stop the deletion halfway stops it before
        // anything goes.
        CString strRefusal = CheckBeforeDeleting(strFolder, strFolder);
        if (!strRefusal.IsEmpty())
            return fail(strRefusal);
    }

    // Held open while it is emptied; listed whole before anything in it goes.
    CHeldFolder held(strFolder, m_pHeldFolder);
    std::vector<CListedName> names;
    if (!held.IsOpen() || !ListFolderWide(strFolder, names))
        return failWithSystemText(GetLastError());

    // Entries in the file system's order.
    for (const CListedName& name : names) {
        int bDeleteThis = 0;
        CString strPath = JoinPath(strFolder, name.strAnsi);
        // Met only when the folder changed after the first pass.
        CString strRefusal = CheckEntry(strFolder, strFolder, name, NULL);
        if (!strRefusal.IsEmpty())
            return fail(strRefusal);

        // A folder: emptied and removed before the later entries. A link
        // to a folder is removed alone, never descended into.
        if (name.IsDirectory()) {
            if (!name.bLink && !DelAllFilesDirs(strPath)) {
                // The nested call has reported its failure and reset the
                // state; going on would let this level take itself for the
                // top, or report success with the folder still there.
                return 0;
            }
            if (name.dwAttributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesA(strPath, FILE_ATTRIBUTE_NORMAL);
            if (!RemoveDirectoryA(strPath))
                return failWithSystemText(GetLastError());
            continue;
        }

        // A read-only file: asked about, unless Yes to All was given.
        if (name.dwAttributes & FILE_ATTRIBUTE_READONLY) {
            if (!m_bYesToAll) {
                CFileDeleteRequestDlg dlgRequest(NULL, strPath, "File is Read-Only !");
                INT_PTR nResult = dlgRequest.DoModal();
                // The dialog ended from outside meanwhile: the deletion stops, as on Abort.
                if (IsEndingFromOutside())
                    return fail("No or partial deletion");
                if (nResult == -1) {
                    AfxMessageBox("Fatal Error dialog box could not be created!", 0);
                } else if (nResult == IDOK) {
                    if (dlgRequest.m_nAnswer == CFileDeleteRequestDlg::ANSWER_YES) {
                        bDeleteThis = 1;
                    } else if (dlgRequest.m_nAnswer == CFileDeleteRequestDlg::ANSWER_YES_TO_ALL) {
                        m_bYesToAll = 1;
                        m_bDeleteAllReadOnly = 1;
                        bDeleteThis = 1;
                    }
                } else if (nResult == IDCANCEL) {
                    return fail("No or partial deletion");
                }
                // While the question waited, another program may have
                // renamed or replaced a folder being emptied: nothing more
                // goes unless each still is what it was.
                if (nResult == IDOK) {
                    strRefusal = CheckHeldFolders(m_pHeldFolder);
                    if (!strRefusal.IsEmpty())
                        return fail(strRefusal);
                }
            }
            if (bDeleteThis || m_bDeleteAllReadOnly)
                SetFileAttributesA(strPath, FILE_ATTRIBUTE_NORMAL);
        } else {
            // A plain file goes without a question.
            bDeleteThis = 1;
        }

        // A kept file stays; its folder then cannot be removed.
        if (!bDeleteThis && !m_bDeleteAllReadOnly)
            continue;
        if (!DeleteFileA(strPath))
            return failWithSystemText(GetLastError());
    }

    // A nested call is done: its caller removes the folder.
    if (m_nDeleteDepth != 0) {
        m_nDeleteDepth--;
        return 1;
    }

    // The top: the folder itself, no longer held.
    held.Close();
    DWORD dwAttributes = GetFileAttributesA(strFolder);
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(strFolder, FILE_ATTRIBUTE_NORMAL);
    if (!RemoveDirectoryA(strFolder))
        return failWithSystemText(GetLastError());
    // Success only when the folder is really gone.
    if (GetFileAttributesA(strFolder) != INVALID_FILE_ATTRIBUTES)
        return fail("Not Deleted: " + strFolder + " is still there");
    reset();
    return 1;
}
