// CFolderTreeDlg: the modal folder-browse dialog exported by Varnet.dll.
// A host constructs it with an initial path, calls DoModal and, when it
// returns IDOK, reads m_strSelectedPath.
#pragma once

#include <afxcmn.h>
#include <afxtempl.h>
#include <afxwin.h>

#include <vector>

class CDeletion;
class CPathSiblings;
class CRefusal;
struct CScanJob;

class AFX_EXT_CLASS CFolderTreeDlg : public CDialog {
public:
    // pszInitialPath: the folder opened at start (null or empty: drive C).
    CFolderTreeDlg(const char* pszInitialPath = NULL, CWnd* pParent = NULL);
    ~CFolderTreeDlg() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Runs the dialog per-monitor DPI aware where the system offers it,
    // its nested dialogs with it.
    INT_PTR DoModal() override;

    // Thread entry of a recursive scan of m_strScanDir into m_arrScanDirs;
    // pParam is the dialog. (The command gives its worker a job of its
    // own: see ScanJob.h.)
    static UINT GetRecursiveDir(void* pParam);

    // The result: the full path of the chosen folder.
    CString m_strSelectedPath;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    // The dialog's messages, with what a handler throws reported in a box
    // that the dialog owns.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The steps of OnInitDialog: the per-run state, the labels of the
    // present drives, the image lists with the drive list, the tooltips
    // (FALSE when they cannot be created: the dialog then opens no folder),
    // and the start folder (drive C, or the initial path's folders).
    void ResetRunState();
    void CollectDriveLabels();
    void CreateImageLists();
    BOOL CreateToolTips();
    // The display scale and screen readers: the command icons at the
    // dialog's scale; the images and the layout again when the dialog has
    // moved to a monitor of another scale (WM_DPICHANGED, with the new
    // scale and the rectangle the system suggests); the controls'
    // accessible names.
    void SetCommandIcons();
    void OnDpiChanged(int nDpi, const RECT* prcSuggested);
    void NameControls();
    void OpenStartFolder();

    // Window chrome
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    // Drive list and tree
    void OnSelendok_Cbx_Drives();
    void OnSelchangedFolderTree(NMHDR* pNMHDR, LRESULT* pResult);
    void OnClickFolderTree(NMHDR* pNMHDR, LRESULT* pResult);
    void OnRightClick_FolderTree(NMHDR* pNMHDR, LRESULT* pResult);
    void OnCustomdrawFolderTree(NMHDR* pNMHDR, LRESULT* pResult);
    void DisplayDrives();
    void CreateTopNode(const char* pszRoot, HTREEITEM& hTop);
    void CreateRootSubNodes(const char* pszDrive, CArray<CString, CString&>& arrDirs);
    void CreateSubNodes(const char* pszPath, CArray<CString, CString&>& arrDirs);
    void GetOneLevelDir(CString strFolder, CArray<CString, CString&>& arrDirs);
    // The listing that the tree uses: the names of strFolder's subfolders,
    // and beside each what the listing says about it (LabelVerdict).
    void GetOneLevelNames(const CString& strFolder, CArray<CString, CString&>& arrNames,
                          CArray<int, int>& arrVerdicts);
    // Replaces the children of hNode by nodes of the names listed, each
    // keeping its verdict. While the initial path is opened (pLater), only
    // the node of the path's next folder is inserted at once.
    void CreateSubNodes(HTREEITEM hNode, CArray<CString, CString&>& arrNames, CArray<int, int>& arrVerdicts,
                        CPathSiblings* pLater = NULL);
    void DeleteRecursive(HTREEITEM hItem);
    void OpenInPath(CString& strName, HTREEITEM& hNode, CPathSiblings* pLater = NULL);
    void RelistNode(HTREEITEM hNode, const CString& strPath, CPathSiblings* pLater = NULL);
    void RecursiveExpandCollapse(HTREEITEM hItem, int bExpand);

    // Expand recursive
    void OnBn_ExpandSelectedNode();
    // Runs job, the scan of the folder of hSelected, on the worker, under
    // the progress dialog, until the worker has ended; FALSE, with the
    // reason shown, when the worker cannot start.
    BOOL RunScan(HTREEITEM hSelected, CScanJob& job);
    void GetRecursiveDir();
    // Rebuilds the subtree below hRoot from the scan's folders (see
    // RebuildSubtree); pParents, when given, receives the nodes that got children.
    void CreaRecursiveSubNodes(HTREEITEM hRoot, const char* pszRootPath, CArray<CString, CString&>& arrDirs,
                               CArray<int, int>& arrNameStarts, std::vector<HTREEITEM>* pParents = NULL);

    // Folder operations
    void OnStatic_MakeFolder();
    void OnEndlabeleditFolderTree(NMHDR* pNMHDR, LRESULT* pResult);
    void OnStatic_DeleteFolder();
    int DelAllFilesDirs(CString& strFolder);
    // The deletion's steps, which work on the dialog's deletion state.
    friend class CDeletion;

    // An expand-recursive command (its progress dialog, its question or its
    // wait) or a deletion (its request dialogs) is running: no other folder
    // command starts meanwhile, whatever key or click still reaches the
    // dialog. A scan or a new node in the middle of a deletion would change
    // the tree under it.
    BOOL IsCommandRunning() const { return m_pScanThread != NULL || m_bDeleteBusy; }
    // The dialog is being ended from outside while a command runs: its
    // window is gone (destroyed with its owner) or the host quits (a
    // WM_QUIT waits for the dialog's loop). The command stops at once and
    // touches the window no more.
    BOOL IsEndingFromOutside() const;
    // A label being edited ends, as the rename (or the new folder's name)
    // it is, before a folder command takes the selected node.
    void EndLabelEdit();
    // The start that the folder commands share: nothing while another
    // command runs; with NEEDS_CLICK, the refusal NO_SELECTION until the
    // tree was clicked, and with SELECTION_FIRST also without a selected
    // node; then a label being edited ends. TRUE when the command goes on,
    // with hSelected the node selected then (NULL when none is).
    enum { NEEDS_CLICK = 1, SELECTION_FIRST = 2 };
    BOOL StartCommand(HTREEITEM& hSelected, int nNeeds);
    // Shows refusal's text in the error box; TRUE when something was refused.
    BOOL ShowRefusal(const CRefusal& refusal);
    // The folder tree (a temporary object: fetched again after any nested
    // message loop, which may free it).
    CTreeCtrl* GetTree() const;
    // Inside a catch block: says in a box owned by the dialog what a
    // handler threw (and deletes a framework exception); rethrows what the
    // framework's guard would not catch either.
    void ReportCurrentException();

    // The path of a tree node: the labels from the top node down, joined by
    // single backslashes (C:\ for the top node, C:\dir\sub below it).
    CString GetNodePath(HTREEITEM hNode);

    CEdit m_editError;
    CEdit m_editPath;
    CButton m_btnOK;
    CButton m_btnExpand;
    CStatic m_iconMakeFolder;
    CStatic m_iconDeleteFolder;
    CToolTipCtrl* m_pToolTip;
    HICON m_hIcon;
    CArray<CString, CString&> m_arrDriveLabels;
    CImageList m_imlDrives;
    CImageList* m_pImlDrives;
    CImageList m_imlTree;
    CImageList* m_pImlTree;
    // The tree and the start
    HTREEITEM m_hTopNode;
    // The node that the opening has just listed, while it selects it.
    HTREEITEM m_hJustListed;
    CString m_strInitialPath;
    int m_bTreeClicked;
    // Expand Recursive (the scan's own state is its job: ScanJob.h)
    CWinThread* m_pScanThread;
    int m_bScanContinue;
    HTREEITEM m_hScanStartNode;
    CArray<CString, CString&> m_arrScanDirs;
    // Beside each path of m_arrScanDirs, where its last name starts: a
    // name may hold a backslash (a converted one) or end in a byte that
    // looks like one (a double-byte character).
    CArray<int, int> m_arrScanNameStarts;
    CString m_strScanDir;
    CString m_strScanError;
    // Delete folder
    int m_nDeleteDepth;
    int m_bDeleteAllReadOnly;
    int m_bYesToAll;
    int m_bDeleteBusy;
    // Make folder
    HTREEITEM m_hNewFolderItem;
    CString m_strNewFolderParent;
    int m_bNewFolderPending;

    DECLARE_MESSAGE_MAP()
};
