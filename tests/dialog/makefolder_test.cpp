// Creating a folder below the selected one, named in place, and renaming a
// folder by editing its label; every case is checked on disk.
#include "folderops_support.h"

#include <FolderNames.h>

TEST(MakeFolder, TheTextTypedInPlaceNamesTheNewFolder)
{
    struct Case {
        const char* pszContext;
        const char* pszTyped;  // NULL: the text is left as it is
        UINT nEndKey;
        const char* pszName;   // the folder made and the node's label
    } cases[] = {
        { "a name and Enter", "Docs", VK_RETURN, "Docs" },
        { "Esc in the editor", NULL, VK_ESCAPE, "NewFolder" },
        { "the text emptied and Enter", "", VK_RETURN, "NewFolder" },
    };
    for (const Case& c : cases) {
        TestFolder folder("make");
        folder.MakeDirs("parent\\old");
        RunFolderDialog(folder.Path(), [&](Driver& d) {
            HICON hAtRest = IconOf(d, IDC_STATIC_MAKEFOLDER);
            HWND hEditor = StartMakeFolder(d, folder.Path("parent"));
            ASSERT_NE(nullptr, hEditor) << c.pszContext;
            HTREEITEM hParent = NodeOf(d, folder.Path("parent"));
            // The node is in the tree, open for editing; the disk is not
            // touched yet.
            EXPECT_EQ((std::vector<CString>{ "old", "NewFolder" }), d.Children(hParent)) << c.pszContext;
            EXPECT_TRUE(d.IsExpanded(hParent)) << c.pszContext;
            EXPECT_NE(hAtRest, IconOf(d, IDC_STATIC_MAKEFOLDER)) << c.pszContext;
            EXPECT_FALSE(Exists(folder.Path("parent\\NewFolder"))) << c.pszContext;

            if (c.pszTyped)
                d.TypeText(hEditor, c.pszTyped);
            d.Key(c.nEndKey, hEditor);
            EXPECT_EQ(nullptr, d.LabelEditor()) << c.pszContext;
            EXPECT_TRUE(IsFolder(folder.Path("parent\\") + c.pszName)) << c.pszContext;
            EXPECT_EQ((std::vector<CString>{ "old", c.pszName }), d.Children(hParent)) << c.pszContext;
            EXPECT_EQ(hAtRest, IconOf(d, IDC_STATIC_MAKEFOLDER)) << c.pszContext;
            EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR)) << c.pszContext;
            d.Cancel();
        });
        // Snapshots are sorted: capitals first.
        EXPECT_EQ((std::vector<CString>{ folder.Path("parent\\") + c.pszName, folder.Path("parent\\old") }),
                  Snapshot(folder.Path("parent")))
            << c.pszContext;
    }
}

TEST(MakeFolder, AFailedCreationIsShownAndLeavesNoNode)
{
    TestFolder folder("make-exists");
    folder.MakeDirs("parent\\NewFolder\\inside");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HWND hEditor = StartMakeFolder(d, folder.Path("parent"));
        ASSERT_NE(nullptr, hEditor);
        d.Key(VK_RETURN, hEditor);
        EXPECT_EQ(CRefusal::WithError(CRefusal::CREATE_FAILED, ERROR_ALREADY_EXISTS).Text(),
                  d.ItemText(IDC_EDIT_ERROR));
        // The first NewFolder is the listed one; the new node is gone.
        EXPECT_EQ((std::vector<CString>{ "NewFolder" }), d.Children(NodeOf(d, folder.Path("parent"))));
        d.Cancel();
    });
    EXPECT_TRUE(IsFolder(folder.Path("parent\\NewFolder\\inside")));
}

// Refuses, once, the user-interface thread's first allocation of one size.
static DWORD s_nRefuseThread;
static size_t s_nRefuseSize;
static LONG s_nRefused;
static BOOL RefuseOnce(size_t nSize, BOOL, LONG)
{
    if (GetCurrentThreadId() != s_nRefuseThread || nSize != s_nRefuseSize || s_nRefused)
        return TRUE;
    s_nRefused = 1;
    return FALSE;
}

TEST(MakeFolder, NoNodeStandsWithoutItsFolder)
{
    // Whatever stops the new folder (no editor opens, memory runs out while
    // the typed name is checked), its node goes and Ins works again.
    TestFolder folder("make-undone");
    folder.MakeDirs("parent");
    const CString strLong('L', 100);
    RunFolderDialog(folder.Path("parent"), [&](Driver& d) {
        HWND hTree = d.Item(IDC_FOLDER_TREE);
        HTREEITEM hParent = NodeOf(d, folder.Path("parent"));
        HICON hAtRest = IconOf(d, IDC_STATIC_MAKEFOLDER);

        // A tree whose labels cannot be edited opens no editor.
        d.OnUi([&] { SetWindowLongA(hTree, GWL_STYLE, GetWindowLongA(hTree, GWL_STYLE) & ~TVS_EDITLABELS); });
        EXPECT_EQ(nullptr, StartMakeFolder(d, folder.Path("parent")));
        EXPECT_TRUE(d.Children(hParent).empty());
        EXPECT_EQ(hAtRest, IconOf(d, IDC_STATIC_MAKEFOLDER));
        d.OnUi([&] { SetWindowLongA(hTree, GWL_STYLE, GetWindowLongA(hTree, GWL_STYLE) | TVS_EDITLABELS); });

        // The path of the typed name, longer than the parent's, is made in
        // one allocation of its own size, which fails.
        HWND hEditor = StartMakeFolder(d, folder.Path("parent"));
        ASSERT_NE(nullptr, hEditor);
        d.TypeText(hEditor, strLong);
        s_nRefuseThread = GetWindowThreadProcessId(hTree, NULL);
        s_nRefuseSize = (size_t)folder.Path("parent\\" + strLong).GetLength() + 1;
        s_nRefused = 0;
        d.OnUi([] { AfxSetAllocHook(RefuseOnce); });
        d.PostUi([&] { PostMessageA(hEditor, WM_KEYDOWN, VK_RETURN, 1); });
        HWND hBox = d.WaitForMessageBox();
        d.OnUi([] { AfxSetAllocHook(NULL); });
        ASSERT_NE(nullptr, hBox);
        EXPECT_EQ(1, s_nRefused);
        d.Answer(hBox, IDOK);
        EXPECT_TRUE(d.Children(hParent).empty());

        hEditor = StartMakeFolder(d, folder.Path("parent"));
        ASSERT_NE(nullptr, hEditor);
        d.Key(VK_RETURN, hEditor);
        EXPECT_EQ((std::vector<CString>{ "NewFolder" }), d.Children(hParent));
        d.Cancel();
    });
    EXPECT_EQ((std::vector<CString>{ folder.Path("parent\\NewFolder") }), Snapshot(folder.Path("parent")));
}

TEST(MakeFolder, TheNewNodeSelectedWhileItIsNamedIsNotListed)
{
    // Windows selects the node whose label it opens for editing (Wine does
    // not: the test selects it): the node has no folder to list yet, and
    // once named it shows its folder's path.
    TestFolder folder("make-selected");
    folder.MakeDirs("parent");
    RunFolderDialog(folder.Path("parent"), [&](Driver& d) {
        HWND hEditor = StartMakeFolder(d, folder.Path("parent"));
        ASSERT_NE(nullptr, hEditor);
        HTREEITEM hNew = d.Child(NodeOf(d, folder.Path("parent")), "NewFolder");
        d.SelectNode(hNew);
        EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR));
        hEditor = d.LabelEditor();
        ASSERT_NE(nullptr, hEditor);
        d.TypeText(hEditor, "Named");
        d.Key(VK_RETURN, hEditor);
        EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR));
        EXPECT_EQ(folder.Path("parent\\Named"), d.ItemText(IDC_EDIT_PATH));
        d.Cancel();
    });
    EXPECT_TRUE(IsFolder(folder.Path("parent\\Named")));
}

TEST(MakeFolder, BelowADrivesTopNode)
{
    CString strName;
    strName.Format("make-top-%lu", GetCurrentProcessId());
    RunFolderDialog("D:\\", [&](Driver& d) {
        HWND hEditor = StartMakeFolder(d, "D:\\");
        ASSERT_NE(nullptr, hEditor);
        d.TypeText(hEditor, strName);
        d.Key(VK_RETURN, hEditor);
        EXPECT_NE(nullptr, d.Child(d.Root(), strName));
        d.Cancel();
    });
    EXPECT_TRUE(IsFolder("D:\\" + strName));
    RemoveDirectoryA("D:\\" + strName);
}

TEST(MakeFolder, RefusedBeforeAFolderIsChosenAndIgnoredWhileANameIsPending)
{
    TestFolder folder("make-guards");
    folder.MakeDirs("parent");
    // A start on a drive that is not there chooses none: no folder is
    // selected yet.
    RunFolderDialog("Q:\\nothing", [&](Driver& d) {
        d.Command(IDC_STATIC_MAKEFOLDER, STN_CLICKED);
        EXPECT_EQ(CString(VarnetText::SELECT_FOLDER), d.ItemText(IDC_EDIT_ERROR));
        EXPECT_EQ(nullptr, d.Root());
        d.Cancel();
    });
    RunFolderDialog(folder.Path("parent"), [&](Driver& d) {
        HTREEITEM hParent = NodeOf(d, folder.Path("parent"));
        // A second click, and Ins typed into the editor, while the first
        // name is pending: nothing more, and Ins does not reach the text.
        HWND hEditor = StartMakeFolder(d, folder.Path("parent"));
        ASSERT_NE(nullptr, hEditor);
        d.TypeText(hEditor, "Mine");
        d.Command(IDC_STATIC_MAKEFOLDER, STN_CLICKED);
        d.Key(VK_INSERT, hEditor);
        EXPECT_EQ(hEditor, d.LabelEditor());
        EXPECT_EQ(CString("Mine"), d.Text(hEditor));
        EXPECT_EQ((std::vector<CString>{ "NewFolder" }), d.Children(hParent));
        d.Key(VK_RETURN, hEditor);
        EXPECT_EQ((std::vector<CString>{ "Mine" }), d.Children(hParent));

        // Ins starts the next one from the tree.
        d.Key(VK_INSERT, d.Item(IDC_FOLDER_TREE));
        hEditor = d.LabelEditor();
        ASSERT_NE(nullptr, hEditor);
        d.Key(VK_ESCAPE, hEditor);
        d.Cancel();
    });
    EXPECT_EQ((std::vector<CString>{ folder.Path("parent\\Mine"), folder.Path("parent\\NewFolder") }),
              Snapshot(folder.Path("parent")));
}

TEST(MakeFolder, InsWhileAnotherLabelIsEditedEndsThatEditFirst)
{
    // Ins typed into the editor of another node's label: that edit ends as
    // the rename it is and never names the new folder, and the new node's
    // editor opens.
    struct Case {
        const char* pszContext;
        const char* pszTyped;
        const char* pszFolder;  // B's name afterwards
    } cases[] = {
        { "a valid name renames B", "X", "X" },
        { "an invalid name is refused", "bad*", "B" },
    };
    for (const Case& c : cases) {
        TestFolder folder("make-during-edit");
        folder.MakeDirs("parent\\B");
        RunFolderDialog(folder.Path("parent"), [&](Driver& d) {
            HTREEITEM hB = NodeOf(d, folder.Path("parent\\B"));
            d.ClickNode(hB);
            d.EditLabel(hB);
            d.TypeText(d.LabelEditor(), c.pszTyped);
            d.Key(VK_INSERT, d.LabelEditor());
            HWND hEditor = d.LabelEditor();
            ASSERT_NE(nullptr, hEditor) << c.pszContext;
            EXPECT_EQ(CString(VarnetText::DEFAULT_FOLDER_NAME), d.Text(hEditor)) << c.pszContext;
            EXPECT_EQ(CString(c.pszFolder), d.Label(hB)) << c.pszContext;
            d.TypeText(hEditor, "N");
            d.Key(VK_RETURN, hEditor);
            d.Cancel();
        });
        CString strFolder = folder.Path("parent\\") + c.pszFolder;
        EXPECT_EQ((std::vector<CString>{ strFolder, strFolder + "\\N" }), Snapshot(folder.Path("parent"))) << c.pszContext;
    }
}

// The rule itself: what can be one folder's name inside its parent.
TEST(FolderNames, OnlyOneNameInsideTheParentIsAccepted)
{
    const CRefusal::Reason special = CRefusal::NAME_SPECIAL, trailing = CRefusal::NAME_TRAILING,
                           device = CRefusal::NAME_DEVICE, dots = CRefusal::NAME_DOTS, none = CRefusal::NONE;
    const struct {
        const char* pszName;
        CRefusal::Reason nWhy;
    } cases[] = {
        { "Docs", none }, { "a.b", none }, { ".hidden", none }, { "...x", none }, { " lead", none },
        { "CONSOLE", none }, { "COM0", none }, { "xnul", none }, { "con_x.txt", none }, { "LPT10", none },
        { "..\\escape", special }, { "sub\\deeper", special }, { "a/b", special }, { "D:\\abs", special },
        { "bad:name", special }, { "star*", special }, { "what?", special }, { "q\"uote", special },
        { "<a>", special }, { "p|pe", special }, { "tab\there", special },
        { "..", dots }, { ".", dots },
        { "dot.", trailing }, { "space ", trailing }, { "a. .", trailing },
        { "NUL", device }, { "con.txt", device }, { "Aux", device }, { "prn.a.b", device },
        { "COM1", device }, { "lpt9", device }, { "NUL .txt", device }, { "com\xB9", device },
    };
    for (const auto& c : cases) {
        CRefusal refusal = CheckFolderName(c.pszName);
        EXPECT_EQ(c.nWhy, refusal.m_nReason) << "\"" << c.pszName << "\"";
        if (c.nWhy != none) {
            EXPECT_EQ(CString(c.pszName), refusal.m_strPath) << "\"" << c.pszName << "\"";
        }
    }
}

// The refusal reaches the error box for a new folder and for a rename, and
// nothing changes on the drive.
TEST(FolderNames, ARefusedNameIsShownAndChangesNothing)
{
    TestFolder folder("names");
    folder.MakeDirs("parent\\child");
    std::vector<CString> before = DriveSnapshot();
    const struct {
        const char* pszName;
        CRefusal::Reason nReason;
    } cases[] = {
        { "..\\escape", CRefusal::NAME_SPECIAL },
        { "NUL", CRefusal::NAME_DEVICE },
    };
    for (const auto& c : cases) {
        const char* pszName = c.pszName;
        const CString strRefusal = CRefusal(c.nReason, pszName).Text();
        RunFolderDialog(folder.Path("parent"), [&](Driver& d) {
            // As the name of a new folder: refused, the node removed.
            HWND hEditor = StartMakeFolder(d, folder.Path("parent"));
            ASSERT_NE(nullptr, hEditor) << pszName;
            d.TypeText(hEditor, pszName);
            d.Key(VK_RETURN, hEditor);
            EXPECT_EQ(strRefusal, d.ItemText(IDC_EDIT_ERROR)) << pszName;
            HTREEITEM hParent = NodeOf(d, folder.Path("parent"));
            EXPECT_EQ((std::vector<CString>{ "child" }), d.Children(hParent)) << pszName;

            // As a new name of child: refused, the label stays.
            d.OnUi([&] { SetDlgItemTextA(d.Dialog(), IDC_EDIT_ERROR, ""); });
            d.ClickNode(d.Child(hParent, "child"));
            d.EditLabel(d.Child(hParent, "child"));
            hEditor = d.LabelEditor();
            ASSERT_NE(nullptr, hEditor) << pszName;
            d.TypeText(hEditor, pszName);
            d.Key(VK_RETURN, hEditor);
            EXPECT_EQ(strRefusal, d.ItemText(IDC_EDIT_ERROR)) << pszName;
            EXPECT_EQ((std::vector<CString>{ "child" }), d.Children(hParent)) << pszName;
            d.Cancel();
        });
    }
    EXPECT_EQ(before, DriveSnapshot());
}

// Names typed as the keyboard gives them (wide) that code page 1252 cannot
// hold: the tree would hand on its best fit ("O" for an omega) or question
// marks. However the label edit ends, nothing is made or renamed and the
// box says why; a name that the code page holds is made as typed. (The
// UTF-8 host takes every name: unicode_tests.)
TEST(FolderNames, ATypedNameThatTheAnsiCodePageCannotHoldIsRefused)
{
    if (GetACP() == CP_UTF8)
        GTEST_SKIP() << "the UTF-8 code page holds every name";
    const std::wstring names[] = { L"\x03A9mega", L"done \x2713", L"\xD83D\xDCC1 photos" };
    const struct {
        const char* pszContext;
        bool bMake;  // else a rename of child
        UINT nKey;   // the key that ends the edit; 0: a click on another node
    } ends[] = {
        { "make folder, Enter", true, VK_RETURN },
        { "make folder, a click elsewhere", true, 0 },
        { "rename, Enter", false, VK_RETURN },
        { "rename, a click elsewhere", false, 0 },
        { "rename, Ins", false, VK_INSERT },
    };
    TestFolder folder("typed-ansi");
    folder.MakeDirs("parent\\child");
    folder.MakeDirs("other");
    std::vector<CString> before = Snapshot(folder.Path());
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        for (const std::wstring& strName : names) {
            for (const auto& e : ends) {
                d.OnUi([&] { SetDlgItemTextA(d.Dialog(), IDC_EDIT_ERROR, ""); });
                HTREEITEM hChild = NodeOf(d, folder.Path("parent\\child"));
                // Selected, not clicked: a click on the node already
                // selected would start a rename of whatever is selected
                // when the tree's double-click time has passed.
                if (!e.bMake) {
                    d.SelectNode(hChild);
                    d.EditLabel(hChild);
                }
                HWND hEditor = e.bMake ? StartMakeFolder(d, folder.Path("parent")) : d.LabelEditor();
                d.TypeWide(hEditor, strName);
                EXPECT_TRUE(strName == d.TextWide(hEditor)) << e.pszContext;
                if (e.nKey)
                    d.Key(e.nKey, hEditor);
                else
                    d.ClickNode(NodeOf(d, folder.Path("other")));
                EXPECT_EQ(CRefusal(CRefusal::NAME_UNREPRESENTABLE).Text(),
                          d.ItemText(IDC_EDIT_ERROR)) << e.pszContext;
                EXPECT_EQ((std::vector<CString>{ "child" }), d.Children(NodeOf(d, folder.Path("parent")))) << e.pszContext;
                // Ins went on to make a folder in child: it is refused too.
                if (e.nKey == VK_INSERT) {
                    HWND hNewEditor = d.LabelEditor();
                    ASSERT_NE(nullptr, hNewEditor) << e.pszContext;
                    d.TypeText(hNewEditor, "bad*");
                    d.Key(VK_RETURN, hNewEditor);
                }
                EXPECT_EQ(nullptr, d.LabelEditor()) << e.pszContext;
            }
        }
        EXPECT_EQ(before, Snapshot(folder.Path()));
        d.TypeWide(StartMakeFolder(d, folder.Path("parent")), L"Gr\x00FC\x00DF" L"e");
        d.Key(VK_RETURN, d.LabelEditor());
        d.Cancel();
    });
    EXPECT_TRUE(IsFolder(folder.Path("parent\\Gr\xFC\xDF" "e")));
}

TEST(Rename, EditingALabelRenamesThatFolder)
{
    TestFolder folder("rename");
    folder.MakeDirs("A\\B\\inner");
    folder.MakeDirs("A\\other");
    RunFolderDialog(folder.Path("A"), [&](Driver& d) {
        HTREEITEM hA = NodeOf(d, folder.Path("A"));
        HTREEITEM hB = d.Child(hA, "B");
        d.ClickNode(hB);
        d.SelectNode(hB);
        d.EditLabel(hB);
        d.TypeText(d.LabelEditor(), "Docs");
        d.Key(VK_RETURN, d.LabelEditor());
        EXPECT_EQ(CString("Docs"), d.Label(hB));
        // The children keep their labels; their paths follow the new name.
        EXPECT_EQ((std::vector<CString>{ "inner" }), d.Children(hB));
        d.SelectNode(d.Child(hB, "inner"));
        EXPECT_EQ(folder.Path("A\\Docs\\inner"), d.ItemText(IDC_EDIT_PATH));

        // A node edited while another is selected: the edited node's folder
        // is renamed, not the selected one's.
        d.SelectNode(hB);
        d.EditLabel(d.Child(hA, "other"));
        d.TypeText(d.LabelEditor(), "Renamed");
        d.Key(VK_RETURN, d.LabelEditor());
        EXPECT_EQ((std::vector<CString>{ "Docs", "Renamed" }), d.Children(hA));
        d.Cancel();
    });
    EXPECT_EQ((std::vector<CString>{ folder.Path("A\\Docs"), folder.Path("A\\Docs\\inner"), folder.Path("A\\Renamed") }),
              Snapshot(folder.Path("A")));
}

TEST(Rename, NothingHappensForAnEmptyOrCancelledEdit)
{
    TestFolder folder("rename-none");
    folder.MakeDirs("A\\B");
    RunFolderDialog(folder.Path("A"), [&](Driver& d) {
        HTREEITEM hB = NodeOf(d, folder.Path("A\\B"));
        d.SelectNode(hB);
        d.EditLabel(hB);
        d.TypeText(d.LabelEditor(), "");
        d.Key(VK_RETURN, d.LabelEditor());
        d.EditLabel(hB);
        d.TypeText(d.LabelEditor(), "Typed");
        d.Key(VK_ESCAPE, d.LabelEditor());
        EXPECT_EQ(CString("B"), d.Label(hB));
        EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR));
        d.Cancel();
    });
    EXPECT_EQ((std::vector<CString>{ folder.Path("A\\B") }), Snapshot(folder.Path("A")));
}

TEST(Rename, AFailureIsShownInTheBoxAndTheLabelStays)
{
    TestFolder folder("rename-fails");
    folder.MakeDirs("A\\B\\b-inner");
    folder.MakeDirs("A\\Taken\\taken-inner");
    std::vector<CString> before = Snapshot(folder.Path());
    RunFolderDialog(folder.Path("A"), [&](Driver& d) {
        HTREEITEM hB = NodeOf(d, folder.Path("A\\B"));
        d.SelectNode(hB);
        d.EditLabel(hB);
        d.TypeText(d.LabelEditor(), "Taken");
        d.Key(VK_RETURN, d.LabelEditor());
        CString strError = d.ItemText(IDC_EDIT_ERROR);
        EXPECT_EQ(0, strError.Find("Cannot Rename Directory ")) << strError;
        EXPECT_GT(strError.GetLength(), (int)strlen("Cannot Rename Directory ")) << strError;
        EXPECT_EQ(CString("B"), d.Label(hB));
        // No report of an escaped exception: the dialog goes on by itself.
        EXPECT_FALSE(d.AnyOtherWindow());

        // A drive's top node keeps its name.
        d.SelectNode(d.Root());
        d.EditLabel(d.Root());
        d.TypeText(d.LabelEditor(), "Docs");
        d.Key(VK_RETURN, d.LabelEditor());
        EXPECT_EQ(CString("D:\\"), d.Label(d.Root()));
        EXPECT_EQ(CString(VarnetText::DRIVE_NOT_RENAMED), d.ItemText(IDC_EDIT_ERROR));
        d.Cancel();
    });
    EXPECT_EQ(before, Snapshot(folder.Path()));
    EXPECT_FALSE(Exists("D:\\Docs"));
}

// In a double-byte code page a character may end in the byte of a backslash
// (0x95 0x5C in code page 932): it is part of the name, not a separator.
// The folderops_tests_dbcs run starts the program in code page 932.
TEST(FolderNamesDbcs, ATrailByteLikeABackslashIsPartOfTheName)
{
    if (getenv("VARNET_EXPECT_ACP"))
        ASSERT_EQ((UINT)atoi(getenv("VARNET_EXPECT_ACP")), GetACP());
    else if (!IsDBCSLeadByte(0x95))
        GTEST_SKIP() << "ANSI code page " << GetACP() << " has no double-byte characters";
    const CString strName = "\x95\x5C", strRenamed = "\x95\x5C" "2";
    TestFolder folder("dbcs");
    folder.MakeDirs("parent");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HWND hEditor = StartMakeFolder(d, folder.Path("parent"));
        ASSERT_NE(nullptr, hEditor);
        d.TypeText(hEditor, strName);
        d.Key(VK_RETURN, hEditor);
        EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR));
        HTREEITEM hNew = d.Child(NodeOf(d, folder.Path("parent")), strName);
        ASSERT_NE(nullptr, hNew);
        d.SelectNode(hNew);
        d.EditLabel(hNew);
        d.TypeText(d.LabelEditor(), strRenamed);
        d.Key(VK_RETURN, d.LabelEditor());
        EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR));
        d.Cancel();
    });
    EXPECT_TRUE(IsFolder(folder.Path("parent\\") + strRenamed));
    EXPECT_EQ(1u, Snapshot(folder.Path("parent")).size());
}
