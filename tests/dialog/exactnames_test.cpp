// Names that a Win32 path does not take as they are: each node stands for
// exactly one folder, and every command, OK and selection on a node whose
// label may name another folder is refused with nothing on disk changed.
// The folders are made natively: Win32 calls cannot make most of them.
#include "folderops_support.h"

#include <FolderNames.h>

#include <algorithm>

// The classes of names; each stands beside a folder it could be taken for
// (holding a file), and holds a folder its listing would show.
struct NameClass {
    const char* pszContext;
    const char* pszName;   // UTF-8
    const char* pszTwin;   // UTF-8; NULL: none
    const char* pszLabel;  // the node's label, as the ANSI functions give the name
    NameProblem nProblem;  // NAME_MISSING: removed after it was listed
};
static const NameClass s_classes[] = {
    { "trailing dot: Win32 paths drop it", "foo.", "foo", "foo.", NAME_TRAILING },
    { "trailing space: Windows drops it, Wine resolves it too", "foo ", "foo", "foo ", NAME_TRAILING },
    { "device name", "CON", NULL, "CON", NAME_DEVICE },
    { "device name with an extension", "nul.txt", NULL, "nul.txt", NAME_DEVICE },
    { "fullwidth reverse solidus: best fit gives a backslash", "\xef\xbc\xbc" "b", "b", "\\b", NAME_CONVERTED },
    { "a with macron: best fit gives a", "x\xc4\x81", NULL, "xa", NAME_CONVERTED },
    { "a wildcard, held by a Unix name (Wine)", "a*b", "axb", "a*b", NAME_SPECIAL },
    { "gone after it was listed", "gone", NULL, "gone", NAME_MISSING },
};

// The refusal by pszRefused of the node at strPath, as the error box shows it.
static CString Refusal(const char* pszRefused, const CString& strPath, NameProblem nProblem)
{
    if (nProblem == NAME_MISSING)
        return CRefusal::System(ERROR_PATH_NOT_FOUND).Text();
    return CRefusal::Ambiguous(CRefusal::LABEL_AMBIGUOUS, strPath, CString(), nProblem, pszRefused).Text();
}

// Each class at the drive's first level and deeper: the name is one node;
// selecting it, make folder in it, rename, delete and Expand Recursive of it
// and OK on it are refused with nothing on disk changed.
TEST(ExactNames, ANodeThatMayNameAnotherFolderIsRefusedByEveryCommand)
{
    TestFolder deeper("exact");
    for (const NameClass& c : s_classes) {
        for (const CString& strParent : { CString("D:\\"), deeper.Path() }) {
            CString strContext = CString(c.pszContext) + " in " + strParent;
            std::vector<CString> entries = { CString(c.pszName) + "/inside/" };
            if (c.pszTwin)
                entries.push_back(CString(c.pszTwin) + "/keep.txt");
            MakeNative(strParent, entries);
            CString strPath = JoinPath(strParent, c.pszLabel);
            std::vector<CString> before;
            INT_PTR nResult = RunFolderDialog(strParent, [&](Driver& d) {
                HTREEITEM hParent = strParent.GetLength() == 3 ? d.Root() : NodeOf(d, strParent);
                std::vector<CString> children = d.Children(hParent);
                EXPECT_EQ(1, std::count(children.begin(), children.end(), CString(c.pszLabel))) << strContext;
                EXPECT_EQ(0, std::count(children.begin(), children.end(), CString())) << strContext;
                HTREEITEM hNode = d.Child(hParent, c.pszLabel);
                ASSERT_NE(nullptr, hNode) << strContext;
                if (c.nProblem == NAME_MISSING)
                    RemoveNative(strParent, c.pszName);
                before = DriveSnapshot();

                d.ClickNode(hNode);
                EXPECT_EQ(Refusal(VarnetText::NOT_LISTED, strPath, c.nProblem), d.ItemText(IDC_EDIT_ERROR)) << strContext;
                EXPECT_TRUE(d.Children(hNode).empty()) << strContext;
                struct Action {
                    const char* pszRefused;
                    std::function<void()> act;
                } actions[] = {
                    { VarnetText::NOT_CHANGED, [&] { d.Command(IDC_STATIC_MAKEFOLDER, STN_CLICKED); } },
                    { VarnetText::NOT_CHANGED, [&] {
                          d.EditLabel(hNode);
                          d.TypeText(d.LabelEditor(), "renamed");
                          d.Key(VK_RETURN, d.LabelEditor());
                      } },
                    { VarnetText::NOT_CHANGED, [&] { d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED); } },
                    { VarnetText::NOT_EXPANDED, [&] { d.Command(IDC_BN_EXPAND); } },
                    { VarnetText::NOT_CHOSEN, [&] { d.Ok(); } },
                };
                for (const Action& a : actions) {
                    d.OnUi([&] { SetDlgItemTextA(d.Dialog(), IDC_EDIT_ERROR, ""); });
                    a.act();
                    EXPECT_EQ(Refusal(a.pszRefused, strPath, c.nProblem), d.ItemText(IDC_EDIT_ERROR)) << strContext;
                    EXPECT_FALSE(d.AnyOtherWindow()) << strContext;
                    EXPECT_EQ(nullptr, d.LabelEditor()) << strContext;
                }
                EXPECT_EQ(CString(c.pszLabel), d.Label(hNode)) << strContext;
                d.Cancel();
            });
            EXPECT_EQ(IDCANCEL, nResult) << strContext;
            EXPECT_EQ(before, DriveSnapshot()) << strContext;
            RemoveNative(strParent, c.pszName);
            if (c.pszTwin)
                RemoveNative(strParent, c.pszTwin);
        }
    }
}

// Windows reports each reparse point's tag; only those that stand for
// another name are links. Wine gives its Unix symbolic links no tag.
TEST(ExactNames, OnlyReparsePointsThatStandForAnotherNameAreLinks)
{
    const DWORD dwReparse = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    struct Case {
        const char* pszContext;
        DWORD dwAttributes, dwTag;
        bool bLink;
    } cases[] = {
        { "a plain folder", FILE_ATTRIBUTE_DIRECTORY, 0, false },
        { "a symbolic link", dwReparse, 0xA000000C, true },
        { "a junction or mount point", dwReparse, 0xA0000003, true },
        { "a cloud placeholder", dwReparse, 0x9000001A, false },
        { "a deduplicated file", FILE_ATTRIBUTE_REPARSE_POINT, 0x80000013, false },
        { "a Unix symbolic link under Wine", dwReparse, 0, true },
        { "a tag without the reparse attribute", FILE_ATTRIBUTE_DIRECTORY, 0xA000000C, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.bLink, IsLink(c.dwAttributes, c.dwTag)) << c.pszContext;
}

// What the listing alone tells of each name, without a window: the names
// are made natively, as Win32 calls cannot make most of them.
TEST(ExactNames, TheListingClassesEachNameByWhatAWin32PathDoesToIt)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "the labels below are those of code page 1252, not " << GetACP();
    const struct {
        const char* pszName;   // UTF-8; a folder
        const char* pszLabel;  // as the ANSI functions give it
        NameProblem nProblem;
    } cases[] = {
        { "plain", "plain", NAME_EXACT }, { ".hidden", ".hidden", NAME_EXACT }, { "CONSOLE", "CONSOLE", NAME_EXACT },
        { "LPT10", "LPT10", NAME_EXACT }, { "caf\xc3\xa9", "caf\xe9", NAME_EXACT },
        { "foo.", "foo.", NAME_TRAILING }, { "foo ", "foo ", NAME_TRAILING },
        { "CON", "CON", NAME_DEVICE }, { "nul.txt", "nul.txt", NAME_DEVICE }, { "Com1", "Com1", NAME_DEVICE },
        { "lpt9.a.b", "lpt9.a.b", NAME_DEVICE },
        { "a*b", "a*b", NAME_SPECIAL }, { "what?", "what?", NAME_SPECIAL },
        { "\xef\xbc\xbc" "b", "\\b", NAME_CONVERTED }, { "x\xc4\x81", "xa", NAME_CONVERTED },
    };
    TestFolder folder("listed");
    std::vector<CString> entries;
    for (const auto& c : cases)
        entries.push_back(CString(c.pszName) + "/");
    MakeNative(folder.Path(), entries);
    std::vector<CListedName> names;
    ASSERT_EQ((DWORD)ERROR_SUCCESS, ListFolderWide(folder.Path(), names));
    ASSERT_EQ(sizeof cases / sizeof cases[0], names.size());
    for (const auto& c : cases) {
        WCHAR wszName[MAX_PATH];
        MultiByteToWideChar(CP_UTF8, 0, c.pszName, -1, wszName, MAX_PATH);
        auto it = std::find_if(names.begin(), names.end(), [&](const CListedName& n) { return n.strWide == wszName; });
        ASSERT_NE(names.end(), it) << c.pszName << " is not listed";
        EXPECT_EQ(CString(c.pszLabel), it->strAnsi) << c.pszName;
        EXPECT_EQ(c.nProblem, it->nProblem) << c.pszName;
        EXPECT_TRUE(it->IsDirectory()) << c.pszName;
        EXPECT_FALSE(it->bLink) << c.pszName;
    }
}

// One backslash between a folder and a name, a drive root's included.
TEST(ExactNames, JoinPathPutsOneBackslashBetween)
{
    const struct {
        const char* pszFolder;
        const char* pszName;
        const char* pszPath;
    } cases[] = {
        { "D:\\", "a", "D:\\a" }, { "D:", "a", "D:\\a" }, { "D:\\x", "a", "D:\\x\\a" },
        { "D:\\x\\", "*.*", "D:\\x\\*.*" }, { "D:\\x\\\\", "a b", "D:\\x\\a b" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(CString(c.pszPath), JoinPath(c.pszFolder, c.pszName)) << c.pszFolder << " + " << c.pszName;
}

// A host may have called SetFileApisToOEM: the ANSI file functions then
// take names in the OEM code page (437 here), while the tree shows its
// labels in the ANSI one (1252). The file functions give e-acute as 0x82 and
// capital theta as 0xE9, which the tree shows as e-acute. Every check is made
// in the file functions' code page, and a name whose label would show
// another name is refused, listed or typed (a rename or a new folder typed
// "é" would otherwise make "Θ"); plain names work as before.
TEST(ExactNames, WithTheOemCodePageForTheFileFunctionsNoLabelShowsAnotherName)
{
    if (GetOEMCP() != 437 || GetACP() != 1252)
        GTEST_SKIP() << "the code pages are " << GetACP() << " and " << GetOEMCP() << ", not 1252 and 437";
    TestFolder folder("oem");
    MakeNative(folder.Path(), { "\xc3\xa9/inside.txt", "\xce\x98/keep.txt", "plain/f.txt" });
    SetFileApisToOEM();
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hFolder = NodeOf(d, folder.Path());
        for (const char* pszLabel : { "\x82", "\xe9" }) {
            HTREEITEM hNode = d.Child(hFolder, pszLabel);
            ASSERT_NE(nullptr, hNode) << (BYTE)*pszLabel;
            d.SelectNode(hNode);
            d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
            EXPECT_FALSE(d.AnyOtherWindow()) << (BYTE)*pszLabel;
            EXPECT_EQ(Refusal(VarnetText::NOT_CHANGED, JoinPath(folder.Path(), pszLabel), NAME_CONVERTED), d.ItemText(IDC_EDIT_ERROR));
        }
        HTREEITEM hPlain = d.Child(hFolder, "plain");
        for (bool bMake : { false, true }) {
            d.SelectNode(hPlain);
            if (!bMake)
                d.EditLabel(hPlain);
            HWND hEditor = bMake ? StartMakeFolder(d, folder.Path("plain")) : d.LabelEditor();
            d.TypeWide(hEditor, L"\x00e9");
            d.Key(VK_RETURN, hEditor);
            EXPECT_EQ(CRefusal(CRefusal::NAME_UNREPRESENTABLE).Text(), d.ItemText(IDC_EDIT_ERROR)) << bMake;
        }
        d.SelectNode(hPlain);
        d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
        d.Answer(d.WaitForMessageBox(), IDYES);
        EXPECT_EQ(nullptr, d.Child(hFolder, "plain"));
        d.Cancel();
    });
    SetFileApisToANSI();
    EXPECT_EQ(4u, Snapshot(folder.Path()).size());
    EXPECT_FALSE(Exists(folder.Path("plain")));
}

// In code page 932 the name of U+8868 is 0x95 0x5C: its trail byte is the
// byte of a backslash. At the drive's first level and deeper it is one
// name: listed, rebuilt by Expand Recursive, chosen by OK and deleted as
// itself. The folderops_tests_dbcs run starts the program in code page 932.
// The nodes are selected as the keyboard selects them: the prefix's dialog
// font (MS Sans Serif) has no Japanese glyphs, so the label's text has no
// width and the tree view takes a click on it for one to its right.
TEST(ExactNamesDbcs, ANameEndingInTheByteOfABackslashIsOneName)
{
    if (getenv("VARNET_EXPECT_ACP"))
        ASSERT_EQ((UINT)atoi(getenv("VARNET_EXPECT_ACP")), GetACP());
    else if (!IsDBCSLeadByte(0x95))
        GTEST_SKIP() << "ANSI code page " << GetACP() << " has no double-byte characters";
    const char* const pszName = "\x95\x5C";
    TestFolder deeper("exact-dbcs");
    for (const CString& strParent : { CString("D:\\"), deeper.Path() }) {
        MakeNative(strParent, { "\xe8\xa1\xa8/sub/inner/" });
        CString strPath = JoinPath(strParent, pszName), strSelected;
        RunFolderDialog(strParent, [&](Driver& d) {
            HTREEITEM hNode = d.Child(strParent.GetLength() == 3 ? d.Root() : NodeOf(d, strParent), pszName);
            ASSERT_NE(nullptr, hNode) << strParent;
            d.SelectNode(hNode);
            EXPECT_EQ((std::vector<CString>{ "sub" }), d.Children(hNode)) << strParent;
            ExpandRecursive(d);
            EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR)) << strParent;
            HTREEITEM hSub = d.Child(hNode, "sub");
            ASSERT_NE(nullptr, hSub) << strParent;
            EXPECT_EQ((std::vector<CString>{ "inner" }), d.Children(hSub)) << strParent;
            d.SelectNode(hSub);
            d.Ok();
        }, &strSelected);
        EXPECT_EQ(strPath + "\\sub", strSelected);
        RunFolderDialog(strParent, [&](Driver& d) {
            d.SelectNode(d.Child(strParent.GetLength() == 3 ? d.Root() : NodeOf(d, strParent), pszName));
            d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
            HWND hBox = d.WaitForMessageBox();
            ASSERT_NE(nullptr, hBox) << strParent;
            d.Answer(hBox, IDYES);
            EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR)) << strParent;
            d.Cancel();
        });
        EXPECT_FALSE(Exists(strPath)) << strParent;
        RemoveNative(strParent, "\xe8\xa1\xa8");
    }
}
