// Shared pieces of the folder dialog's tests.
#include "dialog_support.h"

#include <algorithm>

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

HWND WaitForListFullBox(Driver& d)
{
    HWND hBox = d.WaitForMessageBox();
    EXPECT_NE(nullptr, hBox) << "no box says that the folder list ran out of memory";
    if (!hBox)
        return NULL;
    CString strText = d.MessageBoxText(hBox);
    strText.Remove('\r');
    EXPECT_EQ(CString(VarnetText::LIST_FULL) + VarnetText::OUT_OF_MEMORY, strText);
    return hBox;
}

const char* const PROGRESS_CAPTION = "Progress and Kill Dialog";

bool WaitForCommandEnd(Driver& d, DWORD nTimeoutMs)
{
    if (!WaitFor([&] { return !d.WaitForDialog(PROGRESS_CAPTION, 0); }, "the progress dialog has closed", nTimeoutMs))
        return false;
    // Once the progress dialog has gone, the command runs to its end
    // without a message loop, so this call is answered after it.
    d.Sync();
    return true;
}

void ExpandRecursive(Driver& d)
{
    d.Command(IDC_BN_EXPAND);
    WaitForCommandEnd(d);
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

std::vector<CString> DriveSnapshot()
{
    CString strOwnPid;
    strOwnPid.Format("-%lu", GetCurrentProcessId());
    std::vector<CString> lines =
        NativeLines("cd '" + UnixPath("D:\\") + "' && find . -mindepth 1 -printf '%y %P\\n' | LC_ALL=C sort");
    auto other = [&](const CString& strLine) {
        std::string strTop = std::string(strLine).substr(2);
        strTop = strTop.substr(0, strTop.find('/'));
        return strTop.find("_tests-") != std::string::npos &&
               strTop.compare(strTop.size() - strOwnPid.GetLength(), std::string::npos, strOwnPid) != 0;
    };
    lines.erase(std::remove_if(lines.begin(), lines.end(), other), lines.end());
    EXPECT_FALSE(lines.empty());
    return lines;
}

void MakeNative(const CString& strFolder, const std::vector<CString>& entries)
{
    // By bytes: the entries are UTF-8, not text of the ANSI code page.
    CString strCommand = "cd '" + UnixPath(strFolder) + "'";
    for (const CString& strEntry : entries) {
        std::string strPath(strEntry);
        size_t nSlash = strPath.rfind('/');
        if (nSlash != std::string::npos)
            strCommand += " && mkdir -p " + BashWord(strPath.substr(0, nSlash).c_str());
        if (nSlash != strPath.size() - 1)
            strCommand += " && touch " + BashWord(strPath.c_str());
    }
    ASSERT_EQ(0, RunNative(strCommand)) << strCommand;
}

void RemoveNative(const CString& strFolder, const char* pszName)
{
    RunNative("rm -rf '" + UnixPath(strFolder) + "'/" + BashWord(pszName));
}
