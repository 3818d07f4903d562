// Deleting a folder with its contents, asking about each read-only file.
//
// The chosen folder is held open first, opened relative to its parent,
// which is held in turn from the drive's root down. A first pass then lists
// every folder through its handle, opens every entry below it as the
// deletion will, each relative to its held folder, and records what it is
// only when the handle shows the very entry that the listing gave for that
// name; anything that would stop the deletion halfway stops it there,
// before anything goes. The deletion pass opens each recorded entry again
// the same way, goes on only when the handle shows the entry that was
// recorded, and deletes it through that handle.
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

#include <memory>
#include <unordered_map>

// What an entry is: a folder or not, and a link or not. A reparse point
// that is not a link (a cloud placeholder, a projected folder) is the
// folder or file it stands for. Under Wine a handle never shows a link (it
// is opened as what it leads to); the listing does.
struct CKind {
    bool bFolder;
    bool bLink;
    bool operator==(const CKind& other) const { return bFolder == other.bFolder && bLink == other.bLink; }
    bool operator!=(const CKind& other) const { return !(*this == other); }
};

static CKind KindOf(DWORD dwAttributes, DWORD dwReparseTag)
{
    return CKind{ (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, IsLink(dwAttributes, dwReparseTag) };
}

static CKind KindOf(const CEntryHandle& entry)
{
    return KindOf(entry.Attributes(), entry.ReparseTag());
}

// Whether the open entry is the one that a listing gave for its name: the
// same kind, and the same file where the file system gives ids.
static bool IsListedEntry(const CEntryHandle& entry, const CListedId& listed)
{
    return KindOf(entry) == KindOf(listed.dwAttributes, listed.dwReparseTag) &&
           (listed.nFileId == 0 || listed.nFileId == entry.Id().nIndex);
}

// The entries of a listing through a handle by their exact names, "." and
// ".." left out.
typedef std::unordered_map<std::wstring, const CListedId*> CListedById;
static CListedById ByName(const std::vector<CListedId>& listed)
{
    CListedById byName;
    for (const CListedId& entry : listed)
        if (entry.strName != L"." && entry.strName != L"..")
            byName[entry.strName] = &entry;
    return byName;
}

// An entry as the first pass found it.
struct CCheckedEntry {
    std::wstring strName;  // exactly as the file system holds it
    CString strPath;       // the ANSI path that texts and the request show
    DWORD dwAttributes;    // as its handle showed them
    CEntryId id;
    CKind kind;            // as the listing showed it
    CKind kindOpened;      // as its handle showed it
    DWORD nLinks;          // its names
    std::vector<CCheckedEntry> children;  // a folder's entries
    bool bDeleted = false;  // marked for deletion (its name may stay while others hold it open)

    bool IsFolder() const { return kind.bFolder && !kind.bLink; }
    bool IsReadOnlyFile() const
    {
        return (dwAttributes & FILE_ATTRIBUTE_READONLY) && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
    }
};

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
        DWORD dwTag = bKnown && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? ReparseTagOf(hFolder) : 0;
        CloseHandle(hFolder);
        CEntryId id;
        id.dwVolume = info.dwVolumeSerialNumber;
        id.nIndex = ((ULONGLONG)info.nFileIndexHigh << 32) | info.nFileIndexLow;
        return bKnown && id == m_id && !IsLink(info.dwFileAttributes, dwTag) && !IsLinkAt(m_strPath);
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

// Opens checked again for nUse, in the folder that hFolder holds. Nothing
// refused when the handle shows the very entry that the first pass recorded.
static CRefusal OpenAgain(CEntryHandle& entry, HANDLE hFolder, const CCheckedEntry& checked, CEntryHandle::Use nUse)
{
    bool bReadOnly = (checked.dwAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (DWORD dwError = entry.OpenIn(hFolder, checked.strName, nUse, bReadOnly))
        return CRefusal::System(dwError);
    if (entry.Id() != checked.id || KindOf(entry) != checked.kindOpened)
        return CRefusal(CRefusal::REPLACED_AFTER_CHECK, checked.strPath);
    return CRefusal();
}

// Nothing refused when the plain file name, open in entry through the
// folder that hFolder holds, can be deleted whatever other programs do with
// it. A file mapped into memory (a running program's file, a loaded
// library) cannot be deleted on either platform. Without POSIX-style
// deletion (Wine 8, Windows before 10 1809) a file that another program
// holds open keeps its name after it is deleted, and its folder cannot be
// removed: it is found by an open that shares nothing. A link is not
// asked: under Wine its handle is that of what it leads to.
static CRefusal CheckFileInUse(const CString& strTop, const CString& strPath, HANDLE hFolder,
                               const CListedName& name, const CListedId& listed, CEntryHandle& entry)
{
    bool bReadOnly = (entry.Attributes() & FILE_ATTRIBUTE_READONLY) != 0, bAtOnce = false;
    DWORD dwError = entry.CheckDeletable(bReadOnly, bAtOnce);
    if (!dwError && !bAtOnce) {
        dwError = entry.OpenIn(hFolder, name.strWide, CEntryHandle::DELETE_ALONE, bReadOnly);
        if (dwError && dwError != ERROR_SHARING_VIOLATION)
            return CRefusal::WithError(CRefusal::HOLDS_UNOPENABLE, dwError, strTop, strPath);
        if (!dwError && !IsListedEntry(entry, listed))
            return CRefusal(CRefusal::HOLDS_REPLACED, strTop, strPath);
    }
    return dwError ? CRefusal::WithError(CRefusal::HOLDS_IN_USE, dwError, strTop, strPath) : CRefusal();
}

// The planning pass over the folder that folder holds open, strFolder its
// path: every entry is opened relative to it as the deletion will open it
// (holding needs more than listing: delete access, which another program's
// handle can deny) and recorded into entries, and every subfolder is
// planned in turn while it is held. The names are checked as the path
// lists them; what is opened is what the listing through the handle gave
// for each name, so that a name swapped for a link meanwhile is never
// looked into (under Wine the open follows the link: its identity is that
// of what it leads to). Nothing refused when nothing would stop the
// deletion of strTop halfway.
static CRefusal PlanDeletion(const CString& strTop, const CString& strFolder, const CEntryHandle& folder,
                             std::vector<CCheckedEntry>& entries)
{
    std::vector<CListedId> listed;
    std::vector<CListedName> names;
    DWORD dwError = ListIdsIn(folder.Handle(), listed);
    if (!dwError)
        dwError = ListFolderWide(strFolder, names);
    if (dwError)
        return strFolder == strTop ? CRefusal::System(dwError)
                                   : CRefusal::WithError(CRefusal::HOLDS_UNLISTABLE, dwError, strTop, strFolder);
    // The path's listing must be of the held folder: a folder whose path
    // leads elsewhere meanwhile lists other names.
    CListedById byName = ByName(listed);
    if (byName.size() != names.size())
        return CRefusal(CRefusal::HOLDS_REPLACED, strTop, strFolder);
    CHiddenFileLinks fileLinks(strFolder);
    entries.reserve(names.size());
    for (const CListedName& name : names) {
        CString strPath = JoinPath(strFolder, name.strAnsi);
        auto it = byName.find(name.strWide);
        if (it == byName.end() || KindOf(it->second->dwAttributes, it->second->dwReparseTag).bLink != name.bLink)
            return CRefusal(CRefusal::HOLDS_REPLACED, strTop, strPath);
        if (CRefusal refusal = CheckEntry(strTop, strFolder, name, fileLinks))
            return refusal;
        CEntryHandle entry;
        dwError = entry.OpenIn(folder.Handle(), name.strWide, CEntryHandle::DELETE_IT,
                               (name.dwAttributes & FILE_ATTRIBUTE_READONLY) != 0);
        if (dwError != ERROR_SUCCESS)
            return CRefusal::WithError(CRefusal::HOLDS_UNOPENABLE, dwError, strTop, strPath);
        if (!IsListedEntry(entry, *it->second))
            return CRefusal(CRefusal::HOLDS_REPLACED, strTop, strPath);
        // Wine lists named pipes, sockets and devices as plain files, and
        // cannot delete them.
        if (!entry.IsOnDisk())
            return CRefusal(CRefusal::HOLDS_SPECIAL, strTop, strPath);
        CKind kind = KindOf(it->second->dwAttributes, it->second->dwReparseTag);
        if (!kind.bFolder && !kind.bLink && !fileLinks.IsLink(name))
            if (CRefusal refusal = CheckFileInUse(strTop, strPath, folder.Handle(), name, *it->second, entry))
                return refusal;
        entries.push_back(
            CCheckedEntry{ name.strWide, strPath, entry.Attributes(), entry.Id(), kind, KindOf(entry), entry.Links(), {} });
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

// Why the folder checked (in the folder that hParent holds), whose
// recorded entries were all deleted or kept, cannot be removed: an entry
// that came after the planning pass, or a kept one (No). Nothing refused
// while the only entries left are deleted ones whose names stay while other
// programs hold them open, until bWaited.
static CRefusal WhyNotEmpty(HANDLE hParent, const CCheckedEntry& checked, bool bWaited)
{
    CEntryHandle folder;
    if (CRefusal refusal = OpenAgain(folder, hParent, checked, CEntryHandle::HOLD))
        return refusal;
    std::vector<CListedId> listed;
    if (DWORD dwError = ListIdsIn(folder.Handle(), listed))
        return CRefusal::System(dwError);
    std::unordered_map<std::wstring, const CCheckedEntry*> recorded;
    for (const CCheckedEntry& entry : checked.children)
        recorded[entry.strName] = &entry;
    bool bKept = false;
    for (const auto& entry : ByName(listed)) {
        auto it = recorded.find(entry.first);
        // Shown as the error box shows text.
        if (it == recorded.end())
            return CRefusal(CRefusal::NEW_ENTRY, checked.strPath,
                            JoinPath(checked.strPath, AfxWideToAnsi(entry.first.c_str())));
        bKept = bKept || !it->second->bDeleted;
    }
    return bKept || bWaited ? CRefusal::System(ERROR_DIR_NOT_EMPTY) : CRefusal();
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
    CRefusal Remove(CEntryHandle& entry, HANDLE hFolder, CCheckedEntry& checked);
    CRefusal AskAboutReadOnlyFile(const CString& strPath, bool& bDelete);
    CRefusal AskAboutSharedReadOnly(const CString& strPath, bool& bClear);

    CFolderTreeDlg& m_dlg;
    CHeldFolder* m_pInnermostHeld = NULL;
    // The drive's root and the folders down to the chosen folder's parent,
    // held open while the deletion runs.
    std::vector<std::unique_ptr<CEntryHandle>> m_parents;
};

CRefusal CDeletion::DeleteFolder(const CString& strFolder)
{
    CEntryHandle top;
    CCheckedEntry checked;
    bool bGone = false;
    CRefusal refusal = OpenTop(strFolder, top, checked, bGone);
    if (refusal || bGone)
        return refusal;
    HANDLE hParent = m_parents.back()->Handle();
    if ((refusal = PlanDeletion(strFolder, strFolder, top, checked.children)))
        return refusal;
    {
        CHeldFolder held(checked, m_pInnermostHeld);
        if ((refusal = EmptyFolder(top.Handle(), checked.children)))
            return refusal;
    }

    // The folder itself, through a handle of its own.
    if ((refusal = OpenAgain(top, hParent, checked, CEntryHandle::DELETE_IT)) ||
        (refusal = Remove(top, hParent, checked)))
        return refusal;
    top.Close();

    // Success only when the very folder is gone: not when its parent cannot
    // be listed to show it. By its id where the file system gives ids, not
    // by a name another entry may have taken.
    std::vector<CListedId> listed;
    if (DWORD dwError = ListIdsIn(hParent, listed))
        return CRefusal::System(dwError);
    bool bIds = false;
    for (const CListedId& entry : listed)
        bIds = bIds || entry.nFileId != 0;
    for (const CListedId& entry : listed)
        if (bIds ? entry.nFileId == checked.id.nIndex : entry.strName == checked.strName)
            return CRefusal(CRefusal::STILL_THERE, strFolder);
    return CRefusal();
}

// Opens the folder strFolder as it will be deleted, records it into
// checked and holds it. It is opened relative to its parent, which is held
// in turn from the drive's root down, each as its parent's listing gave it:
// a folder on the way that was replaced by a link since the tree listed it
// is not gone through. A link is never listed through: what it points to
// is not the user's to delete here; the link itself goes alone, through its
// handle, where the system can do that (bGone). The listing says whether
// it is a link: under Wine the handle cannot tell, as opening follows a
// link.
CRefusal CDeletion::OpenTop(const CString& strFolder, CEntryHandle& top, CCheckedEntry& checked, bool& bGone)
{
    std::wstring strPath = Widen(strFolder);
    if (strPath.size() < 4 || strPath[1] != L':' || strPath[2] != L'\\')
        return CRefusal::System(ERROR_INVALID_NAME);
    std::vector<std::wstring> names;
    for (size_t nStart = 3; nStart < strPath.size();) {
        size_t nEnd = strPath.find(L'\\', nStart);
        if (nEnd == std::wstring::npos)
            nEnd = strPath.size();
        if (nEnd > nStart)
            names.push_back(strPath.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    m_parents.clear();
    m_parents.emplace_back(new CEntryHandle);
    if (DWORD dwError = m_parents.back()->OpenPath(strPath.substr(0, 3), CEntryHandle::HOLD, false))
        return CRefusal::System(dwError);
    CKind kind = {};
    for (size_t i = 0; i < names.size(); i++) {
        bool bLast = i + 1 == names.size();
        std::vector<CListedId> listed;
        if (DWORD dwError = ListIdsIn(m_parents.back()->Handle(), listed))
            return CRefusal::System(dwError);
        CListedById byName = ByName(listed);
        auto it = byName.find(names[i]);
        if (it == byName.end())
            return CRefusal::System(bLast ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
        kind = KindOf(it->second->dwAttributes, it->second->dwReparseTag);
        if (!bLast && (kind.bLink || !kind.bFolder))
            return CRefusal(CRefusal::REPLACED_AFTER_CHECK, strFolder);
        if (bLast && kind.bLink && !CanRemoveLinkAlone())
            return CRefusal(CRefusal::IS_LINK, strFolder);
        if (!bLast)
            m_parents.emplace_back(new CEntryHandle);
        CEntryHandle& entry = bLast ? top : *m_parents.back();
        HANDLE hParent = m_parents[bLast ? m_parents.size() - 1 : m_parents.size() - 2]->Handle();
        DWORD dwError = entry.OpenIn(hParent, names[i], bLast ? CEntryHandle::DELETE_IT : CEntryHandle::HOLD,
                                     (it->second->dwAttributes & FILE_ATTRIBUTE_READONLY) != 0);
        if (dwError)
            return CRefusal::System(dwError);
        if (!IsListedEntry(entry, *it->second))
            return CRefusal(CRefusal::REPLACED_AFTER_CHECK, strFolder);
    }
    if (names.empty())
        return CRefusal(CRefusal::DRIVE_NOT_DELETED);
    if (kind.bLink) {
        DWORD dwError = top.DeleteAtOnce();
        if (dwError == ERROR_NOT_SUPPORTED)
            dwError = top.MarkForDeletion();
        bGone = dwError == ERROR_SUCCESS;
        return bGone ? CRefusal() : CRefusal::System(dwError);
    }
    if (!kind.bFolder)
        return CRefusal::System(ERROR_DIRECTORY);
    checked = CCheckedEntry{ names.back(), strFolder, top.Attributes(), top.Id(), kind, KindOf(top), top.Links(), {} };
    return OpenAgain(top, m_parents.back()->Handle(), checked, CEntryHandle::HOLD);
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
    return Remove(entry, hFolder, checked);
}

// Removes the entry checked, open for deletion through entry, in the folder
// that hFolder holds. POSIX-style where the system can: the name goes at
// once, whoever else holds the file, and a read-only file goes as it is.
// Otherwise the read-only attribute is cleared first; it belongs to the
// file, not to the name, so for a file with other names (which may lie
// outside the folder) only after the user agrees. A folder whose entries
// were all deleted, but still list because other programs hold them open,
// is waited for briefly before the deletion is called partial.
CRefusal CDeletion::Remove(CEntryHandle& entry, HANDLE hFolder, CCheckedEntry& checked)
{
    DWORD dwError = entry.DeleteAtOnce();
    if (dwError == ERROR_NOT_SUPPORTED) {
        if (checked.dwAttributes & FILE_ATTRIBUTE_READONLY) {
            if (checked.IsReadOnlyFile() && entry.Links() > 1) {
                bool bClear = false;
                if (CRefusal refusal = AskAboutSharedReadOnly(checked.strPath, bClear))
                    return refusal;
                // Kept, as after No to the request: its folder then cannot go.
                if (!bClear)
                    return CRefusal();
            }
            if ((dwError = entry.ClearReadOnly()) != ERROR_SUCCESS)
                return CRefusal::System(dwError);
        }
        dwError = entry.MarkForDeletion();
    }
    const int WAIT_STEPS = 20, WAIT_STEP_MS = 100;
    for (int nWait = 0; dwError == ERROR_DIR_NOT_EMPTY; nWait++) {
        entry.Close();
        if (CRefusal refusal = WhyNotEmpty(hFolder, checked, nWait == WAIT_STEPS))
            return refusal;
        Sleep(WAIT_STEP_MS);
        if (CRefusal refusal = OpenAgain(entry, hFolder, checked, CEntryHandle::DELETE_IT))
            return refusal;
        if ((dwError = entry.DeleteAtOnce()) == ERROR_NOT_SUPPORTED)
            dwError = entry.MarkForDeletion();
    }
    if (dwError != ERROR_SUCCESS)
        return CRefusal::System(dwError);
    checked.bDeleted = true;
    return CRefusal();
}

// The question before the read-only attribute of a file with other names
// is cleared: bClear says whether it is. A refusal stops the deletion: the
// dialog ended from outside meanwhile, or a held folder changed while the
// question waited.
CRefusal CDeletion::AskAboutSharedReadOnly(const CString& strPath, bool& bClear)
{
    CString strText;
    strText.Format(VarnetText::CLEAR_SHARED_READ_ONLY, (const char*)strPath);
    int nAnswer = AfxOwnedMessageBox(m_dlg.m_hWnd, strText, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (m_dlg.IsEndingFromOutside())
        return CRefusal(CRefusal::DELETION_ABORTED);
    if (CRefusal refusal = CheckHeldFolders(m_pInnermostHeld))
        return refusal;
    bClear = nAnswer == IDYES;
    return CRefusal();
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
