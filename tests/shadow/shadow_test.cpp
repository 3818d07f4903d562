// Resources are looked up through the host's resource chain, host first:
// this host's templates and icon 128 shadow the module's. A host's
// template may lack controls the dialogs use; none of that crashes.
#include <dialog_support.h>

TEST(Shadow, TheHostsTemplateAndIconComeFirst)
{
    HINSTANCE hExe = GetModuleHandleA(NULL);
    HMODULE hVarnet = GetModuleHandleA("Varnet.dll");
    ASSERT_NE(nullptr, hVarnet);
    EXPECT_EQ(hExe, AfxFindResourceHandle(MAKEINTRESOURCEA(IDD_FOLDER_TREE), (LPCSTR)RT_DIALOG));
    EXPECT_EQ(hExe, AfxFindResourceHandle(MAKEINTRESOURCEA(IDR_MAINFRAME), (LPCSTR)RT_GROUP_ICON));
    // What the host lacks still comes from the module.
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

static void WaitUntilGone(Driver& d, const char* pszCaption)
{
    CString strWhat = CString("\"") + pszCaption + "\" has closed";
    WaitFor([&] { return !d.WaitForDialog(pszCaption, 0); }, strWhat, 10000);
    d.Sync();
}

TEST(Shadow, TheProgressAndRequestDialogsWorkWithoutTheirControls)
{
    TestFolder folder("bare-nested");
    folder.MakeDirs("a\\b");
    folder.MakeFile("a\\locked.txt");
    SetFileAttributesA(folder.Path("a\\locked.txt"), FILE_ATTRIBUTE_READONLY);
    INT_PTR nResult = RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hA = NodeOf(d, folder.Path("a"));
        ASSERT_NE(nullptr, hA);
        d.SelectNode(hA);
        // The progress dialog has no bar to step: it still ends with the scan.
        d.Command(IDC_BN_EXPAND);
        ASSERT_NE(nullptr, d.WaitForDialog("Progress and Kill Dialog"));
        WaitUntilGone(d, "Progress and Kill Dialog");
        EXPECT_EQ((std::vector<CString>{ "b" }), d.Children(hA));

        // The request dialog has no buttons: its answers still arrive.
        d.Key(VK_DELETE, d.Item(IDC_FOLDER_TREE));
        HWND hQuestion = d.WaitForMessageBox();
        ASSERT_NE(nullptr, hQuestion);
        d.Answer(hQuestion, IDYES);
        HWND hRequest = d.WaitForDialog("File Deletion Request");
        ASSERT_NE(nullptr, hRequest);
        d.Answer(hRequest, IDC_BN_YES);
        d.Sync();
        EXPECT_FALSE(Exists(folder.Path("a")));
        d.Cancel();
    });
    EXPECT_EQ(IDCANCEL, nResult);
}

// Makes a resource module of the host's the first of the chain while it lives.
class HostResources {
public:
    explicit HostResources(const char* pszDll)
        : m_hModule(LoadLibraryA(pszDll)), m_hOld(AfxGetResourceHandle())
    {
        if (m_hModule)
            AfxSetResourceHandle(m_hModule);
    }
    ~HostResources()
    {
        AfxSetResourceHandle(m_hOld);
        FreeLibrary(m_hModule);
    }
    HMODULE m_hModule;
    HINSTANCE m_hOld;
};

TEST(Shadow, AFolderTemplateWithOnlyTheTreeAndTheDriveListWorks)
{
    HostResources resources("shadow_bare.dll");
    ASSERT_NE(nullptr, resources.m_hModule);
    TestFolder folder("bare149");
    folder.MakeDirs("a\\b");
    CString strSelected;
    INT_PTR nResult = RunFolderDialog(folder.Path(), [&](Driver& d) {
        char szCaption[64] = "";
        GetWindowTextA(d.Dialog(), szCaption, sizeof szCaption);
        EXPECT_STREQ("Bare Template", szCaption);
        HWND hTree = d.Item(IDC_FOLDER_TREE);
        HTREEITEM hA = NodeOf(d, folder.Path("a"));
        ASSERT_NE(nullptr, hA);
        d.SelectNode(hA);

        d.Key(VK_MULTIPLY, hTree);
        WaitUntilGone(d, "Progress and Kill Dialog");
        EXPECT_EQ((std::vector<CString>{ "b" }), d.Children(hA));
        EXPECT_TRUE(d.IsExpanded(hA));

        d.Key(VK_INSERT, hTree);
        HWND hEditor = d.LabelEditor();
        ASSERT_NE(nullptr, hEditor);
        d.TypeText(hEditor, "made");
        d.Key(VK_RETURN, hEditor);
        EXPECT_TRUE(IsFolder(folder.Path("a\\made")));
        d.Ok();
    }, &strSelected);
    EXPECT_EQ(IDOK, nResult);
    EXPECT_EQ(folder.Path("a"), strSelected);
}

TEST(Shadow, AFolderTemplateWithoutTheTreeOrTheDriveListCannotBeCreated)
{
    for (const char* pszDll : { "shadow_no_tree.dll", "shadow_no_drives.dll" }) {
        HostResources resources(pszDll);
        ASSERT_NE(nullptr, resources.m_hModule) << pszDll;
        CFolderTreeDlg dlg("D:\\");
        EXPECT_EQ(-1, dlg.DoModal()) << pszDll;
    }
}
