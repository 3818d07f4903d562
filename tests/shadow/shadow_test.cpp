// Resources are looked up through the host's resource chain, host first:
// this host's template 149 and icon 128 shadow the module's.
#include <DialogDriver.h>
#include <FolderTreeDlg.h>
#include <gtest/gtest.h>
#include <resource.h>

static CWinApp s_app("ShadowTest");

TEST(Shadow, TheHostsTemplateAndIconComeFirst)
{
    HINSTANCE hExe = GetModuleHandleA(NULL);
    HMODULE hVarnet = GetModuleHandleA("Varnet.dll");
    ASSERT_NE(nullptr, hVarnet);
    EXPECT_EQ(hExe, AfxFindResourceHandle(MAKEINTRESOURCEA(IDD_FOLDER_TREE), (LPCSTR)RT_DIALOG));
    EXPECT_EQ(hExe, AfxFindResourceHandle(MAKEINTRESOURCEA(IDR_MAINFRAME), (LPCSTR)RT_GROUP_ICON));
    // What the host lacks still comes from the module.
    EXPECT_EQ(hVarnet, AfxFindResourceHandle(MAKEINTRESOURCEA(IDD_PROGRESS_KILL), (LPCSTR)RT_DIALOG));
    EXPECT_EQ(hVarnet, AfxFindResourceHandle(MAKEINTRESOURCEA(IDI_DRIVE), (LPCSTR)RT_GROUP_ICON));

    CFolderTreeDlg dlg("D:\\");
    HICON hHostIcon = LoadIconA(hExe, MAKEINTRESOURCEA(IDR_MAINFRAME));
    INT_PTR nResult = RunDialog(dlg, [&](Driver& d) {
        char szCaption[64] = "";
        GetWindowTextA(d.Dialog(), szCaption, sizeof szCaption);
        EXPECT_STREQ("Host Template", szCaption);
        EXPECT_EQ((LRESULT)hHostIcon, SendMessageA(d.Dialog(), WM_GETICON, ICON_BIG, 0));
        d.Ok();
    });
    EXPECT_EQ(IDOK, nResult);
    EXPECT_STREQ("D:\\", dlg.m_strSelectedPath);
}
