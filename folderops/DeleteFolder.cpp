// Deleting a folder with its contents, asking about each read-only file.
#include "ErrorMessage.h"
#include "FileDeleteRequestDlg.h"
#include "FolderNames.h"
#include "FolderTreeDlg.h"
#include "VarnetIcons.h"
#include "resource.h"

void CFolderTreeDlg::OnStatic_DeleteFolder()
{
    // Nothing while a scan runs, nor until the tree was clicked; a running
    // deletion is not started again.
    if (IsScanRunning())
        return;
    if (!m_bTreeClicked) {
        SetDlgItemText(IDC_EDIT_ERROR, "Please Select a Folder");
        return;
    }
    if (m_bDeleteBusy)
        return;

    // Refused before the question: no selected node (the path would be
    // empty, and an empty path followed by \*.* names the current drive's
    // root), a drive's top node (its whole contents would go), or a path
    // that may name another folder than the one shown.
    CTreeCtrl* pTree = (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);
    HTREEITEM hSelected = pTree->GetSelectedItem();
    if (!hSelected) {
        SetDlgItemText(IDC_EDIT_ERROR, "Please Select a Folder");
        return;
    }
    if (!pTree->GetParentItem(hSelected)) {
        SetDlgItemText(IDC_EDIT_ERROR, "A Drive cannot be Deleted: please select a folder on it");
        return;
    }
    CString strPath = GetNodePath(hSelected);
    CString strRefusal = CheckExactPath(strPath);
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
    int bDeleted = DelAllFilesDirs(strPath);
    // Fetched again: the request dialogs' loops may have freed the
    // temporary object of the first fetch (or the window is gone).
    pTree = (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);
    if (bDeleted && pTree)
        pTree->DeleteItem(hSelected);
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
    auto failWithSystemText = [&](DWORD dwError) {
        CErrorMessage().ShowInDlgItem(dwError, "", m_hWnd, IDC_EDIT_ERROR);
        reset();
        return 0;
    };

    // The top call goes from -1 to 0.
    m_nDeleteDepth++;

    // A link is never listed through: what it points to is not the user's
    // to delete here. The link itself is removed alone where the system
    // can, and stays where it cannot.
    DWORD dwAttributes = GetFileAttributesA(strFolder);
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (!CanRemoveLinkAlone())
            return fail("Not Deleted: " + strFolder + " is a link, which cannot be removed here without what it points to");
        if (!RemoveDirectoryA(strFolder))
            return failWithSystemText(GetLastError());
        reset();
        return 1;
    }

    // Converted names could lead the deletion to other entries.
    CString strRefusal = CheckExactListing(strFolder);
    if (!strRefusal.IsEmpty())
        return fail(strRefusal);

    // The listing pattern (a drive root keeps one backslash before it).
    CString strPattern = strFolder;
    strPattern.TrimRight('\\');
    strPattern += "\\*.*";
    CFileFind finder;
    if (!finder.FindFile(strPattern)) {
        DWORD dwError = GetLastError();
        finder.Close();
        return failWithSystemText(dwError);
    }

    // Entries in the file system's order; the one the last FindNextFile reached is handled too.
    BOOL bMore = TRUE;
    while (bMore) {
        bMore = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        int bDeleteThis = 0;
        CString strPath = finder.GetFilePath();

        // A folder: emptied and removed before the later entries.
        if (finder.IsDirectory()) {
            if (finder.MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT)) {
                // A link to a folder: removed alone where the system can,
                // never descended into.
                if (!CanRemoveLinkAlone()) {
                    finder.Close();
                    return fail("Not Deleted: " + strFolder + " holds the link " + strPath +
                                ", which cannot be removed here without what it points to");
                }
            } else if (!DelAllFilesDirs(strPath)) {
                // The nested call has reported its failure and reset the
                // state; going on would let this level take itself for the
                // top, or report success with the folder still there.
                finder.Close();
                return 0;
            }
            if (finder.IsReadOnly())
                SetFileAttributesA(strPath, FILE_ATTRIBUTE_NORMAL);
            if (!RemoveDirectoryA(strPath)) {
                DWORD dwError = GetLastError();
                finder.Close();
                return failWithSystemText(dwError);
            }
            continue;
        }

        // A read-only file: asked about, unless Yes to All was given.
        if (finder.IsReadOnly()) {
            if (!m_bYesToAll) {
                CFileDeleteRequestDlg dlgRequest(NULL, strPath, "File is Read-Only !");
                INT_PTR nResult = dlgRequest.DoModal();
                // The dialog ended from outside meanwhile: the deletion stops, as on Abort.
                if (IsEndingFromOutside()) {
                    finder.Close();
                    return fail("No or partial deletion");
                }
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
                    finder.Close();
                    return fail("No or partial deletion");
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
        if (!DeleteFileA(strPath)) {
            DWORD dwError = GetLastError();
            finder.Close();
            return failWithSystemText(dwError);
        }
    }

    // A nested call is done: its caller removes the folder.
    finder.Close();
    if (m_nDeleteDepth != 0) {
        m_nDeleteDepth--;
        return 1;
    }

    // The top: the folder itself.
    dwAttributes = GetFileAttributesA(strFolder);
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
