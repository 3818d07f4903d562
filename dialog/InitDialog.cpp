// Dialog initialisation and the window chrome: icons, drive labels, image
// lists, drive list, tooltips, the start position; minimised painting and
// the colours of the path and error boxes.
#include "AccessibleName.h"
#include "DisplayScale.h"
#include "ErrorMessage.h"
#include "FolderTreeDlg.h"
#include "TreeNodes.h"
#include "UserTexts.h"
#include "VarnetIcons.h"
#include "resource.h"

BOOL CFolderTreeDlg::OnInitDialog()
{
    // Binds the member controls.
    CDialog::OnInitDialog();

    // A host's own template may lack controls: without the tree or the
    // drive list the dialog cannot work and ends as one that could not be
    // created; every other control is optional.
    if (!::GetDlgItem(m_hWnd, IDC_FOLDER_TREE) || !::GetDlgItem(m_hWnd, IDC_CBX_DRIVES)) {
        TRACE("Varnet: the template lacks the folder tree or the drive list\n");
        EndDialog(-1);
        return TRUE;
    }

    // Both window icons are the 32 x 32 icon 128.
    SendMessage(WM_SETICON, ICON_BIG, (LPARAM)m_hIcon);
    SendMessage(WM_SETICON, ICON_SMALL, (LPARAM)m_hIcon);

    ResetRunState();
    CollectDriveLabels();
    CreateImageLists();
    NameControls();
    // Scaled to a large font, the dialog may not fit on its monitor.
    FitToWorkArea(m_hWnd);
    // No click yet: OK returns the initial path until one comes.
    m_bTreeClicked = 0;
    if (CreateToolTips())
        OpenStartFolder();
    return TRUE;
}

void CFolderTreeDlg::ResetRunState()
{
    m_bNewFolderPending = 0;
    m_bDeleteBusy = 0;
    m_bYesToAll = 0;
    m_bDeleteAllReadOnly = 0;
    m_nDeleteDepth = -1;
    m_strScanError.Empty();
}

void CFolderTreeDlg::CollectDriveLabels()
{
    // The labels of the present drives, in letter order.
    m_arrDriveLabels.RemoveAll();
    DWORD dwDriveMask = GetLogicalDrives();
    if (dwDriveMask == 0) {
        // As CErrorMessage::ShowMessage says it, in a box this dialog owns.
        // The error is read before the text is made: the strings' own
        // calls may set another.
        DWORD dwError = GetLastError();
        CString strText = CString(VarnetText::NO_DRIVES) + "\n\n" + CErrorMessage::DisplayText(dwError);
        AfxOwnedMessageBox(m_hWnd, strText, MB_ICONEXCLAMATION);
    }
    for (int i = 0; i < 26; i++, dwDriveMask >>= 1) {
        if (dwDriveMask & 1) {
            CString strLabel = CString("(") + (char)('A' + i) + ":)";
            m_arrDriveLabels.Add(strLabel);
        }
    }
}

// Fills iml with the icons ids, drawn 16 pixels wide, at the size for nDpi.
// A dialog object may run more than once, and its scale may change: the
// list made before is replaced.
static void FillImageList(CImageList& iml, const UINT* pIds, int nCount, int nDpi)
{
    int nSize = ScaledImageSize(16, nDpi);
    iml.DeleteImageList();
    iml.Create(nSize, nSize, 0, 0, nCount);
    for (int i = 0; i < nCount; i++)
        iml.Add(LoadScaledVarnetIcon(pIds[i], 16, nDpi));
}

// The drive image; the tree's closed folder, open folder and drive.
static const UINT kDriveImages[] = { IDI_DRIVE };
static const UINT kTreeImages[] = { IDI_FOLDER_CLOSED, IDI_FOLDER_OPEN, IDI_DRIVE_ROOT };

void CFolderTreeDlg::CreateImageLists()
{
    // The images at the scale of the dialog's text.
    int nDpi = WindowDpi(m_hWnd);
    m_pImlDrives = &m_imlDrives;
    FillImageList(m_imlDrives, kDriveImages, 1, nDpi);
    DisplayDrives();
    m_pImlTree = &m_imlTree;
    FillImageList(m_imlTree, kTreeImages, 3, nDpi);
    SetCommandIcons();
}

void CFolderTreeDlg::SetCommandIcons()
{
    // The busy icon stays on the command that runs.
    SetVarnetIcon(m_iconMakeFolder, m_bNewFolderPending ? IDI_BUSY : IDI_MAKE_FOLDER);
    SetVarnetIcon(m_iconDeleteFolder, m_bDeleteBusy ? IDI_BUSY : IDI_DELETE_FOLDER);
}

void CFolderTreeDlg::OnDpiChanged(int nDpi, const RECT* prcSuggested)
{
    // The system has scaled the dialog's font and layout (or the window
    // takes the suggested rectangle); the images follow, and the window
    // stays inside the new monitor's work area.
    if (prcSuggested)
        ::SetWindowPos(m_hWnd, NULL, prcSuggested->left, prcSuggested->top, prcSuggested->right - prcSuggested->left,
                     prcSuggested->bottom - prcSuggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    // The message carries the new scale, which the window takes on as it
    // returns.
    if (nDpi <= 0)
        nDpi = WindowDpi(m_hWnd);
    FillImageList(m_imlDrives, kDriveImages, 1, nDpi);
    FillImageList(m_imlTree, kTreeImages, 3, nDpi);
    if (CWnd* pDrives = GetDlgItem(IDC_CBX_DRIVES))
        ((CComboBoxEx*)pDrives)->SetImageList(m_pImlDrives);
    if (CTreeCtrl* pTree = GetTree())
        pTree->SetImageList(m_pImlTree, TVSIL_NORMAL);
    SetCommandIcons();
    FitToWorkArea(m_hWnd);
}

void CFolderTreeDlg::NameControls()
{
    // Screen readers read the label beside each control, and the tooltip
    // of each command icon. The drive list's focus is on the combo box
    // inside it, which gets the name too.
    const struct {
        int nID;
        const char* pszName;
    } names[] = {
        { IDC_EDIT_PATH, VarnetText::NAME_PATH },       { IDC_CBX_DRIVES, VarnetText::NAME_DRIVES },
        { IDC_FOLDER_TREE, VarnetText::NAME_TREE },     { IDC_EDIT_ERROR, VarnetText::NAME_ERROR },
        { IDC_STATIC_MAKEFOLDER, VarnetText::TIP_MAKE }, { IDC_STATIC_DELETEFOLDER, VarnetText::TIP_DELETE },
    };
    for (const auto& name : names)
        SetAccessibleName(::GetDlgItem(m_hWnd, name.nID), name.pszName);
    HWND hDrives = ::GetDlgItem(m_hWnd, IDC_CBX_DRIVES);
    SetAccessibleName((HWND)::SendMessageA(hDrives, CBEM_GETCOMBOCONTROL, 0, 0), VarnetText::NAME_DRIVES);
}

BOOL CFolderTreeDlg::CreateToolTips()
{
    // The control of an earlier run is replaced. The pointer is cleared
    // first: should the new one not be made (memory running out), no
    // pointer to the freed control is left for the tooltip relay and the
    // destructor.
    delete m_pToolTip;
    m_pToolTip = NULL;
    m_pToolTip = new CToolTipCtrl;
    if (!m_pToolTip->Create(this, 0)) {
        TRACE("Unable To create ToolTip\n");
        return FALSE;
    }
    // A tool for each of these controls that the template has.
    const struct {
        CWnd* pControl;
        const char* pszText;
    } tools[] = {
        { &m_iconDeleteFolder, VarnetText::TIP_DELETE }, { &m_iconMakeFolder, VarnetText::TIP_MAKE },
        { &m_btnExpand, VarnetText::TIP_EXPAND },        { &m_btnOK, VarnetText::TIP_OK },
        { &m_editPath, VarnetText::TIP_PATH },           { &m_editError, VarnetText::TIP_ERROR },
    };
    for (const auto& tool : tools)
        if (tool.pControl->m_hWnd)
            m_pToolTip->AddTool(tool.pControl, tool.pszText);
    m_pToolTip->Activate(TRUE);
    return TRUE;
}

// Chooses the drive whose entry starts like strKey ("(C:)", in any case);
// FALSE when none does.
static BOOL ChooseDrive(CComboBoxEx* pDrives, const CString& strKey)
{
    for (int j = 0; j < pDrives->GetCount(); j++) {
        CString strEntry;
        pDrives->GetLBText(j, strEntry);
        if (strKey.CompareNoCase(strEntry.Left(strKey.GetLength())) == 0) {
            pDrives->SetCurSel(j);
            return TRUE;
        }
    }
    return FALSE;
}

void CFolderTreeDlg::OpenStartFolder()
{
    CComboBoxEx* pDrives = (CComboBoxEx*)GetDlgItem(IDC_CBX_DRIVES);
    if (m_strInitialPath.IsEmpty()) {
        int nIndex = pDrives->FindStringExact(0, VarnetText::DEFAULT_DRIVE);
        if (nIndex != CB_ERR) {
            pDrives->SetCurSel(nIndex);
            OnSelendok_Cbx_Drives();
        }
        return;
    }

    // The drive of the path's first letter, then each component, from the
    // drive downwards, opened below the node that the previous one opened.
    // The tree is drawn once, when all are open; the siblings of the
    // path's nodes are inserted last (CPathSiblings says why).
    if (ChooseDrive(pDrives, CString("(") + m_strInitialPath[0] + ":)"))
        OnSelendok_Cbx_Drives();
    CTreeCtrl* pTree = GetTree();
    HTREEITEM hNode = pTree->GetRootItem();
    {
        CRedrawOff noRedraw(pTree);
        CPathSiblings later(pTree);
        CString strPath = m_strInitialPath + "\\";
        int nStart = 3;
        for (int nEnd = strPath.Find('\\', nStart); nEnd != -1; nEnd = strPath.Find('\\', nStart)) {
            CString strName = strPath.Mid(nStart, nEnd - nStart);
            nStart = nEnd + 1;
            int nNextEnd = strPath.Find('\\', nStart);
            later.SetNext(nNextEnd == -1 ? CString() : strPath.Mid(nStart, nNextEnd - nStart));
            OpenInPath(strName, hNode, &later);
        }
        later.InsertAll();
    }
    // The deepest folder opened becomes the selection, shown in view, so
    // that the path box, OK, Ins and Del all name one folder. Left on the
    // drive's top node, OK returned the drive while the box showed the
    // folder. Selecting shows its path, as a click does; the folder was
    // listed a moment ago and is not listed again.
    if (hNode && hNode != pTree->GetSelectedItem()) {
        m_hJustListed = hNode;
        pTree->SelectItem(hNode);
        m_hJustListed = NULL;
        pTree->Expand(hNode, TVE_EXPAND);
        pTree->EnsureVisible(hNode);
    }
}

void CFolderTreeDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    CDialog::OnSysCommand(nID, lParam);
}

void CFolderTreeDlg::OnPaint()
{
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);
        int cxIcon = GetSystemMetrics(SM_CXICON);
        int cyIcon = GetSystemMetrics(SM_CYICON);
        RECT rect;
        GetClientRect(&rect);
        int x = (rect.right - rect.left - cxIcon + 1) / 2;
        int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
    } else {
        CDialog::OnPaint();
    }
}

HCURSOR CFolderTreeDlg::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}

HBRUSH CFolderTreeDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hbr = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    switch (pWnd ? pWnd->GetDlgCtrlID() : 0) {
    case IDC_EDIT_PATH:
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(RGB(0, 0, 128));
        break;
    case IDC_EDIT_ERROR:
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(RGB(128, 0, 0));
        break;
    }
    return hbr;
}
