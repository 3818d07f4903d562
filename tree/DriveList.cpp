// The drive list and drive switching: one entry per present drive with a
// word for its type; choosing one rebuilds the tree from the drive's root.
#include "FolderTreeDlg.h"
#include "TreeNodes.h"
#include "UserTexts.h"
#include "resource.h"

// The word appended to a drive label for a GetDriveTypeA result.
static const char* DriveTypeWord(UINT nDriveType)
{
    switch (nDriveType) {
    case DRIVE_UNKNOWN: return " Unknown Type";
    case DRIVE_NO_ROOT_DIR: return " No Root Disk";
    case DRIVE_REMOVABLE: return " Removable Disk";
    case DRIVE_FIXED: return " Disk";
    case DRIVE_REMOTE: return " Remote Drive";
    case DRIVE_CDROM: return " CD-ROM";
    case DRIVE_RAMDISK: return " CD-ROM";
    default: return "";
    }
}

void CFolderTreeDlg::DisplayDrives()
{
    CComboBoxEx* pDrives = (CComboBoxEx*)GetDlgItem(IDC_CBX_DRIVES);
    pDrives->SetImageList(m_pImlDrives);
    for (int i = 0; i <= m_arrDriveLabels.GetUpperBound(); i++) {
        CString strEntry = m_arrDriveLabels[i];
        CString strDrive = strEntry.Mid(1, 2);  // C:
        strEntry += DriveTypeWord(GetDriveTypeA(strDrive));

        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
        item.iItem = i;
        item.pszText = (LPSTR)(LPCSTR)strEntry;
        item.cchTextMax = strEntry.GetLength();
        item.iImage = 0;
        item.iSelectedImage = 0;
        item.iIndent = 0;
        pDrives->InsertItem(&item);
    }
    // The second entry: drive C when drives A and C are present.
    pDrives->SetCurSel(1);
}

void CFolderTreeDlg::OnSelendok_Cbx_Drives()
{
    SetDlgItemText(IDC_EDIT_ERROR, "");

    CComboBoxEx* pDrives = (CComboBoxEx*)GetDlgItem(IDC_CBX_DRIVES);
    int nSelected = pDrives->GetCurSel();
    if (nSelected == CB_ERR) {
        AfxOwnedMessageBox(m_hWnd, VarnetText::NO_DRIVE_SELECTED, MB_ICONEXCLAMATION);
        return;
    }
    CString strEntry;
    pDrives->GetLBText(nSelected, strEntry);
    CString strRoot = strEntry.Mid(1, 2) + "\\";  // C:\ .
    CString strRootShown = strRoot;

    // The old tree goes and the new one is built without redrawing between.
    CTreeCtrl* pTree = GetTree();
    CRedrawOff noRedraw(pTree);
    HTREEITEM hTop = NULL;
    CreateTopNode(strRoot, hTop);
    strRoot.TrimRight('\\');  // C:

    CArray<CString, CString&> arrDirs;
    GetOneLevelDir(strRoot, arrDirs);
    CreateRootSubNodes(strRoot, arrDirs);

    SetDlgItemText(IDC_EDIT_PATH, strRootShown);
    pTree->SelectItem(pTree->GetRootItem());
    m_bTreeClicked = 1;
}

void CFolderTreeDlg::CreateTopNode(const char* pszRoot, HTREEITEM& hTop)
{
    CTreeCtrl* pTree = GetTree();
    pTree->DeleteAllItems();
    pTree->SetImageList(m_pImlTree, TVSIL_NORMAL);
    // The drive image, 2.
    hTop = InsertNode(pTree, NULL, NULL, pszRoot, 2, 2);
    m_hTopNode = hTop;

    pTree->SetTextColor(RGB(0, 0, 128));
    pTree->SetBkColor(RGB(192, 192, 192));
}
