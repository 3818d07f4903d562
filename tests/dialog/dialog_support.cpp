// Shared pieces of the folder dialog's tests.
#include "dialog_support.h"

CWinApp& TestApp()
{
    static CWinApp s_app("VarnetTest");
    return s_app;
}

// Every test program of the dialog has its application object before the
// first test runs.
static CWinApp& s_app = TestApp();

INT_PTR RunFolderDialog(const char* pszInitialPath, const std::function<void(Driver&)>& script,
                        CString* pstrSelected)
{
    CFolderTreeDlg dlg(pszInitialPath);
    INT_PTR nResult = RunDialog(dlg, script);
    if (pstrSelected)
        *pstrSelected = dlg.m_strSelectedPath;
    return nResult;
}

HostMainWindow::HostMainWindow()
{
    Attach(CreateWindowA("STATIC", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, NULL, NULL,
                         GetModuleHandleA(NULL), NULL));
    TestApp().m_pMainWnd = this;
}

HostMainWindow::~HostMainWindow()
{
    if (TestApp().m_pMainWnd == this)
        TestApp().m_pMainWnd = NULL;
    DestroyWindow();
}

HTREEITEM NodeOf(Driver& d, const CString& strPath)
{
    HTREEITEM hNode = d.Root();
    if (!hNode || d.Label(hNode).CompareNoCase(strPath.Left(3)) != 0)
        return NULL;
    CString strRest = strPath.Mid(3);
    while (hNode && !strRest.IsEmpty()) {
        int n = strRest.Find('\\');
        CString strName = n == -1 ? strRest : strRest.Left(n);
        strRest = n == -1 ? CString() : strRest.Mid(n + 1);
        hNode = d.Child(hNode, strName);
    }
    return hNode;
}
