// CDialog: a dialog box made from a template found through the resource
// chain, run modally by DoModal with the framework's own message loop; and
// the data exchange that binds control objects to its controls.
#pragma once

#include "codepage.h"
#include "wnd.h"

class FX_API CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;  // TRUE: from the controls into the members
    CWnd* m_pDlgWnd;
};

// Binds rControl to the dialog's control nIDC (subclassing it) the first
// time; later exchanges leave the binding alone.
FX_API void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class FX_API CDialog : public CWnd {
    DECLARE_MESSAGE_MAP()

public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    explicit CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd = NULL);

    // Runs the dialog until EndDialog; returns its result, or -1 when the
    // template is missing or the window cannot be created. WM_QUIT ends it
    // too (-1), and is posted again for the loops outside; a window
    // destroyed from outside (with its owner) ends it with IDABORT.
    virtual INT_PTR DoModal();
    // Ends the modal loop with nResult.
    void EndDialog(int nResult);
    // The code page of the dialog's text (its strings, and the paths it
    // works on), on its thread and the worker threads it starts while it
    // runs: CP_ACP, CP_UTF8 ...; by default (AFX_CP_TEXT) that of the
    // thread that runs it. Set before DoModal.
    void SetTextCodePage(UINT nCodePage) { m_nTextCodePage = nCodePage; }
    // Runs DoDataExchange; FALSE when it failed.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Dialog keyboard handling (IsDialogMessage) for the dialog's windows.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Binds the controls (UpdateData(FALSE)); TRUE lets the system set the
    // focus to the first tab stop.
    virtual BOOL OnInitDialog();

protected:
    // OK: UpdateData(TRUE), then EndDialog(IDOK). Cancel: EndDialog(IDCANCEL).
    // The dialog manager sends both for the buttons, Enter and Esc.
    virtual void OnOK();
    virtual void OnCancel();
    void PostNcDestroy() override;

    LPCSTR m_lpszTemplateName;
    CWnd* m_pParentWnd;

private:
    BOOL RunModalLoop();
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);

    int m_nModalResult;
    BOOL m_bContinueModal;
    UINT m_nTextCodePage;
};

FX_API INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
