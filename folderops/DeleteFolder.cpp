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
#include "Refusal.h"
#include "ScopeEnd.h"
#include "TreeNodes.h"
#include "UserTexts.h"
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
// the deletion. The folders held form a chain, from the innermost out.
struct CHeldFolder {
    CHeldFolder(const CCheckedEntry& folder, CHeldFolder*& pInnermost)
        : m_strPath(folder.strPath), m_id(folder.id), m_pOuter(pInnermost), m_pInnermost(pInnermost)
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

    const CString m_strPath;
    const CEntryId m_id;
    CHeldFolder* const m_pOuter;
    CHeldFolder*& m_pInnermost;
};

// Nothing refused when every folder being emptied, from pInnermost out, is
// still itself; otherwise the outermost that is not stops the deletion.
static CRefusal CheckHeldFolders(const CHeldFolder* pInnermost)
{
    CRefusal refusal;
    for (const CHeldFolder* pHeld = pInnermost; pHeld; pHeld = pHeld->m_pOuter)
        if (!pHeld->IsUnchanged())
            refusal = CRefusal(CRefusal::HELD_FOLDER_CHANGED, pHeld->m_strPath);
    return refusal;
}

// Nothing refused when the entry name of strFolder can be deleted as
// itself, and shown and asked about by its ANSI name; otherwise why the
// deletion of strTop is refused. fileLinks finds file links that list as
// plain files.
static CRefusal CheckEntry(const CString& strTop, const CString& strFolder, const CListedName& name,
                           const CHiddenFileLinks& fileLinks)
{
    CString strPath = JoinPath(strFolder, name.strAnsi);
    NameProblem nProblem = ResolveName(strFolder, name, false);
    if (nProblem == NAME_CONVERTED)
        return CRefusal(CRefusal::HOLDS_UNREPRESENTABLE, strTop);
    if (nProblem != NAME_EXACT)
        return CRefusal::Ambiguous(CRefusal::HOLDS_AMBIGUOUS, strTop, strPath,
                                   nProblem == NAME_MISSING ? NAME_REDIRECTED : nProblem);
    if (Widen(strPath).size() >= MAX_PATH)
        return CRefusal(CRefusal::HOLDS_LONG_PATH, strTop, strPath);
    if ((name.bLink || fileLinks.IsLink(name)) && !CanRemoveLinkAlone())
        return CRefusal(CRefusal::HOLDS_LINK, strTop, strPath);
    return CRefusal();
}

// Opens checked again for nUse, in the folder that hFolder holds, or by its
// path for the top folder (hFolder NULL). Nothing refused when the handle
// shows the very entry that the first pass recorded.
static CRefusal OpenAgain(CEntryHandle& entry, HANDLE hFolder, const CCheckedEntry& checked, CEntryHandle::Use nUse)
{
    bool bReadOnly = (checked.dwAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    DWORD dwError = hFolder ? entry.OpenIn(hFolder, checked.strName, nUse, bReadOnly)
                            : entry.OpenPath(Widen(checked.strPath), nUse, bReadOnly);
    if (dwError != ERROR_SUCCESS)
        return CRefusal::System(dwError);
    if (entry.Id() != checked.id || !IsSameKind(entry.Attributes(), checked.dwAttributes))
        return CRefusal(CRefusal::REPLACED_AFTER_CHECK, checked.strPath);
    return CRefusal();
}

// The planning pass over the folder that folder holds open, strFolder its
// path: every entry is opened relative to it as the deletion will open it
// (holding needs more than listing: delete access, which another program's
// handle can deny) and recorded into entries, and every subfolder is
// planned in turn while it is held. Nothing refused when nothing would stop
// the deletion of strTop halfway.
static CRefusal PlanDeletion(const CString& strTop, const CString& strFolder, const CEntryHandle& folder,
                             std::vector<CCheckedEntry>& entries)
{
    std::vector<CListedName> names;
    if (DWORD dwError = ListFolderWide(strFolder, names))
        return strFolder == strTop ? CRefusal::System(dwError)
                                   : CRefusal::WithError(CRefusal::HOLDS_UNLISTABLE, dwError, strTop, strFolder);
    CHiddenFileLinks fileLinks(strFolder);
    entries.reserve(names.size());
    for (const CListedName& name : names) {
        if (CRefusal refusal = CheckEntry(strTop, strFolder, name, fileLinks))
            return refusal;
        CString strPath = JoinPath(strFolder, name.strAnsi);
        CEntryHandle entry;
        DWORD dwError = entry.OpenIn(folder.Handle(), name.strWide, CEntryHandle::DELETE_IT,
                                     (name.dwAttributes & FILE_ATTRIBUTE_READONLY) != 0);
        if (dwError != ERROR_SUCCESS)
            return CRefusal::WithError(CRefusal::HOLDS_UNOPENABLE, dwError, strTop, strPath);
        if (!IsSameKind(entry.Attributes(), name.dwAttributes))
            return CRefusal(CRefusal::HOLDS_REPLACED, strTop, strPath);
        entries.push_back(CCheckedEntry{ name.strWide, strPath, entry.Attributes(), entry.Id(), name.bLink, {} });
        if (!entries.back().IsFolder())
            continue;
        CRefusal refusal = OpenAgain(entry, folder.Handle(), entries.back(), CEntryHandle::HOLD);
        if (!refusal)
            refusal = PlanDeletion(strTop, strPath, entry, entries.back().children);
        if (refusal)
            return refusal;
    }
    return CRefusal();
}

// Why the folder strFolder, whose recorded entries were all deleted or
// kept, is not empty: an entry that came after the planning pass; nothing
// when there is none (a file kept by No).
static CRefusal FindNewEntry(const CString& strFolder, const std::vector<CCheckedEntry>& entries)
{
    std::vector<CListedId> listed;
    if (ListIds(Widen(strFolder), listed) != ERROR_SUCCESS)
        return CRefusal();
    for (const CListedId& entry : listed) {
        if (entry.strName == L"." || entry.strName == L"..")
            continue;
        bool bRecorded = false;
        for (const CCheckedEntry& checked : entries)
            bRecorded = bRecorded || checked.strName == entry.strName;
        // Shown as the error box shows text.
        if (!bRecorded)
            return CRefusal(CRefusal::NEW_ENTRY, strFolder, JoinPath(strFolder, AfxWideToAnsi(entry.strName.c_str())));
    }
    return CRefusal();
}

// Removes the entry checked through entry, its handle opened for deletion:
// its read-only attribute goes first; a folder that is not empty says why.
static CRefusal Remove(CEntryHandle& entry, const CCheckedEntry& checked)
{
    DWORD dwError;
    if ((checked.dwAttributes & FILE_ATTRIBUTE_READONLY) && (dwError = entry.ClearReadOnly()) != ERROR_SUCCESS)
        return CRefusal::System(dwError);
    if ((dwError = entry.MarkForDeletion()) == ERROR_SUCCESS)
        return CRefusal();
    CRefusal newEntry = dwError == ERROR_DIR_NOT_EMPTY ? FindNewEntry(checked.strPath, checked.children) : CRefusal();
    return newEntry ? newEntry : CRefusal::System(dwError);
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

// One run of DelAllFilesDirs: the folders it holds open while it empties
// them, and its questions. The answers and the nesting depth are the
// dialog's deletion state, which DelAllFilesDirs resets at its end.
class CDeletion {
public:
    explicit CDeletion(CFolderTreeDlg& dlg) : m_dlg(dlg) {}
    CDeletion(const CDeletion&) = delete;
    CDeletion& operator=(const CDeletion&) = delete;

    // Deletes the folder strFolder with everything in it, or nothing when
    // anything found in the planning pass would stop it halfway.
    CRefusal DeleteFolder(const CString& strFolder);

private:
    CRefusal OpenTop(const CString& strFolder, CEntryHandle& top, CCheckedEntry& checked, bool& bGone);
    CRefusal EmptyFolder(HANDLE hFolder, std::vector<CCheckedEntry>& entries);
    CRefusal DeleteEntry(HANDLE hFolder, CCheckedEntry& checked);
    CRefusal AskAboutReadOnlyFile(const CString& strPath, bool& bDelete);

    CFolderTreeDlg& m_dlg;
    CHeldFolder* m_pInnermostHeld = NULL;
};

CRefusal CDeletion::DeleteFolder(const CString& strFolder)
{
    CEntryHandle top;
    CCheckedEntry checked;
    bool bGone = false;
    CRefusal refusal = OpenTop(strFolder, top, checked, bGone);
    if (refusal || bGone)
        return refusal;
    if ((refusal = PlanDeletion(strFolder, strFolder, top, checked.children)))
        return refusal;
    {
        CHeldFolder held(checked, m_pInnermostHeld);
        if ((refusal = EmptyFolder(top.Handle(), checked.children)))
            return refusal;
    }

    // The folder itself, through a handle of its own.
    if ((refusal = OpenAgain(top, NULL, checked, CEntryHandle::DELETE_IT)) || (refusal = Remove(top, checked)))
        return refusal;
    top.Close();

    // Success only when the very folder is gone.
    CString strParent = strFolder.Left(strFolder.ReverseFind('\\'));
    if (strParent.GetLength() == 2)
        strParent += "\\";
    if (IsStillIn(strParent, checked.strName, checked.id))
        return CRefusal(CRefusal::STILL_THERE, strFolder);
    return CRefusal();
}

// Opens the folder strFolder as it will be deleted, records it into
// checked and holds it. A link is never listed through: what it points to
// is not the user's to delete here; the link itself goes alone, through its
// handle, where the system can do that (bGone). The listing of its parent
// says whether it is a link: under Wine the handle cannot tell, as opening
// follows a link.
CRefusal CDeletion::OpenTop(const CString& strFolder, CEntryHandle& top, CCheckedEntry& checked, bool& bGone)
{
    CWideFind find;
    if (!find.Start(Widen(strFolder)))
        return CRefusal::System(GetLastError());
    bool bReadOnly = (find.Data().dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (DWORD dwError = top.OpenPath(Widen(strFolder), CEntryHandle::DELETE_IT, bReadOnly))
        return CRefusal::System(dwError);
    if (IsLinkAt(strFolder) || (top.Attributes() & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (!CanRemoveLinkAlone())
            return CRefusal(CRefusal::IS_LINK, strFolder);
        DWORD dwError = top.MarkForDeletion();
        bGone = dwError == ERROR_SUCCESS;
        return bGone ? CRefusal() : CRefusal::System(dwError);
    }
    if (!(top.Attributes() & FILE_ATTRIBUTE_DIRECTORY))
        return CRefusal::System(ERROR_DIRECTORY);
    checked = CCheckedEntry{ find.Data().cFileName, strFolder, top.Attributes(), top.Id(), false, {} };
    return OpenAgain(top, NULL, checked, CEntryHandle::HOLD);
}

CRefusal CDeletion::EmptyFolder(HANDLE hFolder, std::vector<CCheckedEntry>& entries)
{
    // In the file system's order; a folder is emptied and removed before
    // the later entries.
    for (CCheckedEntry& checked : entries) {
        // A read-only file: asked about, unless Yes to All was given. A kept
        // file stays; its folder then cannot be removed.
        if (checked.IsReadOnlyFile() && !m_dlg.m_bYesToAll) {
            bool bDelete = false;
            if (CRefusal refusal = AskAboutReadOnlyFile(checked.strPath, bDelete))
                return refusal;
            if (!bDelete && !m_dlg.m_bDeleteAllReadOnly)
                continue;
        }
        if (CRefusal refusal = DeleteEntry(hFolder, checked))
            return refusal;
    }
    return CRefusal();
}

// Deletes one entry of the folder that hFolder holds. It is opened again as
// the planning pass opened it: only the entry it found goes, not one that
// took its name since (a link above all). A folder is held while it is
// emptied, then opened to be deleted.
CRefusal CDeletion::DeleteEntry(HANDLE hFolder, CCheckedEntry& checked)
{
    CEntryHandle entry;
    if (checked.IsFolder()) {
        if (CRefusal refusal = OpenAgain(entry, hFolder, checked, CEntryHandle::HOLD))
            return refusal;
        m_dlg.m_nDeleteDepth++;
        CScopeEnd depth([this] { m_dlg.m_nDeleteDepth--; });
        CHeldFolder held(checked, m_pInnermostHeld);
        if (CRefusal refusal = EmptyFolder(entry.Handle(), checked.children))
            return refusal;
    }
    if (CRefusal refusal = OpenAgain(entry, hFolder, checked, CEntryHandle::DELETE_IT))
        return refusal;
    return Remove(entry, checked);
}

// The request about one read-only file: bDelete says whether it goes. A
// refusal stops the deletion: Abort Deletion, the dialog ended from outside
// meanwhile, or a held folder changed while the question waited.
CRefusal CDeletion::AskAboutReadOnlyFile(const CString& strPath, bool& bDelete)
{
    CFileDeleteRequestDlg dlgRequest(&m_dlg, strPath, VarnetText::READ_ONLY_FILE);
    INT_PTR nResult = dlgRequest.DoModal();
    if (m_dlg.IsEndingFromOutside() || nResult == IDCANCEL)
        return CRefusal(CRefusal::DELETION_ABORTED);
    if (nResult == -1)
        AfxOwnedMessageBox(m_dlg.m_hWnd, VarnetText::REQUEST_NOT_CREATED, 0);
    if (nResult != IDOK)
        return CRefusal();
    // While the question waited, another program may have renamed or
    // replaced a folder being emptied: nothing more goes unless each still
    // is what it was.
    if (CRefusal refusal = CheckHeldFolders(m_pInnermostHeld))
        return refusal;
    if (dlgRequest.m_nAnswer == CFileDeleteRequestDlg::ANSWER_YES_TO_ALL) {
        m_dlg.m_bYesToAll = 1;
        m_dlg.m_bDeleteAllReadOnly = 1;
    }
    bDelete = dlgRequest.m_nAnswer == CFileDeleteRequestDlg::ANSWER_YES ||
              dlgRequest.m_nAnswer == CFileDeleteRequestDlg::ANSWER_YES_TO_ALL;
    return CRefusal();
}

void CFolderTreeDlg::OnStatic_DeleteFolder()
{
    // Del typed into a label's editor: the rename goes first. Refused: a
    // drive's top node (its whole contents would go).
    auto refusal = [this](HTREEITEM hSelected) {
        if (hSelected && !GetTree()->GetParentItem(hSelected))
            return CRefusal(CRefusal::DRIVE_NOT_DELETED);
        return CheckNodeNames(GetTree(), hSelected, VarnetText::NOT_CHANGED);
    };
    HTREEITEM hSelected = NULL;
    if (!StartCommand(hSelected, NEEDS_CLICK) || ShowRefusal(refusal(hSelected)))
        return;

    // One question; No (the default button) ends the command, as does the
    // dialog ended from outside meanwhile.
    if (AfxOwnedMessageBox(m_hWnd, VarnetText::CONFIRM_DELETE, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES ||
        IsEndingFromOutside())
        return;

    // The busy icon shows while the deletion runs. However the command
    // ends, an exception included, the deletion's state and the icon are
    // as before it.
    SetVarnetIcon(m_iconDeleteFolder, IDI_BUSY);
    m_bDeleteBusy = 1;
    CScopeEnd idle([this] {
        m_bDeleteBusy = 0;
        SetVarnetIcon(m_iconDeleteFolder, IDI_DELETE_FOLDER);
    });

    // The node and its path are taken, and checked again, after the
    // question: the dialog's state may have changed while it waited. The
    // tree's object is fetched again each time (a nested loop may have
    // freed the temporary one).
    hSelected = GetTree()->GetSelectedItem();
    if (ShowRefusal(refusal(hSelected)))
        return;
    CString strPath = GetNodePath(hSelected);
    if (DelAllFilesDirs(strPath) && ::IsWindow(m_hWnd) && GetTree()) {
        // The node goes only with its folder; it may hold a large expanded subtree.
        CRedrawOff noRedraw(GetTree());
        GetTree()->DeleteItem(hSelected);
    }
}

int CFolderTreeDlg::DelAllFilesDirs(CString& strFolder)
{
    // Every end of a deletion, exceptions included, resets its state; a
    // refusal also leaves its text in the error box.
    m_nDeleteDepth++;
    CScopeEnd reset([this] {
        m_nDeleteDepth = -1;
        m_bDeleteAllReadOnly = 0;
        m_bYesToAll = 0;
    });
    return !ShowRefusal(CDeletion(*this).DeleteFolder(strFolder));
}
