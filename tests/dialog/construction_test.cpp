// Construction and destruction, the window chrome, and what a run of the
// dialog sets up: icons, image lists, tooltips, colours.
#include "dialog_support.h"

// Every form of "no initial path" opens drive C with its top node selected.
TEST(Construction, NoInitialPathOpensDriveC)
{
    struct Case {
        const char* pszContext;
        std::function<CFolderTreeDlg*()> make;
    } cases[] = {
        { "default constructed", [] { return new CFolderTreeDlg; } },
        { "null path", [] { return new CFolderTreeDlg(NULL, NULL); } },
        { "empty path", [] { return new CFolderTreeDlg(""); } },
    };
    for (const Case& c : cases) {
        std::unique_ptr<CFolderTreeDlg> pDlg(c.make());
        INT_PTR nResult = RunDialog(*pDlg, [&](Driver& d) {
            std::vector<CString> entries = d.DriveEntries();
            ASSERT_LT(1, (int)entries.size()) << c.pszContext;
            EXPECT_EQ(CString("(C:) Disk"), entries[d.DriveSelection()]) << c.pszContext;
            EXPECT_EQ(CString("C:\\"), d.Label(d.Root())) << c.pszContext;
            EXPECT_EQ(d.Root(), d.Selected()) << c.pszContext;
            EXPECT_EQ(CString("C:\\"), d.ItemText(IDC_EDIT_PATH)) << c.pszContext;
            EXPECT_NE(nullptr, d.Child(d.Root(), "windows")) << c.pszContext;
            d.Ok();
        });
        EXPECT_EQ(IDOK, nResult) << c.pszContext;
        EXPECT_EQ(CString("C:\\"), pDlg->m_strSelectedPath) << c.pszContext;
    }
}

// Objects that never ran, and one that runs twice: the second run binds
// the controls afresh and shows the same dialog again.
TEST(Construction, ObjectsLiveWithoutAndAcrossRuns)
{
    for (int i = 0; i < 3; i++) {
        CFolderTreeDlg unused("D:\\nowhere");
        EXPECT_EQ(CString(""), unused.m_strSelectedPath);
    }

    TestFolder folder("twice");
    folder.MakeDirs("a");
    CFolderTreeDlg dlg(folder.Path());
    for (int nRun = 1; nRun <= 2; nRun++) {
        INT_PTR nResult = RunDialog(dlg, [&](Driver& d) {
            EXPECT_EQ(folder.Path(), d.ItemText(IDC_EDIT_PATH)) << "run " << nRun;
            EXPECT_EQ(5u, d.DriveEntries().size()) << "run " << nRun;
            d.Ok();
        });
        EXPECT_EQ(IDOK, nResult) << "run " << nRun;
        EXPECT_EQ(folder.Path(), dlg.m_strSelectedPath) << "run " << nRun;
    }
}

TEST(Construction, IconsImageListsTooltipsAndColours)
{
    TestFolder folder("chrome");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        d.OnUi([&] {
            HWND hDlg = d.Dialog();
            HICON hIcon = LoadIconA(GetModuleHandleA("Varnet.dll"), MAKEINTRESOURCEA(IDR_MAINFRAME));
            EXPECT_EQ((LRESULT)hIcon, SendMessageA(hDlg, WM_GETICON, ICON_BIG, 0));
            EXPECT_EQ((LRESULT)hIcon, SendMessageA(hDlg, WM_GETICON, ICON_SMALL, 0));
            EXPECT_EQ((LRESULT)hIcon, SendMessageA(hDlg, WM_QUERYDRAGICON, 0, 0));
            EXPECT_NE(0, SendMessageA(d.Item(IDC_STATIC_MAKEFOLDER), STM_GETICON, 0, 0));

            HIMAGELIST hTreeImages = TreeView_GetImageList(d.Item(IDC_FOLDER_TREE), TVSIL_NORMAL);
            ASSERT_NE(nullptr, hTreeImages);
            EXPECT_EQ(3, ImageList_GetImageCount(hTreeImages));
            HIMAGELIST hDriveImages = (HIMAGELIST)SendMessageA(d.Item(IDC_CBX_DRIVES), CBEM_GETIMAGELIST, 0, 0);
            ASSERT_NE(nullptr, hDriveImages);
            EXPECT_EQ(1, ImageList_GetImageCount(hDriveImages));
            int cx = 0, cy = 0;
            ImageList_GetIconSize(hTreeImages, &cx, &cy);
            EXPECT_EQ(16, cx);
            EXPECT_EQ(16, cy);

            EXPECT_EQ(RGB(0, 0, 128), TreeView_GetTextColor(d.Item(IDC_FOLDER_TREE)));
            EXPECT_EQ(RGB(192, 192, 192), TreeView_GetBkColor(d.Item(IDC_FOLDER_TREE)));

            // The colours the dialog gives its read-only boxes.
            struct {
                int nID;
                COLORREF crText;
                int nBkMode;
            } boxes[] = {
                { IDC_EDIT_PATH, RGB(0, 0, 128), TRANSPARENT },
                { IDC_EDIT_ERROR, RGB(128, 0, 0), TRANSPARENT },
                { IDOK, GetSysColor(COLOR_WINDOWTEXT), OPAQUE },  // the system's default
            };
            HDC hdc = CreateCompatibleDC(NULL);
            for (auto& box : boxes) {
                SetTextColor(hdc, RGB(1, 2, 3));
                SetBkMode(hdc, OPAQUE);
                LRESULT hbr = SendMessageA(hDlg, WM_CTLCOLORSTATIC, (WPARAM)hdc, (LPARAM)d.Item(box.nID));
                EXPECT_NE(0, hbr) << "control " << box.nID;
                EXPECT_EQ(box.crText, GetTextColor(hdc)) << "control " << box.nID;
                EXPECT_EQ(box.nBkMode, GetBkMode(hdc)) << "control " << box.nID;
            }
            DeleteDC(hdc);
        });

        HWND hTip = DialogToolTip(d.Dialog());
        ASSERT_NE(nullptr, hTip);
        std::vector<CString> texts;
        d.OnUi([&] {
            int nCount = (int)SendMessageA(hTip, TTM_GETTOOLCOUNT, 0, 0);
            for (int i = 0; i < nCount; i++) {
                char szText[256] = "";
                TOOLINFOA ti = {};
                ti.cbSize = TTTOOLINFOA_V2_SIZE;
                ti.lpszText = szText;
                SendMessageA(hTip, TTM_ENUMTOOLSA, i, (LPARAM)&ti);
                texts.push_back(szText);
            }
        });
        using namespace VarnetText;
        std::vector<CString> expected = { TIP_DELETE, TIP_MAKE, TIP_EXPAND, TIP_OK, TIP_PATH, TIP_ERROR };
        EXPECT_EQ(expected, texts);
        d.Cancel();
    });
}

// Refuses the framework's allocation of a tooltip control object.
static BOOL RefuseToolTip(size_t nSize, BOOL bObject, LONG)
{
    return !(bObject && nSize == sizeof(CToolTipCtrl));
}

TEST(Construction, ToolTipsThatCannotBeMadeLeaveNoPointerToTheOldOnes)
{
    // A second run makes its tooltips anew; when memory runs out there, the
    // old control is gone and the pointer says so (the keyboard's relay and
    // the destructor read it).
    class CToolTipDlg : public CFolderTreeDlg {
    public:
        explicit CToolTipDlg(const char* pszPath) : CFolderTreeDlg(pszPath) {}
        CToolTipCtrl* ToolTip() const { return m_pToolTip; }
        const char* MakeToolTipsAgain()
        {
            AFX_ALLOC_HOOK pfnOld = AfxSetAllocHook(RefuseToolTip);
            const char* pszThrown = "nothing";
            try {
                CreateToolTips();
            } catch (CMemoryException* e) {
                e->Delete();
                pszThrown = "CMemoryException*";
            }
            AfxSetAllocHook(pfnOld);
            return pszThrown;
        }
    };
    TestFolder folder("tooltips");
    CToolTipDlg dlg(folder.Path());
    RunDialog(dlg, [&](Driver& d) {
        d.OnUi([&] {
            ASSERT_NE(nullptr, dlg.ToolTip());
            EXPECT_STREQ("CMemoryException*", dlg.MakeToolTipsAgain());
            EXPECT_EQ(nullptr, dlg.ToolTip());
        });
        d.Key(VK_TAB, d.Item(IDOK));
        d.Cancel();
    });
}
