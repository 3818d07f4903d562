// Drives a real modal dialog from a test, as a user would. RunDialog runs
// DoModal on the test's thread (the user-interface thread) while a script
// runs on a second thread: it posts the clicks, keys and notifications a
// user would cause into the dialog's own message loop, answers message
// boxes and nested dialogs by finding them, and reads what is shown.
#pragma once

#include <afxcmn.h>
#include <afxwin.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

class Driver {
public:
    // Runs fn on the user-interface thread, inside whatever message loop it
    // runs at the moment (the dialog's, a message box's, a nested dialog's),
    // and waits for it.
    void OnUi(const std::function<void()>& fn);
    // Runs fn on the user-interface thread without waiting for it: for code
    // that opens a modal loop (a message box) which the script then answers.
    void PostUi(std::function<void()> fn);
    // Waits until the user-interface thread has handled all that was posted.
    void Sync() { OnUi([] {}); }

    // The dialog being run and its controls.
    HWND Dialog() const { return m_hDialog; }
    HWND Item(int nID) const { return ::GetDlgItem(m_hDialog, nID); }
    CString Text(HWND hWnd);
    CString ItemText(int nID) { return Text(Item(nID)); }

    // Input. Each waits until the dialog has handled it (or has opened a
    // nested modal loop while handling it).
    // An action whose target window (or node) does not exist fails the test.
    void Command(int nID, int nCode = BN_CLICKED);  // what a control of the dialog sends
    void Key(UINT nVirtualKey);                     // key down and up, to the focused window
    void Key(UINT nVirtualKey, HWND hTarget);       // the same, to hTarget
    HWND Focus();                                   // the focused window of the dialog's thread

    // Drive list
    std::vector<CString> DriveEntries();
    int DriveSelection();
    void ChooseDrive(int nIndex);  // as choosing in the list: selection, then CBN_SELENDOK

    // Tree: the top node, and the child of hParent labelled pszLabel (NULL
    // when there is none).
    HTREEITEM Root();
    HTREEITEM Child(HTREEITEM hParent, const char* pszLabel);
    std::vector<CString> Children(HTREEITEM hParent);
    CString Label(HTREEITEM hItem);
    HTREEITEM Selected();
    bool IsExpanded(HTREEITEM hItem);
    void Images(HTREEITEM hItem, int& nImage, int& nSelectedImage);
    void SelectNode(HTREEITEM hItem);      // as the keyboard selects
    void ClickNode(HTREEITEM hItem);       // left click on the label
    void RightClickNode(HTREEITEM hItem);  // right click on the label
    // Label editing: starts the editor on a node (as a slow second click
    // does), the editor of the label being edited (NULL when none), and
    // typing a whole text into it. Enter or Esc to the editor ends it.
    void EditLabel(HTREEITEM hItem);
    HWND LabelEditor();
    void TypeText(HWND hEdit, const char* pszText);
    // Typing as the keyboard's input arrives: one WM_CHAR per UTF-16 unit,
    // posted wide, into the dialog's loop; and the control's text, wide.
    void TypeWide(HWND hEdit, const std::wstring& strText);
    std::wstring TextWide(HWND hWnd);

    // Other windows of this process: message boxes and nested dialogs.
    // Waits up to nTimeoutMs for a visible top-level dialog window (other
    // than the dialog being run) that satisfies pred; NULL on timeout.
    HWND WaitForWindow(const std::function<bool(HWND)>& pred, DWORD nTimeoutMs = 5000);
    HWND WaitForMessageBox(DWORD nTimeoutMs = 5000);
    HWND WaitForDialog(const char* pszCaption, DWORD nTimeoutMs = 5000);
    // Is there, right now, such a window?
    bool AnyOtherWindow();
    // Waits up to nTimeoutMs until a window found before is gone; false on
    // timeout. It asks the window's thread nothing (finding a dialog by its
    // caption sends it WM_GETTEXT, and under Wine every such call goes
    // through the server), so it may poll often while a long command runs
    // without slowing that command.
    bool WaitUntilGone(HWND hWindow, DWORD nTimeoutMs = 5000, DWORD nPollMs = 20);
    // The text of a message box.
    CString MessageBoxText(HWND hBox);
    // Presses a button of a message box or nested dialog; bWait: waits until
    // the user-interface thread has handled it.
    void Answer(HWND hWindow, int nID, bool bWait = true);

    // Waits until DoModal has returned; false after nTimeoutMs.
    bool WaitForEnd(DWORD nTimeoutMs = 10000);

    // Ends the dialog with the button a user would press.
    void Ok() { Command(IDOK); }
    void Cancel() { Command(IDCANCEL); }

private:
    friend INT_PTR RunDialog(CDialog& dlg, const std::function<void(Driver&)>& script);
    HWND m_hDialog = NULL;
    HWND m_hSync = NULL;
    DWORD m_nUiThread = 0;
    std::atomic<bool> m_bEnded{false};
};

// Waits until pred() holds, polling; false, and a failure that names
// pszWhat, when it still does not after nTimeoutMs.
bool WaitFor(const std::function<bool()>& pred, const char* pszWhat, DWORD nTimeoutMs = 5000);

// The system's own text for an error code (FormatMessage), empty when it
// has none: what a test expects where the dialog shows the system's reason.
CString SystemText(DWORD dwError);

// The tooltip control of hDialog's thread that holds the most tools: the
// dialog's own (the tree view has one of its own too). NULL when none.
HWND DialogToolTip(HWND hDialog);

// Runs dlg.DoModal() while script drives it; returns DoModal's result. A
// script that ends (or fails) with the dialog still open has it closed, and
// the test fails. A WM_QUIT that ends the dialog is left in the thread's
// queue, as every modal loop leaves it for the loops outside.
INT_PTR RunDialog(CDialog& dlg, const std::function<void(Driver&)>& script);
