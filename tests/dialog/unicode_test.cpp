// Folder names in every script, in a host that runs in the UTF-8 code page
// (this program's manifest declares it): every command acts on the folder
// of its name exactly, typed names arrive exactly, and paths are limited
// by UTF-16 characters, not by bytes. The drive is compared before and
// after every step. Nodes are selected as the keyboard selects them: the
// test prefix's dialog font has no glyphs for most of these names, and the
// tree view takes a click on a label without width for one beside it.
#include "folderops_support.h"

#include <ErrorMessage.h>

#include <algorithm>
#include <string>

namespace {

std::wstring Wide(const char* pszUtf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, pszUtf8, -1, NULL, 0);
    std::wstring str(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, pszUtf8, -1, &str[0], n);
    str.resize(n - 1);
    return str;
}

CString Utf8(const std::wstring& str)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, str.c_str(), -1, NULL, 0, NULL, NULL);
    CString strUtf8;
    WideCharToMultiByte(CP_UTF8, 0, str.c_str(), -1, strUtf8.GetBuffer(n), n, NULL, NULL);
    strUtf8.ReleaseBuffer();
    return strUtf8;
}

// The line of DriveSnapshot for the folder at strPath (D:\...).
CString FolderLine(const CString& strPath)
{
    CString strLine = strPath.Mid(3);
    strLine.Replace('\\', '/');
    return "d " + strLine;
}

// What a step changed on the drive: the lines after has and before had
// not, and the other way round.
struct Change {
    std::vector<CString> added, removed;
};
Change Diff(const std::vector<CString>& before, const std::vector<CString>& after)
{
    auto less = [](const CString& a, const CString& b) { return a.Compare(b) < 0; };
    Change change;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(change.added), less);
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(change.removed),
                        less);
    return change;
}

// The commands need a click on the tree first: the tree's notification of
// one, as Command sends a control's. A real click would land on the top
// node, which is selected at the start, and a click on the selected node
// starts editing its label a moment later.
void ClickTree(Driver& d)
{
    d.OnUi([&] {
        NMHDR nmhdr = { d.Item(IDC_FOLDER_TREE), IDC_FOLDER_TREE, (UINT)NM_CLICK };
        SendMessageA(d.Dialog(), WM_NOTIFY, IDC_FOLDER_TREE, (LPARAM)&nmhdr);
    });
}

// The node selected as the keyboard selects it, with the error box emptied.
void Choose(Driver& d, HTREEITEM hNode)
{
    d.OnUi([&] { SetDlgItemTextA(d.Dialog(), IDC_EDIT_ERROR, ""); });
    d.SelectNode(hNode);
}

// Starts make folder below hParent; the new node's label editor.
HWND MakeFolder(Driver& d, HTREEITEM hParent)
{
    Choose(d, hParent);
    d.Command(IDC_STATIC_MAKEFOLDER, STN_CLICKED);
    return d.LabelEditor();
}

// Starts editing the label of hNode; its editor.
HWND Rename(Driver& d, HTREEITEM hNode)
{
    Choose(d, hNode);
    d.EditLabel(hNode);
    return d.LabelEditor();
}

void Delete(Driver& d, HTREEITEM hNode)
{
    Choose(d, hNode);
    d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
    HWND hBox = d.WaitForMessageBox();
    ASSERT_NE(nullptr, hBox);
    d.Answer(hBox, IDYES);
}

#define REQUIRE_UTF8() ASSERT_EQ(65001u, GetACP()) << "this program's manifest declares the UTF-8 code page"

}  // namespace

// Each name is listed, opened from the initial path, chosen by OK, has
// folders made in it under a typed name and the default name, one of them
// renamed to a typed name, is expanded recursively and deleted; each step
// changes exactly what it should.
TEST(UnicodeNames, EveryCommandActsOnTheFolderOfItsName)
{
    REQUIRE_UTF8();
    std::string strLong;
    for (int i = 0; i < 80; i++)
        strLong += u8"\u8868";
    const struct {
        const char* pszContext;
        std::string strName;  // UTF-8
    } cases[] = {
        { "Japanese", u8"日本" },
        { "Chinese", u8"中文文件夹" },
        { "Greek", u8"Ελληνικά" },
        { "Cyrillic", u8"Кириллица" },
        { "Arabic", u8"العربية" },
        { "emoji outside the Basic Multilingual Plane", u8"📁 photos" },
        { "80 CJK characters, 240 bytes", strLong },
    };
    for (const auto& c : cases) {
        TestFolder folder("names");
        const CString strName = c.strName.c_str();
        MakeNative(folder.Path(), { strName + "/inner/deep/" });
        const CString strPath = folder.Path(strName);
        const CString strTyped = strName + u8" ✓", strRenamed = strName + u8" Ω";
        std::vector<CString> before = DriveSnapshot();
        auto expectChange = [&](const char* pszStep, std::vector<CString> added, std::vector<CString> removed) {
            std::vector<CString> after = DriveSnapshot();
            Change change = Diff(before, after);
            EXPECT_EQ(added, change.added) << c.pszContext << ", " << pszStep;
            EXPECT_EQ(removed, change.removed) << c.pszContext << ", " << pszStep;
            before = after;
        };

        CString strSelected;
        INT_PTR nResult = RunFolderDialog(strPath, [&](Driver& d) {
            HTREEITEM hNode = NodeOf(d, strPath);
            ASSERT_NE(nullptr, hNode) << c.pszContext;
            EXPECT_EQ(strPath, d.ItemText(IDC_EDIT_PATH)) << c.pszContext;
            ClickTree(d);
            Choose(d, hNode);
            EXPECT_EQ((std::vector<CString>{ "inner" }), d.Children(hNode)) << c.pszContext;

            ExpandRecursive(d);
            EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR)) << c.pszContext;
            EXPECT_EQ((std::vector<CString>{ "deep" }), d.Children(d.Child(hNode, "inner"))) << c.pszContext;
            expectChange("Expand Recursive", {}, {});

            d.TypeWide(MakeFolder(d, hNode), Wide(strTyped));
            d.Key(VK_RETURN, d.LabelEditor());
            EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR)) << c.pszContext;
            EXPECT_NE(nullptr, d.Child(hNode, strTyped)) << c.pszContext;
            expectChange("make folder, typed", { FolderLine(strPath + "\\" + strTyped) }, {});

            d.Key(VK_ESCAPE, MakeFolder(d, hNode));
            expectChange("make folder, default name", { FolderLine(strPath + "\\NewFolder") }, {});

            // Each selection of hNode relisted it: its children are new nodes.
            HTREEITEM hTyped = d.Child(hNode, strTyped);
            d.TypeWide(Rename(d, hTyped), Wide(strRenamed));
            d.Key(VK_RETURN, d.LabelEditor());
            EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR)) << c.pszContext;
            EXPECT_EQ(strRenamed, d.Label(hTyped)) << c.pszContext;
            expectChange("rename, typed", { FolderLine(strPath + "\\" + strRenamed) },
                         { FolderLine(strPath + "\\" + strTyped) });

            Choose(d, d.Child(hNode, "inner"));
            d.Ok();
        }, &strSelected);
        EXPECT_EQ(IDOK, nResult) << c.pszContext;
        EXPECT_EQ(strPath + "\\inner", strSelected) << c.pszContext;

        RunFolderDialog(folder.Path(), [&](Driver& d) {
            ClickTree(d);
            Delete(d, NodeOf(d, strPath));
            EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR)) << c.pszContext;
            EXPECT_EQ(nullptr, NodeOf(d, strPath)) << c.pszContext;
            d.Cancel();
        });
        expectChange("delete", {},
                     { FolderLine(strPath), FolderLine(strPath + "\\NewFolder"), FolderLine(strPath + "\\inner"),
                       FolderLine(strPath + "\\inner\\deep"), FolderLine(strPath + "\\" + strRenamed) });
    }
}

// "café" with a composed é (U+00E9) and with e and a combining acute accent
// (U+0301) are two folders side by side: each node lists, expands, renames,
// chooses and deletes its own.
TEST(UnicodeNames, NamesThatDifferOnlyInNormalisationAreTwoFolders)
{
    REQUIRE_UTF8();
    TestFolder folder("normal");
    const CString strComposed = u8"caf\u00e9", strDecomposed = u8"cafe\u0301", strRenamed = u8"cafe\u0301 2";
    MakeNative(folder.Path(), { strComposed + "/composed/", strDecomposed + "/decomposed/" });
    std::vector<CString> before = DriveSnapshot();
    CString strSelected;
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        ClickTree(d);
        HTREEITEM hParent = NodeOf(d, folder.Path());
        for (const auto& node : { std::make_pair(strComposed, "composed"), std::make_pair(strDecomposed, "decomposed") }) {
            HTREEITEM hNode = d.Child(hParent, node.first);
            ASSERT_NE(nullptr, hNode) << node.second;
            Choose(d, hNode);
            EXPECT_EQ(folder.Path(node.first), d.ItemText(IDC_EDIT_PATH)) << node.second;
            EXPECT_EQ((std::vector<CString>{ node.second }), d.Children(hNode)) << node.second;
            ExpandRecursive(d);
            EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR)) << node.second;
            EXPECT_EQ((std::vector<CString>{ node.second }), d.Children(hNode)) << node.second;
        }
        EXPECT_EQ(before, DriveSnapshot());

        d.TypeWide(Rename(d, d.Child(hParent, strDecomposed)), Wide(strRenamed));
        d.Key(VK_RETURN, d.LabelEditor());
        EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR));
        Change change = Diff(before, DriveSnapshot());
        EXPECT_EQ((std::vector<CString>{ FolderLine(folder.Path(strRenamed)), FolderLine(folder.Path(strRenamed + "\\decomposed")) }),
                  change.added);
        EXPECT_EQ((std::vector<CString>{ FolderLine(folder.Path(strDecomposed)), FolderLine(folder.Path(strDecomposed + "\\decomposed")) }),
                  change.removed);
        Choose(d, d.Child(d.Child(hParent, strComposed), "composed"));
        d.Ok();
    }, &strSelected);
    EXPECT_EQ(folder.Path(strComposed + "\\composed"), strSelected);

    before = DriveSnapshot();
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        ClickTree(d);
        Delete(d, NodeOf(d, folder.Path(strComposed)));
        EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR));
        d.Cancel();
    });
    Change change = Diff(before, DriveSnapshot());
    EXPECT_TRUE(change.added.empty());
    EXPECT_EQ((std::vector<CString>{ FolderLine(folder.Path(strComposed)), FolderLine(folder.Path(strComposed + "\\composed")) }),
              change.removed);
}

// The labels the tree has drawn, by whether the dialog asked to draw them
// again afterwards (its answer to the item's pre-paint notice).
struct LabelDrawWatch {
    HWND hDialog = NULL;
    std::vector<CString> again, left;
};
static LabelDrawWatch* s_pLabelWatch;

static LRESULT CALLBACK WatchLabelDraw(int nCode, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* pMsg = (const CWPRETSTRUCT*)lParam;
    LabelDrawWatch* w = s_pLabelWatch;
    if (nCode == HC_ACTION && w && pMsg->hwnd == w->hDialog && pMsg->message == WM_NOTIFY) {
        const NMTVCUSTOMDRAW* pDraw = (const NMTVCUSTOMDRAW*)pMsg->lParam;
        if (pDraw->nmcd.hdr.code == (UINT)NM_CUSTOMDRAW && pDraw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            CString strLabel = ((CTreeCtrl*)CWnd::FromHandle(pDraw->nmcd.hdr.hwndFrom))
                                   ->GetItemText((HTREEITEM)pDraw->nmcd.dwItemSpec);
            (pMsg->lResult & CDRF_NOTIFYPOSTPAINT ? w->again : w->left).push_back(strLabel);
        }
    }
    return CallNextHookEx(NULL, nCode, wParam, lParam);
}

// The tree view's own text output shows a character beyond the Basic
// Multilingual Plane as two boxes: such labels are drawn again with font
// fallback after the tree has drawn them, and only those.
TEST(UnicodeNames, LabelsBeyondTheBasicPlaneAreDrawnAgain)
{
    REQUIRE_UTF8();
    TestFolder folder("labels");
    const CString strEmoji = u8"\U0001F4C1 photos", strGreek = u8"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac";
    MakeNative(folder.Path(), { strEmoji + "/", strGreek + "/" });
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        LabelDrawWatch watch;
        watch.hDialog = d.Dialog();
        HHOOK hHook = NULL;
        d.OnUi([&] {
            s_pLabelWatch = &watch;
            hHook = SetWindowsHookExA(WH_CALLWNDPROCRET, WatchLabelDraw, NULL, GetCurrentThreadId());
            RedrawWindow(d.Item(IDC_FOLDER_TREE), NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
            UnhookWindowsHookEx(hHook);
            s_pLabelWatch = NULL;
        });
        EXPECT_EQ((std::vector<CString>{ strEmoji }), watch.again);
        EXPECT_NE(watch.left.end(), std::find(watch.left.begin(), watch.left.end(), strGreek));
        d.Cancel();
    });
}

// The limits of paths count UTF-16 characters, as Windows counts them: a
// path of two names of 80 CJK characters, under MAX_PATH characters but
// twice as many bytes, is opened, expanded, chosen and deleted; a typed
// name is made up to the limit and refused beyond it, and so is one that
// the file system cannot take or the label editor cut inside a character.
TEST(UnicodeNames, PathLimitsAreCountedInUtf16Characters)
{
    REQUIRE_UTF8();
    TestFolder folder("limits");
    CString strLong;
    for (int i = 0; i < 80; i++)
        strLong += u8"\u8868";
    MakeNative(folder.Path(), { strLong + "/" + strLong + "/" });
    const CString strTop = folder.Path(strLong), strDeep = strTop + "\\" + strLong;
    // The characters of a name below strDeep whose path is 255 characters
    // long: with "\*.*" after it the ANSI functions still list it.
    const int nRoom = MAX_PATH - 6 - (int)Wide(strDeep).size();
    ASSERT_GT(strDeep.GetLength(), MAX_PATH);
    ASSERT_GT(nRoom, 10);
    auto repeat = [](const wchar_t* psz, int n) {
        std::wstring str;
        while (n-- > 0)
            str += psz;
        return str;
    };
    const struct {
        const char* pszContext;
        bool bDeep;            // below strDeep, else below strTop
        std::wstring strTyped;
        CString strRefusal;
        CString strUnixName;   // what is made (empty: nothing)
    } cases[] = {
        { "a name that fills the path to 255 characters", true, repeat(L"\x65E5", nRoom), "",
          Utf8(repeat(L"\x65E5", nRoom)) },
        { "one character more", true, repeat(L"\x65E5", nRoom + 1),
          CRefusal(CRefusal::PATH_TOO_LONG, Utf8(repeat(L"\x65E5", nRoom + 1))).Text(), "" },
        // The control's own text is cut at MAX_PATH bytes; the command takes
        // the whole name, and Wine's file system cannot take it.
        { "87 CJK characters, 261 bytes: more than the control's text holds", false, repeat(L"\x65E5", 87),
          CRefusal(CRefusal::NAME_TOO_LONG, Utf8(repeat(L"\x65E5", 87))).Text(), "" },
        { "an emoji cut in half by the editor's limit of 259 characters", false, repeat(L"a", 258) + L"\xD83D\xDCC1",
          CRefusal(CRefusal::NAME_UNREPRESENTABLE).Text(), "" },
    };
    std::vector<CString> before = DriveSnapshot();
    CString strSelected;
    RunFolderDialog(strDeep, [&](Driver& d) {
        ASSERT_NE(nullptr, NodeOf(d, strDeep));
        EXPECT_EQ(strDeep, d.ItemText(IDC_EDIT_PATH));
        ClickTree(d);
        Choose(d, NodeOf(d, strTop));
        ExpandRecursive(d);
        EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR));
        EXPECT_NE(nullptr, NodeOf(d, strDeep));
        for (const auto& c : cases) {
            const CString strParent = c.bDeep ? strDeep : strTop;
            d.TypeWide(MakeFolder(d, NodeOf(d, strParent)), c.strTyped);
            d.Key(VK_RETURN, d.LabelEditor());
            EXPECT_EQ(c.strRefusal, d.ItemText(IDC_EDIT_ERROR)) << c.pszContext;
            std::vector<CString> after = DriveSnapshot();
            Change change = Diff(before, after);
            std::vector<CString> made;
            if (!c.strUnixName.IsEmpty())
                made.push_back(FolderLine(strParent + "\\" + c.strUnixName));
            EXPECT_EQ(made, change.added) << c.pszContext;
            EXPECT_TRUE(change.removed.empty()) << c.pszContext;
            before = after;
        }
        Choose(d, NodeOf(d, strDeep));
        d.Ok();
    }, &strSelected);
    EXPECT_EQ(strDeep, strSelected);

    RunFolderDialog(folder.Path(), [&](Driver& d) {
        ClickTree(d);
        Delete(d, NodeOf(d, strTop));
        EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR));
        d.Cancel();
    });
    EXPECT_FALSE(Exists(strTop));
}

// Wine gives each byte of a Unix name that is not UTF-8 as U+FFFD, three
// bytes in UTF-8: a name of 92 Unix bytes is 272 bytes long in this
// program, more than the ANSI functions' buffer of MAX_PATH bytes and the
// first read of a label hold. It is listed, shown and chosen whole (Wine
// finds the folder by that name too).
TEST(UnicodeNames, ANameOfMoreThanMaxPathBytesIsListedWhole)
{
    REQUIRE_UTF8();
    TestFolder folder("whole");
    MakeNative(folder.Path(), { "ab" + CString('\xff', 90) + "/" });
    CString strName = "ab";
    for (int i = 0; i < 90; i++)
        strName += u8"\ufffd";
    ASSERT_EQ(272, strName.GetLength());

    CFileFind finder;
    ASSERT_TRUE(finder.FindFile(folder.Path("ab*")));
    finder.FindNextFile();
    EXPECT_EQ(strName, finder.GetFileName());

    CString strSelected;
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        ClickTree(d);
        HTREEITEM hParent = NodeOf(d, folder.Path());
        EXPECT_EQ((std::vector<CString>{ strName }), d.Children(hParent));
        Choose(d, d.Child(hParent, strName));
        EXPECT_EQ(folder.Path(strName), d.ItemText(IDC_EDIT_PATH));
        d.Ok();
    }, &strSelected);
    EXPECT_EQ(folder.Path(strName), strSelected);
}
