// System error messages: into the error box, into a message box, as text.
#include "dialog_support.h"

#include <ErrorMessage.h>

// A code for which the system has no text.
static const DWORD kNoText = 0x2FFFFFFF;

TEST(ErrorMessage, IntoTheErrorBox)
{
    ASSERT_FALSE(SystemText(ERROR_ACCESS_DENIED).IsEmpty());
    ASSERT_TRUE(SystemText(kNoText).IsEmpty());
    struct Case {
        DWORD dwError;
        const char* pszCaption;
        CString strExpected;
    } cases[] = {
        { ERROR_ACCESS_DENIED, "Cannot Create Directory", "Cannot Create Directory " + SystemText(5) },
        { ERROR_ACCESS_DENIED, NULL, SystemText(5) },
        { ERROR_ACCESS_DENIED, "", SystemText(5) },
        { kNoText, "Cannot Create Directory", "Cannot Create Directory Unknown error 805306367." },
        { kNoText, NULL, "Unknown error 805306367." },
    };
    TestFolder folder("errorbox");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        for (const Case& c : cases) {
            d.OnUi([&] {
                CErrorMessage errorMessage;
                errorMessage.ShowInDlgItem(c.dwError, c.pszCaption, d.Dialog(), IDC_EDIT_ERROR);
            });
            EXPECT_EQ(c.strExpected, d.ItemText(IDC_EDIT_ERROR))
                << "code " << c.dwError << ", caption " << (c.pszCaption ? c.pszCaption : "(null)");
        }
        d.Cancel();
    });
}

// The system's text as FormatMessage gives it, nothing added or cut.
TEST(ErrorMessage, AsText)
{
    CErrorMessage errorMessage;
    DWORD dwError = ERROR_ACCESS_DENIED;
    ASSERT_FALSE(SystemText(5).IsEmpty());
    EXPECT_EQ(SystemText(5), errorMessage.GetMessageText(dwError));
    EXPECT_EQ(5u, dwError);
    DWORD dwNone = kNoText;
    EXPECT_EQ(CString(""), errorMessage.GetMessageText(dwNone));
}

TEST(ErrorMessage, IntoAMessageBox)
{
    struct Case {
        const char* pszContext;
        std::function<void()> show;
        CString strExpected;
    } cases[] = {
        { "with caption", [] { CErrorMessage().ShowMessage(ERROR_ACCESS_DENIED, "Can't get drives. Start Program again"); },
          "Can't get drives. Start Program again\n\n" + SystemText(5) },
        { "without caption", [] { CErrorMessage().ShowMessage(ERROR_ACCESS_DENIED); }, SystemText(5) },
        { "no system text", [] { CErrorMessage().ShowMessage(kNoText, "Caption"); },
          "Caption\n\nUnknown error 805306367." },
    };
    TestFolder folder("msgbox");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        for (const Case& c : cases) {
            d.PostUi(c.show);
            HWND hBox = d.WaitForMessageBox();
            ASSERT_NE(nullptr, hBox) << c.pszContext;
            // Wine's message box shows the text with its line breaks.
            CString strShown = d.MessageBoxText(hBox);
            strShown.Remove('\r');
            CString strExpected = c.strExpected;
            strExpected.Remove('\r');
            EXPECT_EQ(strExpected, strShown) << c.pszContext;
            EXPECT_EQ(CString("VarnetTest"), d.Text(hBox)) << c.pszContext;
            EXPECT_EQ(d.Dialog(), GetWindow(hBox, GW_OWNER)) << c.pszContext;
            d.Answer(hBox, IDOK);
            EXPECT_FALSE(d.AnyOtherWindow()) << c.pszContext;
        }
        d.Cancel();
    });
}
