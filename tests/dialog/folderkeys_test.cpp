// Ins and Del start make folder and delete from whichever control has the
// focus, the label editor included, and the key goes no further.
#include "folderops_support.h"

// The controls a user can put the focus on.
static const int s_anControls[] = { IDC_FOLDER_TREE, IDC_CBX_DRIVES, IDC_EDIT_PATH, IDC_EDIT_ERROR, IDC_BN_EXPAND, IDOK, IDCANCEL };

static void FocusControl(Driver& d, int nID)
{
    d.OnUi([&] { ::SetFocus(d.Item(nID)); });
}

TEST(FolderKeys, InsMakesAFolderFromEveryControl)
{
    TestFolder folder("keys-ins");
    folder.MakeDirs("parent");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        d.ClickNode(NodeOf(d, folder.Path("parent")));
        for (int nID : s_anControls) {
            FocusControl(d, nID);
            d.Key(VK_INSERT);
            HWND hEditor = d.LabelEditor();
            ASSERT_NE(nullptr, hEditor) << nID;
            CString strName;
            strName.Format("made-%d", nID);
            d.TypeText(hEditor, strName);
            d.Key(VK_RETURN, hEditor);
            EXPECT_TRUE(IsFolder(folder.Path("parent\\") + strName)) << nID;
        }
        d.Cancel();
    });
    EXPECT_EQ(7u, Snapshot(folder.Path("parent")).size());
}

TEST(FolderKeys, DelAsksToDeleteFromEveryControlAndTheEditorKeepsItsText)
{
    TestFolder folder("keys-del");
    folder.MakeDirs("parent\\child");
    std::vector<CString> before = Snapshot(folder.Path());
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        HTREEITEM hParent = NodeOf(d, folder.Path("parent"));
        d.ClickNode(hParent);
        auto expectQuestion = [&](const char* pszContext) {
            HWND hBox = d.WaitForMessageBox();
            ASSERT_NE(nullptr, hBox) << pszContext;
            EXPECT_EQ(CString(VarnetText::CONFIRM_DELETE), d.MessageBoxText(hBox));
            d.Answer(hBox, IDNO);
        };
        for (int nID : s_anControls) {
            FocusControl(d, nID);
            d.Key(VK_DELETE);
            CString strContext;
            strContext.Format("control %d", nID);
            expectQuestion(strContext);
        }
        // In the label editor Del deletes no character.
        d.SelectNode(hParent);
        d.EditLabel(hParent);
        HWND hEditor = d.LabelEditor();
        ASSERT_NE(nullptr, hEditor);
        d.TypeText(hEditor, "parent");
        d.OnUi([&] { SendMessageA(hEditor, EM_SETSEL, 0, 1); });
        d.Key(VK_DELETE, hEditor);
        expectQuestion("the label editor");
        // The question ended the edit with the whole text: the same name.
        EXPECT_EQ(nullptr, d.LabelEditor());
        EXPECT_EQ(CString("parent"), d.Label(hParent));
        d.Cancel();
    });
    EXPECT_EQ(before, Snapshot(folder.Path()));
}
