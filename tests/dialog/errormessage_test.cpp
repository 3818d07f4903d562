// System error messages: into the error box, into a message box, as text;
// and the refusals, which read the same way.
#include "dialog_support.h"

#include <ErrorMessage.h>
#include <FolderNames.h>
#include <Refusal.h>
#include <UserTexts.h>

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

// Every refusal as the user reads it: the one place where the tests spell
// the sentences out; the other tests compare with CRefusal::Text. A path
// that holds a placeholder's characters is taken as it is.
TEST(Refusal, EachReasonReadsAsTheUserSeesIt)
{
    const CString p = "C:\\a%2b", i = "C:\\a%2b\\in";
    const CString strDenied = SystemText(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(strDenied.IsEmpty());
    const struct {
        CRefusal refusal;
        CString strText;
    } cases[] = {
        { CRefusal(), "" },
        { CRefusal::System(ERROR_ACCESS_DENIED), strDenied },
        { CRefusal::System(kNoText), "Unknown error 805306367." },
        { CRefusal(CRefusal::NO_SELECTION), "Please Select a Folder" },
        { CRefusal(CRefusal::DRIVE_NOT_DELETED), "A Drive cannot be Deleted: please select a folder on it" },
        { CRefusal(CRefusal::DRIVE_NOT_RENAMED), "A Drive cannot be Renamed" },
        { CRefusal(CRefusal::DELETION_ABORTED), "No or partial deletion" },
        { CRefusal::WithError(CRefusal::CREATE_FAILED, ERROR_ACCESS_DENIED), "Cannot Create Directory " + strDenied },
        { CRefusal::WithError(CRefusal::RENAME_FAILED, ERROR_ACCESS_DENIED), "Cannot Rename Directory " + strDenied },
        { CRefusal(CRefusal::NAME_DOTS, ".."), "Invalid Folder Name \"..\": \".\" and \"..\" are not names of a folder" },
        { CRefusal(CRefusal::NAME_SPECIAL, "a*"),
          "Invalid Folder Name \"a*\": a name cannot contain control characters or any of \\ / : * ? \" < > |" },
        { CRefusal(CRefusal::NAME_TRAILING, "a."), "Invalid Folder Name \"a.\": a name cannot end with a dot or a space" },
        { CRefusal(CRefusal::NAME_DEVICE, "NUL"), "Invalid Folder Name \"NUL\": the name is reserved for a device" },
        { CRefusal(CRefusal::NAME_TOO_LONG, "n"),
          "Invalid Folder Name \"n\": the name is longer than the 255 bytes that the file system takes" },
        { CRefusal(CRefusal::PATH_TOO_LONG, "n"), "Invalid Folder Name \"n\": the folder's path would be longer than "
                                                  "the 255 characters that the ANSI file functions can list" },
        { CRefusal(CRefusal::NAME_UNREPRESENTABLE),
          "Invalid Folder Name: the name typed holds characters that the ANSI code page cannot represent" },
        { CRefusal::Ambiguous(CRefusal::LABEL_AMBIGUOUS, p, "", NAME_CONVERTED, VarnetText::NOT_CHOSEN),
          "Not Chosen: " + p + " may name another folder (a name there cannot be represented exactly in the ANSI code page)" },
        { CRefusal(CRefusal::HOLDS_UNREPRESENTABLE, p),
          "Not Deleted: " + p + " holds a name that cannot be represented exactly in the ANSI code page" },
        { CRefusal::Ambiguous(CRefusal::HOLDS_AMBIGUOUS, p, i, NAME_TRAILING),
          "Not Deleted: " + p + " holds " + i + ", which may name another entry (Windows paths drop the dots and spaces "
                                                "that end a name)" },
        { CRefusal::Ambiguous(CRefusal::HOLDS_AMBIGUOUS, p, i, NAME_DEVICE),
          "Not Deleted: " + p + " holds " + i + ", which may name another entry (Windows paths take the name for a device)" },
        { CRefusal::Ambiguous(CRefusal::HOLDS_AMBIGUOUS, p, i, NAME_SPECIAL),
          "Not Deleted: " + p + " holds " + i + ", which may name another entry (the name holds a character that "
                                                "Windows paths give a meaning to)" },
        { CRefusal::Ambiguous(CRefusal::HOLDS_AMBIGUOUS, p, i, NAME_REDIRECTED),
          "Not Deleted: " + p + " holds " + i + ", which may name another entry (a Windows path with that name leads "
                                                "to another entry)" },
        { CRefusal(CRefusal::HOLDS_LONG_PATH, p, i),
          "Not Deleted: " + p + " holds " + i + ", whose path is too long for the ANSI file functions" },
        { CRefusal(CRefusal::HOLDS_LINK, p, i),
          "Not Deleted: " + p + " holds the link " + i + ", which cannot be removed here without what it points to" },
        { CRefusal::WithError(CRefusal::HOLDS_UNLISTABLE, ERROR_ACCESS_DENIED, p, i),
          "Not Deleted: " + p + " holds " + i + ", which cannot be listed: " + strDenied },
        { CRefusal::WithError(CRefusal::HOLDS_UNOPENABLE, ERROR_ACCESS_DENIED, p, i),
          "Not Deleted: " + p + " holds " + i + ", which cannot be opened for deletion: " + strDenied },
        { CRefusal(CRefusal::HOLDS_REPLACED, p, i),
          "Not Deleted: " + p + " holds " + i + ", which was replaced while it was checked" },
        { CRefusal(CRefusal::IS_LINK, p),
          "Not Deleted: " + p + " is a link, which cannot be removed here without what it points to" },
        { CRefusal(CRefusal::HELD_FOLDER_CHANGED, p),
          "Deletion Stopped: " + p +
              " was renamed, removed or replaced while the question waited; nothing more was deleted" },
        { CRefusal(CRefusal::REPLACED_AFTER_CHECK, p),
          "Deletion Stopped: " + p + " was replaced after it was checked; nothing more was deleted" },
        { CRefusal(CRefusal::NEW_ENTRY, p, i),
          "Deletion Stopped: " + p + " holds " + i + ", which was not there when it was checked; nothing more was deleted" },
        { CRefusal(CRefusal::STILL_THERE, p),
          "Partly Deleted: " + p + " is still there, although everything in it was deleted" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.strText, c.refusal.Text()) << "reason " << c.refusal.m_nReason;
}
