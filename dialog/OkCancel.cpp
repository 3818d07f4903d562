// OK and Cancel: what the host reads back in m_strSelectedPath.
#include "FolderNames.h"
#include "FolderTreeDlg.h"
#include "UserTexts.h"
#include "resource.h"

void CFolderTreeDlg::OnOK()
{
    CTreeCtrl* pTree = GetTree();
    HTREEITEM hSelected = pTree->GetSelectedItem();
    if (!m_bTreeClicked || !hSelected) {
        m_strSelectedPath = m_strInitialPath;
    } else {
        // A path that may name another folder than the one shown is not
        // returned: the error box says why and the dialog stays open.
        if (ShowRefusal(CheckNodeNames(pTree, hSelected, VarnetText::NOT_CHOSEN)))
            return;
        m_strSelectedPath = GetNodePath(hSelected);
    }
    CDialog::OnOK();
}

void CFolderTreeDlg::OnCancel()
{
    m_strSelectedPath.Empty();
    CDialog::OnCancel();
}
