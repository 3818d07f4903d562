// Deleting a folder with its contents: the question, the request dialog for
// read-only files, and the cases that must never delete what the user did
// not choose. Every case is checked on disk.
#include "folderops_support.h"

#include <FolderNames.h>
#include <ScopeEnd.h>

#include <algorithm>
#include <atomic>
#include <iostream>
#include <map>
#include <thread>

static void MakeReadOnlyFile(const TestFolder& folder, const char* pszRelative)
{
    folder.MakeFile(pszRelative);
    SetFileAttributesA(folder.Path(pszRelative), FILE_ATTRIBUTE_READONLY);
}

// Clicks the node of strPath, starts the delete command by the icon's click
// and answers its question with nAnswer.
static void StartDelete(Driver& d, const CString& strPath, int nAnswer = IDYES)
{
    HTREEITEM hNode = NodeOf(d, strPath);
    ASSERT_NE(nullptr, hNode) << strPath;
    d.ClickNode(hNode);
    d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
    HWND hBox = d.WaitForMessageBox();
    ASSERT_NE(nullptr, hBox) << strPath;
    EXPECT_EQ(CString(VarnetText::CONFIRM_DELETE), d.MessageBoxText(hBox));
    d.Answer(hBox, nAnswer);
}

// Answers every request dialog of the running deletion with what answer()
// gives for its file (a button id, or VK_ESCAPE / VK_RETURN for a key);
// returns the files asked about, in order. The command runs on the
// user-interface thread and each request is shown before its loop runs:
// once the driver's last answer (or the question's) has been handled, the
// next request is there, or none comes.
static std::vector<CString> AnswerRequests(Driver& d, const std::function<int(const CString&)>& answer)
{
    std::vector<CString> asked;
    while (HWND hRequest = d.WaitForDialog("File Deletion Request", 0)) {
        CString strFile = d.Text(GetDlgItem(hRequest, IDC_EDIT_FILE_PATH));
        EXPECT_EQ(CString(VarnetText::READ_ONLY_FILE), d.Text(GetDlgItem(hRequest, IDC_EDIT_REASON)));
        asked.push_back(strFile);
        int nAnswer = answer(strFile);
        if (nAnswer == VK_ESCAPE || nAnswer == VK_RETURN)
            d.Key(nAnswer);
        else
            d.Answer(hRequest, nAnswer);
        if (asked.size() > 20)
            break;
    }
    return asked;
}

TEST(DeleteFolder, AFolderGoesWithItsPlainContentsWithoutARequest)
{
    struct Case {
        const char* pszContext;
        std::function<void(TestFolder&)> make;  // below "target"
    } cases[] = {
        { "files and folders", [](TestFolder& f) {
              f.MakeDirs("target\\sub\\subsub");
              f.MakeFile("target\\one.txt");
              f.MakeFile("target\\sub\\two.txt");
              f.MakeDirs("target\\empty");
          } },
        { "an empty folder", [](TestFolder& f) { f.MakeDirs("target"); } },
        { "a read-only folder inside and itself", [](TestFolder& f) {
              f.MakeDirs("target\\locked");
              SetFileAttributesA(f.Path("target\\locked"), FILE_ATTRIBUTE_READONLY);
              SetFileAttributesA(f.Path("target"), FILE_ATTRIBUTE_READONLY);
          } },
    };
    for (const Case& c : cases) {
        TestFolder folder("delete-plain");
        folder.MakeDirs("keep");
        c.make(folder);
        RunFolderDialog(folder.Path(), [&](Driver& d) {
            HICON hAtRest = IconOf(d, IDC_STATIC_DELETEFOLDER);
            StartDelete(d, folder.Path("target"));
            EXPECT_EQ(nullptr, d.WaitForDialog("File Deletion Request", 0)) << c.pszContext;
            EXPECT_EQ((std::vector<CString>{ "keep" }), d.Children(NodeOf(d, folder.Path()))) << c.pszContext;
            EXPECT_EQ(hAtRest, IconOf(d, IDC_STATIC_DELETEFOLDER)) << c.pszContext;
            EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR)) << c.pszContext;
            d.Cancel();
        });
        EXPECT_EQ((std::vector<CString>{ folder.Path("keep") }), Snapshot(folder.Path())) << c.pszContext;
    }
}

TEST(DeleteFolder, NoToTheQuestionOrEnterChangesNothing)
{
    TestFolder folder("delete-no");
    folder.MakeDirs("target\\sub");
    folder.MakeFile("target\\one.txt");
    std::vector<CString> before = Snapshot(folder.Path());
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        StartDelete(d, folder.Path("target"), IDNO);
        EXPECT_NE(nullptr, NodeOf(d, folder.Path("target")));
        // No is the default button.
        d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
        HWND hBox = d.WaitForMessageBox();
        ASSERT_NE(nullptr, hBox);
        d.Key(VK_RETURN);
        EXPECT_FALSE(d.AnyOtherWindow());
        EXPECT_NE(nullptr, NodeOf(d, folder.Path("target")));
        d.Cancel();
    });
    EXPECT_EQ(before, Snapshot(folder.Path()));
}

TEST(DeleteFolder, EachReadOnlyFileIsAskedAbout)
{
    // target holds two read-only files directly and one in sub. The listing
    // order is the file system's, so the answers go by file.
    struct Case {
        const char* pszContext;
        std::map<CString, int> answers;  // by file name; Yes for the others
        const char* pszAbortedAt;         // the file Abort was given for, asked last; NULL: all three asked
        bool bTargetGone;
        const char* pszError;             // NULL: the system's text for nSystemError
        DWORD nSystemError;
        std::vector<const char*> left;   // what is left below target
    } cases[] = {
        { "Yes to each", {}, NULL, true, "", 0, {} },
        { "No in sub: sub cannot go", { { "r3", IDC_BN_NO } }, NULL, false, NULL, ERROR_DIR_NOT_EMPTY, { "sub", "sub\\r3" } },
        { "Enter is No", { { "r1", VK_RETURN } }, NULL, false, NULL, ERROR_DIR_NOT_EMPTY, { "r1" } },
        { "Abort on a file of target", { { "r1", IDCANCEL } }, "r1", false, VarnetText::DELETION_ABORTED, 0, { "r1" } },
        { "Esc is Abort", { { "r1", VK_ESCAPE } }, "r1", false, VarnetText::DELETION_ABORTED, 0, { "r1" } },
        // The abort ends the whole deletion at once, and its reason stays.
        { "Abort in sub", { { "r3", IDCANCEL } }, "sub\\r3", false, VarnetText::DELETION_ABORTED, 0, { "sub\\r3" } },
    };
    for (const Case& c : cases) {
        TestFolder folder("delete-readonly");
        folder.MakeDirs("target\\sub");
        MakeReadOnlyFile(folder, "target\\r1");
        MakeReadOnlyFile(folder, "target\\r2");
        MakeReadOnlyFile(folder, "target\\sub\\r3");
        std::vector<CString> asked;
        RunFolderDialog(folder.Path(), [&](Driver& d) {
            StartDelete(d, folder.Path("target"));
            asked = AnswerRequests(d, [&](const CString& strFile) {
                auto it = c.answers.find(strFile.Mid(strFile.ReverseFind('\\') + 1));
                return it == c.answers.end() ? IDC_BN_YES : it->second;
            });
            EXPECT_EQ(!c.bTargetGone, NodeOf(d, folder.Path("target")) != NULL) << c.pszContext;
            EXPECT_EQ(c.pszError ? CString(c.pszError) : SystemText(c.nSystemError), d.ItemText(IDC_EDIT_ERROR))
                << c.pszContext;
            d.Cancel();
        });
        if (c.pszAbortedAt) {
            ASSERT_FALSE(asked.empty()) << c.pszContext;
            EXPECT_EQ(folder.Path("target\\") + c.pszAbortedAt, asked.back()) << c.pszContext;
        } else {
            EXPECT_EQ(3u, asked.size()) << c.pszContext;
        }
        EXPECT_EQ(!c.bTargetGone, IsFolder(folder.Path("target"))) << c.pszContext;
        // The file answered is still there, whatever else went.
        for (const char* pszLeft : c.left)
            EXPECT_TRUE(Exists(folder.Path("target\\") + pszLeft)) << c.pszContext << ": " << pszLeft;
    }
}

TEST(DeleteFolder, YesToAllLastsForOneDeletion)
{
    TestFolder folder("delete-yes-to-all");
    for (const char* pszTarget : { "first", "second" }) {
        folder.MakeDirs(CString(pszTarget) + "\\sub");
        MakeReadOnlyFile(folder, CString(pszTarget) + "\\r1");
        MakeReadOnlyFile(folder, CString(pszTarget) + "\\r2");
        MakeReadOnlyFile(folder, CString(pszTarget) + "\\sub\\r3");
    }
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        for (const char* pszTarget : { "first", "second" }) {
            StartDelete(d, folder.Path(pszTarget));
            std::vector<CString> asked = AnswerRequests(d, [](const CString&) { return IDC_BN_YES_TO_ALL; });
            EXPECT_EQ(1u, asked.size()) << pszTarget;
            EXPECT_EQ(nullptr, NodeOf(d, folder.Path(pszTarget))) << pszTarget;
        }
        d.Cancel();
    });
    EXPECT_TRUE(Snapshot(folder.Path()).empty());
}

// Keys that still reach the folder dialog's controls while a request waits
// (posted before the request opened, and dispatched by its loop): Ins, Del
// and keypad * start nothing (a new node or a rebuilt subtree would change
// the tree under the deletion).
TEST(DeleteFolder, NoOtherCommandStartsWhileARequestWaits)
{
    TestFolder folder("delete-keys");
    folder.MakeDirs("target\\sub");
    MakeReadOnlyFile(folder, "target\\r1");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        StartDelete(d, folder.Path("target"));
        HWND hRequest = d.WaitForDialog("File Deletion Request");
        ASSERT_NE(nullptr, hRequest);
        for (UINT nKey : { VK_INSERT, VK_DELETE, VK_MULTIPLY })
            d.Key(nKey, d.Item(IDC_FOLDER_TREE));
        EXPECT_EQ(nullptr, d.WaitForDialog("Progress and Kill Dialog", 0));
        EXPECT_EQ(nullptr, d.WaitForMessageBox(0));
        EXPECT_EQ(nullptr, d.LabelEditor());
        d.Answer(hRequest, IDC_BN_YES);
        EXPECT_EQ(nullptr, d.WaitForDialog("File Deletion Request", 0));
        EXPECT_EQ(nullptr, NodeOf(d, folder.Path("target")));
        d.Cancel();
    });
    EXPECT_TRUE(Snapshot(folder.Path()).empty());
}

TEST(DeleteFolder, AFailureDeepInsideEndsTheWholeDeletionAsAFailure)
{
    // target\a\x\ro is asked about; meanwhile another program removes it, so
    // deleting it fails three levels down. x is then empty and could be
    // removed, but the deletion must end there as a failure: the node stays,
    // and the next deletion starts afresh and removes everything.
    TestFolder folder("delete-deep");
    folder.MakeDirs("target\\a\\x");
    MakeReadOnlyFile(folder, "target\\a\\x\\ro");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        StartDelete(d, folder.Path("target"));
        std::vector<CString> asked = AnswerRequests(d, [&](const CString& strFile) {
            SetFileAttributesA(strFile, FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(strFile);
            return IDC_BN_YES;
        });
        EXPECT_EQ(1u, asked.size());
        EXPECT_EQ(SystemText(ERROR_FILE_NOT_FOUND), d.ItemText(IDC_EDIT_ERROR));
        EXPECT_NE(nullptr, NodeOf(d, folder.Path("target")));
        EXPECT_TRUE(IsFolder(folder.Path("target\\a")));

        StartDelete(d, folder.Path("target"));
        EXPECT_EQ(nullptr, NodeOf(d, folder.Path("target")));
        d.Cancel();
    });
    EXPECT_FALSE(Exists(folder.Path("target")));
}

TEST(DeleteFolder, RefusedWithoutAChosenFolderAndForADrive)
{
    RunFolderDialog("Q:\\nothing", [&](Driver& d) {
        d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
        EXPECT_EQ(CString(VarnetText::SELECT_FOLDER), d.ItemText(IDC_EDIT_ERROR));
        EXPECT_FALSE(d.AnyOtherWindow());
        d.Cancel();
    });
    std::vector<CString> before = Snapshot("D:");
    RunFolderDialog("D:\\", [&](Driver& d) {
        d.ClickNode(d.Root());
        d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
        EXPECT_FALSE(d.AnyOtherWindow());
        EXPECT_EQ(CString(VarnetText::DRIVE_NOT_DELETED), d.ItemText(IDC_EDIT_ERROR));
        EXPECT_NE(nullptr, d.Root());
        d.Cancel();
    });
    EXPECT_EQ(before, Snapshot("D:"));
}

TEST(DeleteFolder, ALinkIsNeverFollowed)
{
    // Outside the folder to delete: a folder with contents and an empty one,
    // each the target of a link inside it; and a link selected itself.
    TestFolder folder("delete-links");
    folder.MakeDirs("outside\\full\\sub");
    folder.MakeFile("outside\\full\\keep.txt");
    folder.MakeDirs("outside\\empty");
    folder.MakeDirs("target-full");
    folder.MakeDirs("target-empty");
    folder.MakeDirs("links");
    ASSERT_TRUE(MakeLink(folder.Path("target-full\\link"), folder.Path("outside\\full")));
    ASSERT_TRUE(MakeLink(folder.Path("target-empty\\link"), folder.Path("outside\\empty")));
    ASSERT_TRUE(MakeLink(folder.Path("links\\itself"), folder.Path("outside\\full")));
    std::vector<CString> before = Snapshot(folder.Path());
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        // Under Wine no call removes a link alone: the link stays, the
        // deletion stops and says why.
        for (const char* pszTarget : { "target-full", "target-empty" }) {
            StartDelete(d, folder.Path(pszTarget));
            EXPECT_EQ(CRefusal(CRefusal::HOLDS_LINK, folder.Path(pszTarget), folder.Path(pszTarget) + "\\link").Text(),
                      d.ItemText(IDC_EDIT_ERROR));
            EXPECT_NE(nullptr, NodeOf(d, folder.Path(pszTarget))) << pszTarget;
        }
        d.SelectNode(NodeOf(d, folder.Path("links")));
        StartDelete(d, folder.Path("links\\itself"));
        EXPECT_EQ(CRefusal(CRefusal::IS_LINK, folder.Path("links\\itself")).Text(), d.ItemText(IDC_EDIT_ERROR));
        d.Cancel();
    });
    EXPECT_EQ(before, Snapshot(folder.Path()));
    EXPECT_TRUE(IsFolder(folder.Path("outside\\empty")));
    EXPECT_TRUE(Exists(folder.Path("outside\\full\\keep.txt")));
}

// Makes a folder by its wide name.
static void MakeWideFolder(const TestFolder& folder, const wchar_t* pszRelative)
{
    WCHAR szPath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, folder.Path(), -1, szPath, MAX_PATH);
    wcscat(szPath, L"\\");
    wcscat(szPath, pszRelative);
    CreateDirectoryW(szPath, NULL);
}

TEST(ConvertedNames, NeverLeadACommandToAnotherFolder)
{
    // "\x0101" (a with macron) is not in the ANSI code page: the system
    // lists it as "a", the name of its real sibling. Each command on such a
    // node, or on a folder holding such a name, is refused and nothing on
    // disk changes.
    TestFolder folder("converted");
    folder.MakeDirs("twins\\a\\inside");
    MakeWideFolder(folder, L"twins\\\x0101");
    folder.MakeDirs("holder\\plain");
    MakeWideFolder(folder, L"holder\\\x03c0");
    std::vector<CString> before = Snapshot(folder.Path());
    ASSERT_EQ(7u, before.size());
    CString strAmbiguous = CRefusal::Ambiguous(CRefusal::LABEL_AMBIGUOUS, folder.Path("twins\\a"), "", NAME_CONVERTED,
                                               VarnetText::NOT_CHANGED).Text();
    RunFolderDialog(folder.Path("twins"), [&](Driver& d) {
        HTREEITEM hTwins = NodeOf(d, folder.Path("twins"));
        ASSERT_EQ((std::vector<CString>{ "a", "a" }), d.Children(hTwins));

        // Refused before the question.
        d.ClickNode(NodeOf(d, folder.Path("twins\\a")));
        d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
        EXPECT_FALSE(d.AnyOtherWindow());
        EXPECT_EQ(strAmbiguous, d.ItemText(IDC_EDIT_ERROR));

        // Make folder opens no editor.
        EXPECT_EQ(nullptr, StartMakeFolder(d, folder.Path("twins\\a")));
        EXPECT_EQ(strAmbiguous, d.ItemText(IDC_EDIT_ERROR));

        HTREEITEM hA = NodeOf(d, folder.Path("twins\\a"));
        d.EditLabel(hA);
        d.TypeText(d.LabelEditor(), "b");
        d.Key(VK_RETURN, d.LabelEditor());
        EXPECT_EQ(strAmbiguous, d.ItemText(IDC_EDIT_ERROR));
        EXPECT_EQ(CString("a"), d.Label(hA));

        d.SelectNode(NodeOf(d, folder.Path()));
        StartDelete(d, folder.Path("holder"));
        EXPECT_NE(nullptr, NodeOf(d, folder.Path("holder")));
        EXPECT_EQ(CRefusal(CRefusal::HOLDS_UNREPRESENTABLE, folder.Path("holder")).Text(), d.ItemText(IDC_EDIT_ERROR));
        d.Cancel();
    });
    EXPECT_EQ(before, Snapshot(folder.Path()));
}

// Makes a file or folder and opens it as another program may: reading,
// without sharing delete access.
static HANDLE HoldOpen(const CString& strPath, bool bFolder)
{
    if (bFolder)
        MakeDirsAt(strPath);
    HANDLE hEntry = CreateFileA(strPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                bFolder ? OPEN_EXISTING : CREATE_ALWAYS, bFolder ? FILE_FLAG_BACKUP_SEMANTICS : 0, NULL);
    EXPECT_NE(INVALID_HANDLE_VALUE, hEntry) << strPath;
    return hEntry;
}

// Makes the file strPath and maps it into this process as a program's own
// file is mapped (bImage: a copy of a library, as an image) or as data;
// returns what unmaps it.
static std::function<void()> MapInto(const CString& strPath, bool bImage)
{
    if (bImage) {
        char szSystem[MAX_PATH];
        GetSystemDirectoryA(szSystem, MAX_PATH);
        CString strDll = CString(szSystem) + "\\version.dll";
        EXPECT_TRUE(CopyFileA(strDll, strPath, TRUE)) << strDll;
    }
    HANDLE hFile = CreateFileA(strPath, GENERIC_READ | (bImage ? 0 : GENERIC_WRITE), FILE_SHARE_READ, NULL,
                               bImage ? OPEN_EXISTING : CREATE_ALWAYS, 0, NULL);
    DWORD dwWritten = 0;
    if (!bImage)
        WriteFile(hFile, "data", 4, &dwWritten, NULL);
    HANDLE hMapping = CreateFileMappingA(hFile, NULL, PAGE_READONLY | (bImage ? SEC_IMAGE : 0), 0, 0, NULL);
    void* pView = MapViewOfFile(hMapping, FILE_MAP_READ, 0, 0, 0);
    EXPECT_NE(nullptr, pView) << strPath << ": " << GetLastError();
    CloseHandle(hMapping);
    CloseHandle(hFile);
    return [pView] { UnmapViewOfFile(pView); };
}

// Opens a file as the search indexer or a virus scanner does: reading,
// sharing delete access, so that it can be deleted while it is open.
static HANDLE OpenSharingDelete(const CString& strPath)
{
    HANDLE hFile = CreateFileA(strPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                               OPEN_EXISTING, 0, NULL);
    EXPECT_NE(INVALID_HANDLE_VALUE, hFile) << strPath;
    return hFile;
}

TEST(DeleteFolder, WhatWouldStopItHalfwayIsFoundBeforeAnythingGoes)
{
    // Plain entries at every level, and one deep inside that a deletion by
    // ANSI names cannot take: the whole deletion is refused, nothing goes.
    TestFolder folder("delete-first");
    folder.MakeDirs("outside\\dir");
    folder.MakeFile("outside\\file.txt");
    const CString strLong('n', 230);
    std::vector<HANDLE> held;
    std::vector<std::function<void()>> unmap;
    struct Case {
        const char* pszContext;
        std::function<void(const CString&)> make;  // in target\a\b
        CRefusal::Reason nReason;
        const char* pszInner;  // in target\a\b; NULL: none shown
        int nProblem;          // for an ambiguous name
        DWORD dwError;         // for an entry that cannot be opened
    } cases[] = {
        { "a trailing dot", [](const CString& b) { MakeNative(b, { "foo./" }); }, CRefusal::HOLDS_AMBIGUOUS, "foo.",
          NAME_TRAILING, 0 },
        { "a device name", [](const CString& b) { MakeNative(b, { "CON" }); }, CRefusal::HOLDS_AMBIGUOUS, "CON",
          NAME_DEVICE, 0 },
        { "a wildcard (Wine: a Unix name)", [](const CString& b) { MakeNative(b, { "a*b" }); },
          CRefusal::HOLDS_AMBIGUOUS, "a*b", NAME_SPECIAL, 0 },
        // The text does not show a converted name.
        { "a converted name", [](const CString& b) { MakeNative(b, { "\xef\xbc\xbc" "b" }); },
          CRefusal::HOLDS_UNREPRESENTABLE, NULL, 0, 0 },
        { "a path too long for the ANSI functions", [&](const CString& b) { MakeNative(b, { strLong + "/" }); },
          CRefusal::HOLDS_LONG_PATH, strLong, 0, 0 },
        // Wine: no call removes a link alone; a link to a file lists as a plain file.
        { "a link to a folder", [&](const CString& b) { MakeLink(b + "\\link", folder.Path("outside\\dir")); },
          CRefusal::HOLDS_LINK, "link", 0, 0 },
        { "a link to a file", [&](const CString& b) {
              RunNative("ln -s '" + UnixPath(folder.Path("outside\\file.txt")) + "' '" + UnixPath(b) + "/link'");
          }, CRefusal::HOLDS_LINK, "link", 0, 0 },
        // Listed, but another program's handle (no delete sharing) denies
        // the deletion the access it needs.
        { "a file another program holds", [&](const CString& b) { held.push_back(HoldOpen(b + "\\held.txt", false)); },
          CRefusal::HOLDS_UNOPENABLE, "held.txt", 0, ERROR_SHARING_VIOLATION },
        { "a folder another program holds", [&](const CString& b) { held.push_back(HoldOpen(b + "\\held", true)); },
          CRefusal::HOLDS_UNOPENABLE, "held", 0, ERROR_SHARING_VIOLATION },
        // Windows 10 deletes it at once; without that (Wine 8) its name
        // would stay, and its folder with it.
        { "a file another program holds sharing delete access (Wine)",
          [&](const CString& b) {
              CloseHandle(HoldOpen(b + "\\shared.txt", false));
              held.push_back(OpenSharingDelete(b + "\\shared.txt"));
          }, CRefusal::HOLDS_IN_USE, "shared.txt", 0, ERROR_SHARING_VIOLATION },
        // A mapped file cannot be deleted, on Windows as under Wine; only
        // marking it for deletion tells.
        { "a running program's file (mapped as an image)",
          [&](const CString& b) { unmap.push_back(MapInto(b + "\\run.dll", true)); }, CRefusal::HOLDS_IN_USE,
          "run.dll", 0, ERROR_ACCESS_DENIED },
        { "a file mapped as data", [&](const CString& b) { unmap.push_back(MapInto(b + "\\data.bin", false)); },
          CRefusal::HOLDS_IN_USE, "data.bin", 0, ERROR_ACCESS_DENIED },
        // Wine lists these as plain files and cannot delete them: a named
        // pipe cannot be opened for deletion, and a socket cannot be
        // followed as a plain file can.
        { "a named pipe (Wine: a Unix FIFO)", [](const CString& b) { RunNative("mkfifo '" + UnixPath(b) + "/fifo'"); },
          CRefusal::HOLDS_UNOPENABLE, "fifo", 0, ERROR_INVALID_PARAMETER },
        { "a socket (Wine: a Unix socket)", [](const CString& b) {
              RunNative("python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' '" +
                        UnixPath(b) + "/sock'");
          }, CRefusal::HOLDS_LINK, "sock", 0, 0 },
    };
    auto target = [&](size_t i) {
        CString strTarget;
        strTarget.Format("t%u", (unsigned)i);
        return strTarget;
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; i++) {
        for (const char* pszFolder : { "\\a\\b", "\\z" }) {
            folder.MakeDirs(target(i) + pszFolder);
            folder.MakeFile(target(i) + pszFolder + "\\plain.txt");
        }
        folder.MakeFile(target(i) + "\\a\\plain.txt");
        cases[i].make(folder.Path(target(i) + "\\a\\b"));
    }
    std::vector<CString> before = DriveSnapshot();
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        for (size_t i = 0; i < sizeof cases / sizeof cases[0]; i++) {
            CString strTarget = folder.Path(target(i));
            StartDelete(d, strTarget);
            const Case& c = cases[i];
            CRefusal refusal = CRefusal::WithError(
                c.nReason, c.dwError, strTarget, c.pszInner ? strTarget + "\\a\\b\\" + c.pszInner : CString());
            refusal.m_nProblem = c.nProblem;
            EXPECT_EQ(refusal.Text(), d.ItemText(IDC_EDIT_ERROR)) << c.pszContext;
            EXPECT_NE(nullptr, NodeOf(d, strTarget)) << cases[i].pszContext;
        }
        d.Cancel();
    });
    for (HANDLE hHeld : held)
        CloseHandle(hHeld);
    for (auto& end : unmap)
        end();
    EXPECT_EQ(before, DriveSnapshot());
}

TEST(DeleteFolder, ThePathIsTakenAfterTheQuestion)
{
    // Del typed into the selected node's label editor: the question takes
    // the focus, the edit ends and renames the folder; the folder deleted
    // is the renamed one.
    TestFolder folder("delete-renamed");
    folder.MakeDirs("old\\sub");
    folder.MakeDirs("keep");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hOld = NodeOf(d, folder.Path("old"));
        d.ClickNode(hOld);
        d.EditLabel(hOld);
        d.TypeText(d.LabelEditor(), "new");
        d.Key(VK_DELETE, d.LabelEditor());
        HWND hBox = d.WaitForMessageBox();
        ASSERT_NE(nullptr, hBox);
        EXPECT_TRUE(IsFolder(folder.Path("new")));
        d.Answer(hBox, IDYES);
        EXPECT_EQ((std::vector<CString>{ "keep" }), d.Children(NodeOf(d, folder.Path())));
        EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR));
        d.Cancel();
    });
    EXPECT_EQ((std::vector<CString>{ folder.Path("keep") }), Snapshot(folder.Path()));
}

TEST(DeleteFolder, AFolderRenamedOrReplacedWhileTheRequestWaitsStopsIt)
{
    struct Case {
        const char* pszContext;
        const char* pszMeanwhile;  // natively in the test folder; NULL: a Win32 rename
        bool bStopped;
    } cases[] = {
        // Native programs pass Wine's share modes by.
        { "renamed, and another folder made in its place", "mv target moved && mkdir -p target/sub && touch target/sub/decoy", true },
        { "replaced by a link to itself", "mv target moved && ln -s moved target", true },
        // The folders being emptied are held open without delete sharing.
        { "a Win32 rename is refused", NULL, false },
    };
    for (const Case& c : cases) {
        TestFolder folder("delete-moved");
        folder.MakeDirs("target\\sub");
        MakeReadOnlyFile(folder, "target\\sub\\ro");
        RunFolderDialog(folder.Path(), [&](Driver& d) {
            StartDelete(d, folder.Path("target"));
            AnswerRequests(d, [&](const CString&) {
                if (c.pszMeanwhile)
                    EXPECT_EQ(0, RunNative("cd '" + UnixPath(folder.Path()) + "' && " + c.pszMeanwhile)) << c.pszContext;
                else
                    EXPECT_FALSE(MoveFileA(folder.Path("target"), folder.Path("moved"))) << c.pszContext;
                return IDC_BN_YES;
            });
            CString strStopped = CRefusal(CRefusal::HELD_FOLDER_CHANGED, folder.Path("target")).Text();
            EXPECT_EQ(c.bStopped ? strStopped : CString(), d.ItemText(IDC_EDIT_ERROR)) << c.pszContext;
            d.Cancel();
        });
        EXPECT_EQ(c.bStopped, Exists(folder.Path("moved\\sub\\ro"))) << c.pszContext;
        EXPECT_EQ(!c.bStopped, Snapshot(folder.Path()).empty()) << c.pszContext;
    }
}

TEST(DeleteFolder, AParentReplacedByALinkWhileTheQuestionWaitsIsNeverGoneThrough)
{
    // While the question waits, another program moves p aside and puts a
    // link to outside, which holds a folder of the same name, in its place.
    // Windows would refuse the rename while the question waits only if a
    // handle were held; Wine's share modes bind no Linux program. The
    // labels still name folders, so the deletion's walk from the drive's
    // root, which compares each parent with its listing, stops it: nothing
    // outside goes.
    TestFolder folder("delete-parent");
    folder.MakeDirs("p\\target");
    folder.MakeFile("p\\target\\f.txt");
    folder.MakeDirs("outside\\target");
    folder.MakeFile("outside\\target\\keep.txt");
    std::vector<CString> outside = Snapshot(folder.Path("outside"));
    RunFolderDialog(folder.Path("p\\target"), [&](Driver& d) {
        d.ClickNode(NodeOf(d, folder.Path("p\\target")));
        d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
        HWND hBox = d.WaitForMessageBox();
        ASSERT_NE(nullptr, hBox);
        EXPECT_EQ(0, RunNative("cd '" + UnixPath(folder.Path()) + "' && mv p moved-p && ln -s \"$PWD/outside\" p"));
        d.Answer(hBox, IDYES);
        EXPECT_EQ(CRefusal(CRefusal::REPLACED_AFTER_CHECK, folder.Path("p\\target")).Text(), d.ItemText(IDC_EDIT_ERROR));
        d.Cancel();
    });
    EXPECT_EQ(outside, Snapshot(folder.Path("outside")));
    EXPECT_TRUE(Exists(folder.Path("moved-p\\target\\f.txt")));
}

TEST(DeleteFolder, ALinkMetDeepInsideEndsOnlyThatDeletion)
{
    // While the request for first\a waits (answered Yes to All), another
    // program puts a link into first\b, which the deletion reaches next
    // (Wine and NTFS list a folder in name order): what was not there at the
    // first pass is not deleted, and the deletion ends there as a failure.
    // The next deletion asks again and goes to its end.
    TestFolder folder("delete-link-meanwhile");
    folder.MakeDirs("outside");
    folder.MakeDirs("first\\b");
    folder.MakeDirs("second");
    MakeReadOnlyFile(folder, "first\\a");
    MakeReadOnlyFile(folder, "second\\r1");
    MakeReadOnlyFile(folder, "second\\r2");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        StartDelete(d, folder.Path("first"));
        std::vector<CString> asked = AnswerRequests(d, [&](const CString&) {
            MakeLink(folder.Path("first\\b\\link"), folder.Path("outside"));
            return IDC_BN_YES_TO_ALL;
        });
        EXPECT_EQ(1u, asked.size());
        EXPECT_EQ(CRefusal(CRefusal::NEW_ENTRY, folder.Path("first\\b"), folder.Path("first\\b\\link")).Text(),
                  d.ItemText(IDC_EDIT_ERROR));
        EXPECT_NE(nullptr, NodeOf(d, folder.Path("first")));

        StartDelete(d, folder.Path("second"));
        EXPECT_EQ(1u, AnswerRequests(d, [](const CString&) { return IDC_BN_YES_TO_ALL; }).size());
        EXPECT_EQ(nullptr, NodeOf(d, folder.Path("second")));
        d.Cancel();
    });
    EXPECT_TRUE(IsFolder(folder.Path("outside")));
    EXPECT_FALSE(Exists(folder.Path("second")));
}

TEST(DeleteFolder, WhatIsReplacedAfterTheFirstPassIsNeverDeletedThrough)
{
    // old holds the read-only file a, listed first, then b1 and b2 and the
    // file c.txt. While the request for a waits, another program replaces
    // entries that the deletion reaches later. The deletion stops at the
    // first of them; nothing outside goes, nor what was moved away.
    struct Case {
        const char* pszContext;
        const char* pszMeanwhile;  // bash, in the test folder; $out is the outside folder
        int nAnswer;
        const char* pszStopped;    // the entry the deletion stops at
        std::vector<const char*> moved;  // what was moved away, whole
    } cases[] = {
        { "folders become links to a folder outside",
          "for b in b1 b2; do mv old/$b moved-$b && ln -s \"$out\" old/$b; done", IDC_BN_YES, "b1",
          { "moved-b1\\f.txt", "moved-b2\\f.txt" } },
        { "the same, Yes to All", "for b in b1 b2; do mv old/$b moved-$b && ln -s \"$out\" old/$b; done",
          IDC_BN_YES_TO_ALL, "b1", { "moved-b1\\f.txt", "moved-b2\\f.txt" } },
        { "a file becomes a link to a file outside", "mv old/c.txt moved-c.txt && ln -s \"$out/keep.txt\" old/c.txt",
          IDC_BN_YES, "c.txt", { "moved-c.txt" } },
        { "a folder becomes another folder", "mv old/b2 moved-b2 && mkdir -p old/b2/x", IDC_BN_YES, "b2",
          { "moved-b2\\f.txt" } },
    };
    for (const Case& c : cases) {
        TestFolder folder("delete-replaced");
        folder.MakeDirs("outside\\dir");
        folder.MakeFile("outside\\keep.txt");
        folder.MakeFile("outside\\dir\\keep.txt");
        for (const char* pszDir : { "old\\b1", "old\\b2" }) {
            folder.MakeDirs(pszDir);
            folder.MakeFile(CString(pszDir) + "\\f.txt");
        }
        folder.MakeFile("old\\c.txt");
        MakeReadOnlyFile(folder, "old\\a");
        std::vector<CString> outside = Snapshot(folder.Path("outside"));
        RunFolderDialog(folder.Path(), [&](Driver& d) {
            StartDelete(d, folder.Path("old"));
            std::vector<CString> asked = AnswerRequests(d, [&](const CString&) {
                EXPECT_EQ(0, RunNative("cd '" + UnixPath(folder.Path()) + "' && out='" + UnixPath(folder.Path("outside")) +
                                       "' && " + c.pszMeanwhile))
                    << c.pszContext;
                return c.nAnswer;
            });
            EXPECT_EQ(1u, asked.size()) << c.pszContext;
            EXPECT_EQ(CRefusal(CRefusal::REPLACED_AFTER_CHECK, folder.Path("old\\") + c.pszStopped).Text(),
                      d.ItemText(IDC_EDIT_ERROR))
                << c.pszContext;
            EXPECT_NE(nullptr, NodeOf(d, folder.Path("old"))) << c.pszContext;
            d.Cancel();
        });
        EXPECT_EQ(outside, Snapshot(folder.Path("outside"))) << c.pszContext;
        for (const char* pszMoved : c.moved)
            EXPECT_TRUE(Exists(folder.Path(pszMoved))) << c.pszContext << ": " << pszMoved;
        EXPECT_FALSE(Exists(folder.Path("old\\a"))) << c.pszContext;
    }
}

TEST(DeleteFolder, ATwinInLetterCaseStaysAndTheDeletedFolderIsReportedGone)
{
    // Wine's disk is case-sensitive: b and B are two folders, and a Win32
    // path may lead to either. The very folder deleted must be gone.
    TestFolder folder("delete-case");
    MakeNative(folder.Path(), { "b/f", "B/g" });
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        StartDelete(d, folder.Path("b"));
        EXPECT_EQ(CString(), d.ItemText(IDC_EDIT_ERROR));
        EXPECT_EQ((std::vector<CString>{ "B" }), d.Children(NodeOf(d, folder.Path())));
        d.Cancel();
    });
    EXPECT_EQ((std::vector<CString>{ folder.Path("B"), folder.Path("B\\g") }), Snapshot(folder.Path()));
}

// Refuses the n-th allocation of the framework's memory on the
// user-interface thread, once, from the moment it is installed. The
// driver's own work there (reading a window's text) allocates too: the
// refusal must come before the script reads anything.
static DWORD s_nRefuseThread;
static std::atomic<int> s_nRefuseIn;
static BOOL RefuseOnce(size_t, BOOL, LONG)
{
    return GetCurrentThreadId() != s_nRefuseThread || --s_nRefuseIn != 0;
}

static void RefuseFromNow(Driver& d, int nAllocation)
{
    d.OnUi([&] {
        s_nRefuseThread = GetCurrentThreadId();
        s_nRefuseIn = nAllocation;
        AfxSetAllocHook(RefuseOnce);
    });
}

TEST(FolderCommands, MemoryRunningOutLeavesTheDialogAsBefore)
{
    // The refusal comes at some point of the command: building a path, a
    // name check, the deletion's passes. The box that says so is the
    // folder dialog's; then the icons are at rest and the command runs again.
    struct Case {
        const char* pszContext;
        bool bDelete;     // else make folder
        int nAllocation;  // the one refused, counted from the question's Yes or from Ins
        bool bBox;        // a box says so; else the error box, as for a folder that cannot be listed
    } cases[] = {
        { "delete, at once", true, 1, true },
        { "delete, in the name checks", true, 34, false },
        { "delete, in the first pass", true, 40, true },
        { "delete, in the deletion pass", true, 100, true },
        { "make folder, at once", false, 1, true },
        { "make folder, later", false, 6, true },
    };
    for (const Case& c : cases) {
        TestFolder folder("oom-commands");
        folder.MakeDirs("target\\a\\b");
        folder.MakeFile("target\\a\\f.txt");
        MakeReadOnlyFile(folder, "target\\a\\r");
        RunFolderDialog(folder.Path(), [&](Driver& d) {
            int nIcon = c.bDelete ? IDC_STATIC_DELETEFOLDER : IDC_STATIC_MAKEFOLDER;
            HICON hAtRest = IconOf(d, nIcon);
            HTREEITEM hTarget = NodeOf(d, folder.Path("target"));
            d.ClickNode(hTarget);
            if (c.bDelete) {
                d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
                HWND hQuestion = d.WaitForMessageBox();
                ASSERT_NE(nullptr, hQuestion) << c.pszContext;
                RefuseFromNow(d, c.nAllocation);
                d.Answer(hQuestion, IDYES);
            } else {
                RefuseFromNow(d, c.nAllocation);
                d.Command(IDC_STATIC_MAKEFOLDER, STN_CLICKED);
            }
            // The command has ended, or waits in the box it opened (which
            // may become visible only after the command's handler has run).
            HWND hBox = d.WaitForMessageBox(c.bBox ? 5000 : 0);
            d.OnUi([] { AfxSetAllocHook(NULL); });
            ASSERT_LE(s_nRefuseIn, 0) << c.pszContext << ": nothing was refused";
            ASSERT_EQ(c.bBox, hBox != NULL) << c.pszContext;
            if (hBox) {
                EXPECT_EQ(CString("Out of memory."), d.MessageBoxText(hBox)) << c.pszContext;
                EXPECT_EQ(d.Dialog(), GetWindow(hBox, GW_OWNER)) << c.pszContext;
                d.Answer(hBox, IDOK);
            } else {
                EXPECT_NE(-1, d.ItemText(IDC_EDIT_ERROR).Find(SystemText(ERROR_NOT_ENOUGH_MEMORY))) << c.pszContext;
            }
            EXPECT_FALSE(d.AnyOtherWindow()) << c.pszContext;
            EXPECT_EQ(hAtRest, IconOf(d, nIcon)) << c.pszContext;

            hTarget = NodeOf(d, folder.Path("target"));
            ASSERT_NE(nullptr, hTarget) << c.pszContext;
            d.ClickNode(hTarget);
            if (c.bDelete) {
                // Asked again: Yes to All ended with the failed deletion.
                StartDelete(d, folder.Path("target"));
                size_t nReadOnlyLeft = Exists(folder.Path("target\\a\\r")) ? 1 : 0;
                EXPECT_EQ(nReadOnlyLeft, AnswerRequests(d, [](const CString&) { return IDC_BN_YES; }).size()) << c.pszContext;
                EXPECT_EQ(nullptr, NodeOf(d, folder.Path("target"))) << c.pszContext;
                EXPECT_FALSE(Exists(folder.Path("target"))) << c.pszContext;
            } else {
                // No node is left waiting for a name; the command starts again.
                EXPECT_EQ((std::vector<CString>{ "a" }), d.Children(hTarget)) << c.pszContext;
                d.Command(IDC_STATIC_MAKEFOLDER, STN_CLICKED);
                EXPECT_NE(nullptr, d.LabelEditor()) << c.pszContext;
                d.Key(VK_ESCAPE, d.LabelEditor());
            }
            EXPECT_EQ(hAtRest, IconOf(d, nIcon)) << c.pszContext;
            d.Cancel();
        });
    }
}

// Starts a bash command line natively in the background, in the Unix
// folder of folder; it runs once the file "go" is there (or after half a minute), and touches the
// file "ended" when it has run. WaitForNative waits for that.
static void StartNative(const TestFolder& folder, const CString& strCommand)
{
    EXPECT_EQ(0, RunNative("cd '" + UnixPath(folder.Path()) + "' && ((for i in $(seq 3000); do [ -e go ] && break; sleep 0.01; done; " + strCommand +
                           "; touch ended) >/dev/null 2>&1 &)"));
}

static void WaitForNative(const TestFolder& folder)
{
    EXPECT_EQ(0, RunNative("cd '" + UnixPath(folder.Path()) + "' && for i in $(seq 600); do [ -e ended ] && exit 0; "
                           "sleep 0.1; done; exit 1"));
}

// Links swapped in while a deletion runs: each moment is a test of its own
// (each takes many seconds under Wine).
struct SwapMoment {
    const char* pszContext;
    const char* pszReadOnly;  // the file asked about, when the swaps start; NULL: at the question's Yes
    bool bDeletes;            // the deletion may have deleted folders before it met a swapped one
    const char* pszText;      // how the error box starts; NULL: any failure (the system's text for an
                              // entry found gone in the moment between its move and the link)
};

static void SwapLinksIn(const SwapMoment& c)
{
    // The checking pass can take longer than the driver's usual wait on a
    // loaded machine.
    _putenv("VARNET_UI_TIMEOUT_MS=45000");
    CScopeEnd uiTimeout([] { _putenv("VARNET_UI_TIMEOUT_MS="); });
    // old holds 300 folders of 10 files (3,300 entries, so that each moment
    // lasts long enough to be hit). Another program moves them aside
    // one by one, from the last, and puts a link to a folder outside in the
    // place of each: from the question's Yes on (during the checking pass),
    // while the request for the read-only a.ro, listed first, waits (between
    // the passes), and from the request for b150\ro on (during the deleting
    // pass). Windows opens a link as itself; Wine follows it, and tells it
    // only by the listing and by an identity other than the one listed.
    // Either way the deletion stops where it meets the first swapped entry,
    // and nothing outside the chosen folder changes.
    const int FOLDERS = 300;
    const CString strSwap = "for b in $(ls -r old | grep '^b'); do mv old/$b moved-$b && ln -s $PWD/outside old/$b; done";
    {
        TestFolder folder("delete-swapped");
        folder.MakeDirs("outside\\dir");
        EXPECT_EQ(0, RunNative("cd '" + UnixPath(folder.Path()) + "' && touch outside/f{00..19} outside/dir/keep && " +
                               "for i in $(seq -w 0 " + CString(std::to_string(FOLDERS - 1).c_str()) +
                               "); do mkdir -p old/b$i && touch old/b$i/f{0..9}; done"));
        if (c.pszReadOnly)
            MakeReadOnlyFile(folder, CString("old\\") + c.pszReadOnly);
        std::vector<CString> outside = Snapshot(folder.Path("outside"));
        std::vector<CString> drive = DriveSnapshot();
        StartNative(folder, strSwap);
        CString strText;
        DWORD dwStart = GetTickCount();
        RunFolderDialog(folder.Path(), [&](Driver& d) {
            d.ClickNode(NodeOf(d, folder.Path("old")));
            d.Command(IDC_STATIC_DELETEFOLDER, STN_CLICKED);
            HWND hBox = d.WaitForMessageBox();
            ASSERT_NE(nullptr, hBox) << c.pszContext;
            if (!c.pszReadOnly)
                folder.MakeFile("go");
            d.Answer(hBox, IDYES);
            AnswerRequests(d, [&](const CString&) {
                folder.MakeFile("go");
                if (!c.bDeletes)
                    WaitForNative(folder);
                return IDC_BN_YES;
            });
            strText = d.ItemText(IDC_EDIT_ERROR);
            EXPECT_EQ(strText.IsEmpty(), NodeOf(d, folder.Path("old")) == NULL) << c.pszContext;
            d.Cancel();
        });
        WaitForNative(folder);
        std::cout << c.pszContext << " (" << GetTickCount() - dwStart << " ms): " << (const char*)strText << "\n";
        EXPECT_EQ(outside, Snapshot(folder.Path("outside"))) << c.pszContext;
        auto outsideOld = [](std::vector<CString> paths) {
            paths.erase(std::remove_if(paths.begin(), paths.end(),
                                       [](const CString& p) { return p.Find("delete-swapped/") != -1; }),
                        paths.end());
            return paths;
        };
        EXPECT_EQ(outsideOld(drive), outsideOld(DriveSnapshot())) << c.pszContext;
        // The swaps began before the deletion reached its end: it stopped.
        if (c.pszText)
            EXPECT_EQ(0, strText.Find(c.pszText)) << c.pszContext;
        else
            EXPECT_FALSE(strText.IsEmpty()) << c.pszContext;
        // Before the deleting pass nothing is deleted: each folder is whole,
        // in its place or moved aside.
        for (int i = 0; i < FOLDERS && !c.bDeletes; i++) {
            CString strOld, strMoved;
            strOld.Format("old\\b%03d\\f9", i);
            strMoved.Format("moved-b%03d\\f9", i);
            EXPECT_TRUE(Exists(folder.Path(strOld)) || Exists(folder.Path(strMoved))) << c.pszContext << ": " << i;
        }
        // Natively, which is much faster than through Wine.
        RunNative("rm -rf '" + UnixPath(folder.Path()) + "'/*");
    }
}

TEST(DeleteFolder, LinksSwappedInDuringTheCheckingPassNeverLeadItOut)
{
    SwapLinksIn({ "during the checking pass", NULL, false, "Not Deleted:" });
}

TEST(DeleteFolder, LinksSwappedInBetweenThePassesNeverLeadItOut)
{
    SwapLinksIn({ "between the passes", "a.ro", false, "Deletion Stopped:" });
}

TEST(DeleteFolder, LinksSwappedInDuringTheDeletingPassNeverLeadItOut)
{
    SwapLinksIn({ "during the deleting pass", "b150\\ro", true, NULL });
}

TEST(DeleteFolder, AFileAnotherProgramOpensAfterTheCheckIsWaitedForAndNeverReportedGone)
{
    // Windows 10 deletes POSIX-style: the name goes at once, and the folder
    // with it. Wine 8 cannot (not implemented): a file held open before the
    // deletion is refused by its checking pass, and one opened after (here
    // while the request for a.ro waits) keeps its name once deleted until
    // the other handle closes. The deletion waits about two seconds for it,
    // then reports the folder not empty, and the node stays.
    struct Case {
        const char* pszContext;
        DWORD dwHeldMs;  // how long the other program holds the file
        bool bGone;
    } cases[] = {
        { "closed after half a second: the deletion goes through", 500, true },
        { "held longer than the wait: not empty", 8000, false },
    };
    for (const Case& c : cases) {
        TestFolder folder("delete-held");
        folder.MakeDirs("target\\sub");
        folder.MakeFile("target\\sub\\held.txt");
        folder.MakeFile("target\\sub\\other.txt");
        MakeReadOnlyFile(folder, "target\\a.ro");
        std::thread closer;
        RunFolderDialog(folder.Path(), [&](Driver& d) {
            StartDelete(d, folder.Path("target"));
            AnswerRequests(d, [&](const CString&) {
                HANDLE hHeld = OpenSharingDelete(folder.Path("target\\sub\\held.txt"));
                closer = std::thread([hHeld, &c] {
                    Sleep(c.dwHeldMs);
                    CloseHandle(hHeld);
                });
                return IDC_BN_YES;
            });
            EXPECT_EQ(c.bGone ? CString() : SystemText(ERROR_DIR_NOT_EMPTY), d.ItemText(IDC_EDIT_ERROR)) << c.pszContext;
            EXPECT_EQ(c.bGone, NodeOf(d, folder.Path("target")) == NULL) << c.pszContext;
            d.Cancel();
        });
        closer.join();
        EXPECT_EQ(c.bGone, !Exists(folder.Path("target"))) << c.pszContext;
        EXPECT_FALSE(Exists(folder.Path("target\\sub\\other.txt"))) << c.pszContext;
    }
}

TEST(DeleteFolder, AReadOnlyFileWithOtherNamesIsClearedOnlyWhenTheUserAgrees)
{
    // The read-only attribute belongs to the file, not to the name: its
    // other name outside\other loses it too. Windows 10 deletes the name
    // without clearing it (nothing is asked); Wine 8 cannot, and asks.
    struct Case {
        const char* pszContext;
        int nAnswer;
    } cases[] = {
        { "No: the file stays, the folder cannot go", IDNO },
        { "Yes: the attribute is cleared for both names", IDYES },
    };
    for (const Case& c : cases) {
        TestFolder folder("delete-hardlink");
        folder.MakeDirs("target");
        folder.MakeDirs("outside");
        folder.MakeFile("outside\\other");
        ASSERT_TRUE(CreateHardLinkA(folder.Path("target\\ro"), folder.Path("outside\\other"), NULL)) << c.pszContext;
        SetFileAttributesA(folder.Path("target\\ro"), FILE_ATTRIBUTE_READONLY);
        RunFolderDialog(folder.Path(), [&](Driver& d) {
            StartDelete(d, folder.Path("target"));
            EXPECT_EQ(1u, AnswerRequests(d, [](const CString&) { return IDC_BN_YES; }).size()) << c.pszContext;
            HWND hBox = d.WaitForMessageBox();
            ASSERT_NE(nullptr, hBox) << c.pszContext;
            CString strQuestion;
            strQuestion.Format(VarnetText::CLEAR_SHARED_READ_ONLY, (const char*)folder.Path("target\\ro"));
            EXPECT_EQ(strQuestion, d.MessageBoxText(hBox)) << c.pszContext;
            d.Answer(hBox, c.nAnswer);
            EXPECT_EQ(c.nAnswer == IDYES ? CString() : SystemText(ERROR_DIR_NOT_EMPTY), d.ItemText(IDC_EDIT_ERROR))
                << c.pszContext;
            d.Cancel();
        });
        EXPECT_EQ(c.nAnswer == IDNO, Exists(folder.Path("target\\ro"))) << c.pszContext;
        EXPECT_EQ(c.nAnswer == IDNO, (GetFileAttributesA(folder.Path("outside\\other")) & FILE_ATTRIBUTE_READONLY) != 0)
            << c.pszContext;
    }
}
