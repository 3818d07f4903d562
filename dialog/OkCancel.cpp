// OK and Cancel: what the host reads back in m_strSelectedPath.
#include "FolderTreeDlg.h"
#include "resource.h"

void CFolderTreeDlg::OnOK()
{
    CTreeCtrl* pTree = (CTreeCtrl*)GetDlgItem(IDC_FOLDER_TREE);
    HTREEITEM hSelected = pTree->GetSelectedItem();
    if (!m_bTreeClicked || !hSelected)
        m_strSelectedPath = m_strInitialPath;
    else
        m_strSelectedPath = GetNodePath(hSelected);
    CDialog::OnOK();
}

void CFolderTreeDlg::OnCancel()
{
    m_strSelectedPath.Empty();
    CDialog::OnCancel();
}
