// Keyboard shortcuts and the tooltip relay: every message of the dialog's
// windows passes here before the dialog manager sees it.
#include "FolderTreeDlg.h"

BOOL CFolderTreeDlg::PreTranslateMessage(MSG* pMsg)
{
    if (m_pToolTip && m_pToolTip->m_hWnd)
        m_pToolTip->RelayEvent(pMsg);

    if (pMsg->message == WM_KEYDOWN) {
        switch (pMsg->wParam) {
        case VK_INSERT:
            OnStatic_MakeFolder();
            return TRUE;
        case VK_DELETE:
            OnStatic_DeleteFolder();
            return TRUE;
        case VK_MULTIPLY:
            OnBn_ExpandSelectedNode();
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}
