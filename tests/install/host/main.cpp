// A host of the installed package. It loads both DLLs, constructs the
// application and a dialog object without running the dialog, reaches the
// exported classes and resources, and catches an exception thrown inside
// VarnetFx.dll. Exit code 0 when all is well; otherwise a reason on
// standard error and the number of the failed check.
#include <ErrorMessage.h>
#include <FolderTreeDlg.h>
#include <resource.h>

#include <stdio.h>

static int Fail(int nCheck, const char* pszReason)
{
    fprintf(stderr, "varnet_host: check %d failed: %s\n", nCheck, pszReason);
    return nCheck;
}

int main()
{
    CWinApp app("VarnetHost");
    if (AfxGetApp() != &app)
        return Fail(1, "the application object is not the current application");

    CFolderTreeDlg dlg("D:\\");
    if (!dlg.m_strSelectedPath.IsEmpty())
        return Fail(2, "a dialog that never ran has a selected path");

    // The identifiers of the installed header name the installed DLL's
    // dialog template.
    HMODULE hVarnet = ::GetModuleHandleA("Varnet.dll");
    if (hVarnet == NULL)
        return Fail(3, "Varnet.dll is not loaded");
    if (::FindResourceA(hVarnet, MAKEINTRESOURCEA(IDD_FOLDER_TREE), (LPCSTR)RT_DIALOG) == NULL)
        return Fail(4, "Varnet.dll has no dialog template IDD_FOLDER_TREE");

    CErrorMessage err;
    if (err.GetMessageText(ERROR_FILE_NOT_FOUND).IsEmpty())
        return Fail(5, "CErrorMessage gives no text for ERROR_FILE_NOT_FOUND");

    // Thrown in VarnetFx.dll, caught here: both modules must unwind with
    // the one shared libgcc, or this ends in terminate().
    const char* pszMissing = "C:\\varnet-host-no-such-file.txt";
    try {
        CFile::Rename(pszMissing, "C:\\varnet-host-renamed.txt");
        return Fail(6, "renaming a missing file did not throw");
    } catch (CFileException* e) {
        bool bRight = e->m_lOsError == ERROR_FILE_NOT_FOUND && e->m_cause == CFileException::fileNotFound
                      && e->m_strFileName == CString(pszMissing);
        e->Delete();
        if (!bRight)
            return Fail(7, "the CFileException caught does not describe the missing file");
    } catch (...) {
        return Fail(8, "the exception caught is not a CFileException*");
    }

    printf("varnet_host: ok\n");
    return 0;
}
