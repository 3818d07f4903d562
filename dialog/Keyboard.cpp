// Keyboard shortcuts and the tooltip relay: every message of the dialog's
// windows passes here before the dialog manager sees it.
#include "FolderTreeDlg.h"

BOOL CFolderTreeDlg::PreTranslateMessage(MSG* pMsg)
{
    if (m_pToolTip && m_pToolTip->m_hWnd)
        m_pToolTip->RelayEvent(pMsg);

    if (pMsg->message == WM_KEYDOWN) {
        void (CFolderTreeDlg::*pCommand)() = NULL;
        switch (pMsg->wParam) {
        case VK_INSERT: pCommand = &CFolderTreeDlg::OnStatic_MakeFolder; break;
        case VK_DELETE: pCommand = &CFolderTreeDlg::OnStatic_DeleteFolder; break;
        case VK_MULTIPLY: pCommand = &CFolderTreeDlg::OnBn_ExpandSelectedNode; break;
        }
        if (pCommand) {
            // Reported as a click's exception is (see WindowProc).
            try {
                (this->*pCommand)();
            } catch (...) {
                ReportCurrentException();
            }
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}
