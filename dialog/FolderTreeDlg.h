// CFolderTreeDlg: the modal folder-browse dialog exported by Varnet.dll.
// A host constructs it with an initial path, calls DoModal and, when it
// returns IDOK, reads m_strSelectedPath.
#pragma once

#include <afxcmn.h>
#include <afxtempl.h>
#include <afxwin.h>

#include <vector>

struct CHeldFolder;
struct CCheckedEntry;

class AFX_EXT_CLASS CFolderTreeDlg : public CDialog {
public:
    // pszInitialPath: the folder opened at start (null or empty: drive C).
    CFolderTreeDlg(const char* pszInitialPath = NULL, CWnd* pParent = NULL);
    ~CFolderTreeDlg() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Thread entry of the recursive scan; pParam is the dialog.
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
    void DeleteRecursive(HTREEITEM hItem);
    void OpenInPath(CString& strName, HTREEITEM& hNode);
    void RelistNode(HTREEITEM hNode, const CString& strPath);
    void RecursiveExpandCollapse(HTREEITEM hItem, int bExpand);

    // Expand recursive
    void OnBn_ExpandSelectedNode();
    void GetRecursiveDir();
    void CreaRecursiveSubNodes(HTREEITEM hRoot, const char* pszRootPath, CArray<CString, CString&>& arrDirs,
                               CArray<int, int>& arrNameStarts);

    // Folder operations
    void OnStatic_MakeFolder();
    void OnEndlabeleditFolderTree(NMHDR* pNMHDR, LRESULT* pResult);
    void OnStatic_DeleteFolder();
    int DelAllFilesDirs(CString& strFolder);
    // The deletion of what the first pass found in the folder that
    // hFolder holds open, and the question about one read-only file (1
    // delete it, 0 keep it, -1 the deletion stops with its text shown).
    int DeleteCheckedEntries(HANDLE hFolder, std::vector<CCheckedEntry>& entries);
    int AskAboutReadOnlyFile(const CString& strPath);

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
    CWinThread* m_pScanThread;
    int m_bScanContinue;
    HTREEITEM m_hScanStartNode;
    CArray<CString, CString&> m_arrScanDirs;
    // Beside each path of m_arrScanDirs, where its last name starts: a
    // name may hold a backslash (a converted one) or end in a byte that
    // looks like one (a double-byte character).
    CArray<int, int> m_arrScanNameStarts;
    CString m_strScanDir;
    HTREEITEM m_hTopNode;
    CString m_strInitialPath;
    int m_nDeleteDepth;
    int m_bDeleteAllReadOnly;
    int m_bYesToAll;
    int m_bDeleteBusy;
    // The innermost folder that the running deletion holds open while it
    // empties it; each links to the one it lies in.
    CHeldFolder* m_pHeldFolder;
    CString m_strScanError;
    HTREEITEM m_hNewFolderItem;
    CString m_strNewFolderParent;
    int m_bNewFolderPending;
    int m_bTreeClicked;

    DECLARE_MESSAGE_MAP()
};
