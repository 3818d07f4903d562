// Names that a Win32 path does not take as they are: each node stands for
// exactly one folder, and every command, OK and selection on a node whose
// label may name another folder is refused with nothing on disk changed.
// The folders are made natively: Win32 calls cannot make most of them.
#include "folderops_support.h"

#include <ErrorMessage.h>
#include <FolderNames.h>

#include <algorithm>

// Every entry of drive D: by its Unix name and type, with the folders of
// other test programs left out (they change meanwhile).
static std::vector<CString> DriveSnapshot()
{
    CString strOwn;
    strOwn.Format("folderops_tests-%lu", GetCurrentProcessId());
    std::vector<CString> lines =
        NativeLines("cd '" + UnixPath("D:\\") + "' && find . -mindepth 1 -printf '%y %P\\n' | LC_ALL=C sort");
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [&](const CString& s) {
                                   CString strTop = s.Mid(2, s.Find('/') == -1 ? s.GetLength() : s.Find('/') - 2);
                                   return strTop.Find("_tests-") != -1 && strTop != (const char*)strOwn;
                               }),
                lines.end());
    EXPECT_FALSE(lines.empty());
    return lines;
}

// Makes folders and empty files natively below strFolder; entries are
// UTF-8 paths, a folder's ending in "/".
static void MakeNative(const CString& strFolder, const std::vector<CString>& entries)
{
    CString strCommand = "cd '" + UnixPath(strFolder) + "'";
    for (const CString& strEntry : entries) {
        bool bFolder = strEntry.Right(1) == "/";
        CString strParent = strEntry.Left(strEntry.ReverseFind('/') == -1 ? 0 : strEntry.ReverseFind('/'));
        if (!strParent.IsEmpty())
            strCommand += " && mkdir -p " + BashWord(strParent);
        if (!bFolder)
            strCommand += " && touch " + BashWord(strEntry);
    }
    ASSERT_EQ(0, RunNative(strCommand)) << strCommand;
}

static void RemoveNative(const CString& strFolder, const char* pszName)
{
    RunNative("rm -rf '" + UnixPath(strFolder) + "'/" + BashWord(pszName));
}

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

// The text of a refusal by pszRefused of the node at strPath.
static CString Refusal(const char* pszRefused, const CString& strPath, NameProblem nProblem)
{
    if (nProblem == NAME_MISSING)
        return CErrorMessage().GetMessageText(ERROR_PATH_NOT_FOUND);
    return CString(pszRefused) + ": " + strPath + " may name another folder (" + NameProblemText(nProblem) + ")";
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
                EXPECT_EQ(Refusal("Not Listed", strPath, c.nProblem), d.ItemText(IDC_EDIT_ERROR)) << strContext;
                EXPECT_TRUE(d.Children(hNode).empty()) << strContext;
                struct Action {
                    const char* pszRefused;
                    std::function<void()> act;
                } actions[] = {
                    { "Not Changed", [&] { d.Command(IDC_STATIC_MAKEFOLDER, STN_CLICKED); } },
                    { "Not Changed", [&] {
                          d.EditLabel(hNode);
                          d.TypeText(d.LabelEditor(), "renamed");
                          d.Key(VK_RETURN, d.LabelEditor());
                      } },
                    { "Not Changed", [&] { d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED); } },
                    { "Not Expanded", [&] { d.Command(IDC_BN_EXPAND); } },
                    { "Not Chosen", [&] { d.Ok(); } },
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
