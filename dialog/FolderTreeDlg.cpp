// CFolderTreeDlg: construction, destruction, control binding and the
// message map. The handlers live with their subsystems (dialog/, tree/,
// scan/, folderops/).
#include "DisplayScale.h"
#include "FolderTreeDlg.h"
#include "Refusal.h"
#include "UserTexts.h"
#include "VarnetIcons.h"
#include "resource.h"

#include <exception>
#include <new>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0  // Windows 8.1 and later
#endif

CFolderTreeDlg::CFolderTreeDlg(const char* pszInitialPath, CWnd* pParent)
    : CDialog(IDD_FOLDER_TREE, pParent), m_pToolTip(NULL), m_hIcon(NULL), m_pImlDrives(NULL), m_pImlTree(NULL),
      m_hTopNode(NULL), m_hJustListed(NULL), m_strInitialPath(pszInitialPath), m_bTreeClicked(0),
      m_pScanThread(NULL), m_bScanContinue(0), m_hScanStartNode(NULL), m_nDeleteDepth(-1), m_bDeleteAllReadOnly(0),
      m_bYesToAll(0), m_bDeleteBusy(0), m_hNewFolderItem(NULL), m_bNewFolderPending(0)
{
    m_hIcon = LoadVarnetIcon(IDR_MAINFRAME);
}

CFolderTreeDlg::~CFolderTreeDlg()
{
    if (m_pToolTip)
        delete m_pToolTip;
}

INT_PTR CFolderTreeDlg::DoModal()
{
    // The dialog and what it opens (the progress and request dialogs,
    // message boxes) are created per-monitor aware: sharp at any scale.
    CPerMonitorDpiScope perMonitor;
    return CDialog::DoModal();
}

void CFolderTreeDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EDIT_ERROR, m_editError);
    DDX_Control(pDX, IDC_EDIT_PATH, m_editPath);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDC_BN_EXPAND, m_btnExpand);
    DDX_Control(pDX, IDC_STATIC_MAKEFOLDER, m_iconMakeFolder);
    DDX_Control(pDX, IDC_STATIC_DELETEFOLDER, m_iconDeleteFolder);
}

BEGIN_MESSAGE_MAP(CFolderTreeDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_CBN_SELENDOK(IDC_CBX_DRIVES, OnSelendok_Cbx_Drives)
    ON_NOTIFY(TVN_SELCHANGEDA, IDC_FOLDER_TREE, OnSelchangedFolderTree)
    ON_BN_CLICKED(IDC_BN_EXPAND, OnBn_ExpandSelectedNode)
    ON_NOTIFY(NM_RCLICK, IDC_FOLDER_TREE, OnRightClick_FolderTree)
    ON_NOTIFY(NM_CLICK, IDC_FOLDER_TREE, OnClickFolderTree)
    ON_NOTIFY(NM_CUSTOMDRAW, IDC_FOLDER_TREE, OnCustomdrawFolderTree)
    ON_STN_CLICKED(IDC_STATIC_MAKEFOLDER, OnStatic_MakeFolder)
    ON_NOTIFY(TVN_ENDLABELEDITA, IDC_FOLDER_TREE, OnEndlabeleditFolderTree)
    ON_STN_CLICKED(IDC_STATIC_DELETEFOLDER, OnStatic_DeleteFolder)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

BOOL CFolderTreeDlg::IsEndingFromOutside() const
{
    MSG msg;
    return !m_hWnd || ::PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE);
}

void CFolderTreeDlg::EndLabelEdit()
{
    CTreeCtrl* pTree = GetTree();
    if (pTree && pTree->GetEditControl())
        pTree->EndEditLabelNow(FALSE);
}

CTreeCtrl* CFolderTreeDlg::GetTree() const
{
    return (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);
}

BOOL CFolderTreeDlg::StartCommand(HTREEITEM& hSelected, int nNeeds)
{
    hSelected = NULL;
    if (IsCommandRunning())
        return FALSE;
    if (((nNeeds & NEEDS_CLICK) && !m_bTreeClicked) ||
        ((nNeeds & SELECTION_FIRST) && !GetTree()->GetSelectedItem())) {
        ShowRefusal(CRefusal(CRefusal::NO_SELECTION));
        return FALSE;
    }
    EndLabelEdit();
    hSelected = GetTree()->GetSelectedItem();
    return TRUE;
}

BOOL CFolderTreeDlg::ShowRefusal(const CRefusal& refusal)
{
    // A dialog ended from outside while the command ran has no box left.
    if (refusal && ::IsWindow(m_hWnd))
        SetDlgItemText(IDC_EDIT_ERROR, refusal.Text());
    return refusal ? TRUE : FALSE;
}

void CFolderTreeDlg::ReportCurrentException()
{
    // What the framework's guard catches, said as it says it.
    try {
        throw;
    } catch (CException* pException) {
        char szText[512];
        if (!pException->GetErrorMessage(szText, sizeof szText))
            lstrcpynA(szText, VarnetText::UNKNOWN_ERROR, sizeof szText);
        pException->Delete();
        AfxOwnedMessageBox(m_hWnd, szText, MB_OK | MB_ICONEXCLAMATION);
    } catch (const std::bad_alloc&) {
        AfxOwnedMessageBox(m_hWnd, VarnetText::OUT_OF_MEMORY, MB_OK | MB_ICONEXCLAMATION);
    } catch (const std::exception& e) {
        AfxOwnedMessageBox(m_hWnd, e.what(), MB_OK | MB_ICONEXCLAMATION);
    }
}

LRESULT CFolderTreeDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The framework's own report would be owned by the active window or
    // the host's main window. The commands have set their state back by
    // the time an exception arrives here.
    try {
        if (message == WM_DPICHANGED) {
            LRESULT lResult = CDialog::WindowProc(message, wParam, lParam);
            OnDpiChanged(HIWORD(wParam), (const RECT*)lParam);
            return lResult;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    } catch (...) {
        ReportCurrentException();
    }
    return 0;
}
