// Deleting a folder with its contents, asking about each read-only file.
//
// The chosen folder is held open first. A first pass then opens every entry
// below it as the deletion will, each relative to its held folder, and
// records what it is; anything that would stop the deletion halfway stops
// it there, before anything goes. The deletion pass opens each recorded
// entry again the same way, goes on only when the handle shows the entry
// that was recorded, and deletes it through that handle.
#include "EntryHandle.h"
#include "ErrorMessage.h"
#include "FileDeleteRequestDlg.h"
#include "FolderNames.h"
#include "FolderTreeDlg.h"
#include "ScopeEnd.h"
#include "TreeNodes.h"
#include "VarnetIcons.h"
#include "resource.h"

// An entry as the first pass found it.
struct CCheckedEntry {
    std::wstring strName;  // exactly as the file system holds it
    CString strPath;       // the ANSI path that texts and the request show
    DWORD dwAttributes;    // as its handle showed them
    CEntryId id;
    bool bLink;
    std::vector<CCheckedEntry> children;  // a folder's entries

    bool IsFolder() const { return (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) && !bLink; }
    bool IsReadOnlyFile() const
    {
        return (dwAttributes & FILE_ATTRIBUTE_READONLY) && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
    }
};

// Folder or not, and where the system shows links, link or not.
static bool IsSameKind(DWORD dwAttributes, DWORD dwOther)
{
    return ((dwAttributes ^ dwOther) & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

// A folder that the deletion holds open while it empties it. After each
// answer its path must still lead to it, and not through a link: a folder
// renamed or replaced meanwhile (programs that pass share modes by) stops
// the deletion.
struct CHeldFolder {
    CHeldFolder(const CString& strPath, const CEntryId& id, CHeldFolder*& pInnermost)
        : m_strPath(strPath), m_id(id), m_pOuter(pInnermost), m_pInnermost(pInnermost)
    {
        pInnermost = this;
    }
    ~CHeldFolder() { m_pInnermost = m_pOuter; }
    CHeldFolder(const CHeldFolder&) = delete;
    CHeldFolder& operator=(const CHeldFolder&) = delete;

    bool IsUnchanged() const
    {
        HANDLE hFolder = CreateFileW(Widen(m_strPath).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
        if (hFolder == INVALID_HANDLE_VALUE)
            return false;
        BY_HANDLE_FILE_INFORMATION info;
        BOOL bKnown = GetFileInformationByHandle(hFolder, &info);
        CloseHandle(hFolder);
        CEntryId id;
        id.dwVolume = info.dwVolumeSerialNumber;
        id.nIndex = ((ULONGLONG)info.nFileIndexHigh << 32) | info.nFileIndexLow;
        return bKnown && id == m_id && !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && !IsLinkAt(m_strPath);
    }

    CString m_strPath;
    CEntryId m_id;
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

// Empty when the entry name of strFolder can be deleted as itself, and
// shown and asked about by its ANSI name; otherwise the text that refuses
// the deletion of strTop. pFileLinks finds file links that list as plain
// files.
static CString CheckEntry(const CString& strTop, const CString& strFolder, const CListedName& name,
                          const CHiddenFileLinks& fileLinks)
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
    if ((name.bLink || fileLinks.IsLink(name)) && !CanRemoveLinkAlone())
        return "Not Deleted: " + strTop + " holds the link " + strPath +
               ", which cannot be removed here without what it points to";
    return CString();
}

// Opens checked again in the folder that hFolder holds, for nUse: empty
// when the handle shows the very entry that the first pass recorded;
// otherwise the text that stops the deletion.
static CString OpenAgain(CEntryHandle& entry, HANDLE hFolder, const CCheckedEntry& checked, CEntryHandle::Use nUse)
{
    DWORD dwError = entry.OpenIn(hFolder, checked.strName, nUse, (checked.dwAttributes & FILE_ATTRIBUTE_READONLY) != 0);
    if (dwError != ERROR_SUCCESS)
        return CErrorMessage::DisplayText(dwError);
    if (entry.Id() != checked.id || !IsSameKind(entry.Attributes(), checked.dwAttributes))
        return "Deletion Stopped: " + checked.strPath + " was replaced after it was checked; nothing more was deleted";
    return CString();
}

// The first pass over the folder that folder holds open, strFolder its
// path: every entry is opened relative to it as the deletion will open it
// (holding needs more than listing: delete access, which another program's
// handle can deny) and recorded into entries, and every subfolder is
// passed over in turn while it is held. Empty when nothing would stop the
// deletion of strTop halfway; otherwise the text that refuses it.
static CString CheckBeforeDeleting(const CString& strTop, const CString& strFolder, const CEntryHandle& folder,
                                   std::vector<CCheckedEntry>& entries)
{
    std::vector<CListedName> names;
    if (!ListFolderWide(strFolder, names)) {
        CString strText = CErrorMessage::DisplayText(GetLastError());
        return strFolder == strTop ? strText : "Not Deleted: " + strTop + " holds " + strFolder + ", which cannot be listed: " + strText;
    }
    CHiddenFileLinks fileLinks(strFolder);
    entries.reserve(names.size());
    for (const CListedName& name : names) {
        CString strText = CheckEntry(strTop, strFolder, name, fileLinks);
        if (!strText.IsEmpty())
            return strText;
        CString strPath = JoinPath(strFolder, name.strAnsi);
        CEntryHandle entry;
        DWORD dwError = entry.OpenIn(folder.Handle(), name.strWide, CEntryHandle::DELETE_IT,
                                     (name.dwAttributes & FILE_ATTRIBUTE_READONLY) != 0);
        if (dwError != ERROR_SUCCESS)
            return "Not Deleted: " + strTop + " holds " + strPath +
                   ", which cannot be opened for deletion: " + CErrorMessage::DisplayText(dwError);
        if (!IsSameKind(entry.Attributes(), name.dwAttributes))
            return "Not Deleted: " + strTop + " holds " + strPath + ", which was replaced while it was checked";
        entries.push_back(CCheckedEntry{ name.strWide, strPath, entry.Attributes(), entry.Id(), name.bLink, {} });
        if (entries.back().IsFolder()) {
            strText = OpenAgain(entry, folder.Handle(), entries.back(), CEntryHandle::HOLD);
            if (strText.IsEmpty())
                strText = CheckBeforeDeleting(strTop, strPath, entry, entries.back().children);
            if (!strText.IsEmpty())
                return strText;
        }
    }
    return CString();
}

// Why the folder strFolder, whose recorded entries were all deleted or
// kept, is not empty: the text for an entry that came after the first
// pass; empty when there is none (a file kept by No).
static CString FindNewEntry(const CString& strFolder, const std::vector<CCheckedEntry>& entries)
{
    std::vector<CListedId> listed;
    if (ListIds(Widen(strFolder), listed) != ERROR_SUCCESS)
        return CString();
    for (const CListedId& entry : listed) {
        if (entry.strName == L"." || entry.strName == L"..")
            continue;
        bool bRecorded = false;
        for (const CCheckedEntry& checked : entries)
            bRecorded = bRecorded || checked.strName == entry.strName;
        if (bRecorded)
            continue;
        // Shown as the error box shows text.
        int n = WideCharToMultiByte(CP_ACP, 0, entry.strName.c_str(), -1, NULL, 0, NULL, NULL);
        CString strName;
        if (n > 1) {
            WideCharToMultiByte(CP_ACP, 0, entry.strName.c_str(), -1, strName.GetBuffer(n), n, NULL, NULL);
            strName.ReleaseBuffer();
        }
        return "Deletion Stopped: " + strFolder + " holds " + JoinPath(strFolder, strName) +
               ", which was not there when it was checked; nothing more was deleted";
    }
    return CString();
}

// Whether the entry id (exact name strName) is still in the folder
// strParent: the very entry, not another that a Win32 path names alike
// (one that differs in letter case on a case-sensitive disk).
static bool IsStillIn(const CString& strParent, const std::wstring& strName, const CEntryId& id)
{
    std::vector<CListedId> listed;
    if (ListIds(Widen(strParent), listed) != ERROR_SUCCESS)
        return false;
    bool bIds = false;
    for (const CListedId& entry : listed)
        bIds = bIds || entry.nFileId != 0;
    for (const CListedId& entry : listed)
        if (bIds ? entry.nFileId == id.nIndex : entry.strName == strName)
            return true;
    return false;
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
    // Del typed into a label's editor: the rename goes first.
    EndLabelEdit();

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
    if (AfxOwnedMessageBox(m_hWnd, "Do you really want to Remove the folder with its contents?",
                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES ||
        IsEndingFromOutside())
        return;

    // The busy icon shows while the deletion runs. However the command
    // ends, an exception included, the deletion's state and the icon are
    // as before it.
    m_iconDeleteFolder.SetIcon(LoadVarnetIcon(IDI_BUSY));
    m_bDeleteBusy = 1;
    CScopeEnd idle([this] {
        m_bDeleteBusy = 0;
        m_nDeleteDepth = -1;
        m_bDeleteAllReadOnly = 0;
        m_bYesToAll = 0;
        m_iconDeleteFolder.SetIcon(LoadVarnetIcon(IDI_DELETE_FOLDER));
    });

    // The node and its path are taken, and checked again, after the
    // question: the dialog's state may have changed while it waited. The
    // tree's object is fetched again (the question's loop may have freed
    // the temporary one), and again after the request dialogs.
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
    // The node goes only with its folder.
    pTree = (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);
    if (bDeleted && pTree) {
        // The node may hold a large expanded subtree.
        CRedrawOff noRedraw(pTree);
        pTree->DeleteItem(hSelected);
    }
}

int CFolderTreeDlg::DelAllFilesDirs(CString& strFolder)
{
    // Every end of a deletion, exceptions included, resets its state; a
    // failure also leaves its text in the error box (system failures: the
    // system's text alone).
    m_nDeleteDepth++;
    CScopeEnd reset([this] {
        m_nDeleteDepth = -1;
        m_bDeleteAllReadOnly = 0;
        m_bYesToAll = 0;
    });
    auto fail = [this](const CString& strText) {
        SetDlgItemText(IDC_EDIT_ERROR, strText);
        return 0;
    };
    auto failWithSystemText = [&](DWORD dwError) { return fail(CErrorMessage::DisplayText(dwError)); };

    // The folder is opened as it will be deleted, and then held, before
    // anything is checked; the listing of its parent says whether it is a
    // link (under Wine the handle cannot tell: opening follows a link).
    std::wstring strWide = Widen(strFolder);
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW(strWide.c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return failWithSystemText(GetLastError());
    FindClose(hFind);
    bool bReadOnly = (fd.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    CEntryHandle top;
    DWORD dwError = top.OpenPath(strWide, CEntryHandle::DELETE_IT, bReadOnly);
    if (dwError != ERROR_SUCCESS)
        return failWithSystemText(dwError);
    if (IsLinkAt(strFolder) || (top.Attributes() & FILE_ATTRIBUTE_REPARSE_POINT)) {
        // A link is never listed through: what it points to is not the
        // user's to delete here. The link itself goes alone, through its
        // handle, where the system can do that.
        if (!CanRemoveLinkAlone())
            return fail("Not Deleted: " + strFolder + " is a link, which cannot be removed here without what it points to");
        if ((dwError = top.MarkForDeletion()) != ERROR_SUCCESS)
            return failWithSystemText(dwError);
        return 1;
    }
    if (!(top.Attributes() & FILE_ATTRIBUTE_DIRECTORY))
        return failWithSystemText(ERROR_DIRECTORY);
    CCheckedEntry checked{ fd.cFileName, strFolder, top.Attributes(), top.Id(), false, {} };
    auto openAgain = [&](CEntryHandle::Use nUse) {
        DWORD dwOpened = top.OpenPath(strWide, nUse, bReadOnly);
        if (dwOpened != ERROR_SUCCESS)
            return CErrorMessage::DisplayText(dwOpened);
        if (top.Id() != checked.id || !IsSameKind(top.Attributes(), checked.dwAttributes))
            return "Deletion Stopped: " + strFolder + " was replaced after it was checked; nothing more was deleted";
        return CString();
    };
    CString strRefusal = openAgain(CEntryHandle::HOLD);
    if (!strRefusal.IsEmpty())
        return fail(strRefusal);

    // Whatever would stop the deletion halfway stops it before anything goes.
    strRefusal = CheckBeforeDeleting(strFolder, strFolder, top, checked.children);
    if (!strRefusal.IsEmpty())
        return fail(strRefusal);

    {
        CHeldFolder held(strFolder, checked.id, m_pHeldFolder);
        if (!DeleteCheckedEntries(top.Handle(), checked.children))
            return 0;
    }

    // The folder itself, through a handle of its own.
    strRefusal = openAgain(CEntryHandle::DELETE_IT);
    if (!strRefusal.IsEmpty())
        return fail(strRefusal);
    if (bReadOnly && (dwError = top.ClearReadOnly()) != ERROR_SUCCESS)
        return failWithSystemText(dwError);
    if ((dwError = top.MarkForDeletion()) != ERROR_SUCCESS) {
        CString strNew = dwError == ERROR_DIR_NOT_EMPTY ? FindNewEntry(strFolder, checked.children) : CString();
        return strNew.IsEmpty() ? failWithSystemText(dwError) : fail(strNew);
    }
    top.Close();

    // Success only when the very folder is gone.
    CString strParent = strFolder.Left(strFolder.ReverseFind('\\'));
    if (strParent.GetLength() == 2)
        strParent += "\\";
    if (IsStillIn(strParent, checked.strName, checked.id))
        return fail("Partly Deleted: " + strFolder + " is still there, although everything in it was deleted");
    return 1;
}

int CFolderTreeDlg::DeleteCheckedEntries(HANDLE hFolder, std::vector<CCheckedEntry>& entries)
{
    auto fail = [this](const CString& strText) {
        SetDlgItemText(IDC_EDIT_ERROR, strText);
        return 0;
    };
    auto failWithSystemText = [&](DWORD dwError) { return fail(CErrorMessage::DisplayText(dwError)); };

    // In the file system's order; a folder is emptied and removed before
    // the later entries.
    for (CCheckedEntry& checked : entries) {
        // A read-only file: asked about, unless Yes to All was given. A kept
        // file stays; its folder then cannot be removed.
        if (checked.IsReadOnlyFile() && !m_bYesToAll) {
            int nAnswer = AskAboutReadOnlyFile(checked.strPath);
            if (nAnswer < 0)
                return 0;
            if (!nAnswer && !m_bDeleteAllReadOnly)
                continue;
        }

        // Opened again as the first pass opened it: only the entry it found
        // goes on, not one that took its name since (a link above all). A
        // folder is held while it is emptied, then opened to be deleted.
        CEntryHandle entry;
        CString strChanged;
        if (checked.IsFolder()) {
            strChanged = OpenAgain(entry, hFolder, checked, CEntryHandle::HOLD);
            if (!strChanged.IsEmpty())
                return fail(strChanged);
            m_nDeleteDepth++;
            CScopeEnd depth([this] { m_nDeleteDepth--; });
            CHeldFolder held(checked.strPath, checked.id, m_pHeldFolder);
            if (!DeleteCheckedEntries(entry.Handle(), checked.children))
                return 0;
        }
        strChanged = OpenAgain(entry, hFolder, checked, CEntryHandle::DELETE_IT);
        if (!strChanged.IsEmpty())
            return fail(strChanged);
        DWORD dwError;
        if ((checked.dwAttributes & FILE_ATTRIBUTE_READONLY) && (dwError = entry.ClearReadOnly()) != ERROR_SUCCESS)
            return failWithSystemText(dwError);
        if ((dwError = entry.MarkForDeletion()) != ERROR_SUCCESS) {
            CString strNew = dwError == ERROR_DIR_NOT_EMPTY ? FindNewEntry(checked.strPath, checked.children) : CString();
            return strNew.IsEmpty() ? failWithSystemText(dwError) : fail(strNew);
        }
    }
    return 1;
}

int CFolderTreeDlg::AskAboutReadOnlyFile(const CString& strPath)
{
    CFileDeleteRequestDlg dlgRequest(this, strPath, "File is Read-Only !");
    INT_PTR nResult = dlgRequest.DoModal();
    // The dialog ended from outside meanwhile: the deletion stops, as on Abort.
    if (IsEndingFromOutside() || nResult == IDCANCEL) {
        SetDlgItemText(IDC_EDIT_ERROR, "No or partial deletion");
        return -1;
    }
    if (nResult == -1) {
        AfxOwnedMessageBox(m_hWnd, "Fatal Error dialog box could not be created!", 0);
        return 0;
    }
    if (nResult != IDOK)
        return 0;
    // While the question waited, another program may have renamed or
    // replaced a folder being emptied: nothing more goes unless each still
    // is what it was.
    CString strRefusal = CheckHeldFolders(m_pHeldFolder);
    if (!strRefusal.IsEmpty()) {
        SetDlgItemText(IDC_EDIT_ERROR, strRefusal);
        return -1;
    }
    if (dlgRequest.m_nAnswer == CFileDeleteRequestDlg::ANSWER_YES_TO_ALL) {
        m_bYesToAll = 1;
        m_bDeleteAllReadOnly = 1;
        return 1;
    }
    return dlgRequest.m_nAnswer == CFileDeleteRequestDlg::ANSWER_YES;
}
