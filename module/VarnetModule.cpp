// Loading and unloading of Varnet.dll: the module registers itself with the
// framework as an extension module, so that the host finds its dialog
// templates and icons through the resource chain.
#include <afxwin.h>

// The module's registration record (constant-initialised: it is valid
// before any static object is constructed).
static AFX_EXTENSION_MODULE VarnetDLL = { FALSE, NULL, NULL, NULL, NULL };

// The C run time's entry of a DLL: it constructs the static objects and
// then calls DllMain.
extern "C" BOOL WINAPI DllMainCRTStartup(HANDLE hDllHandle, DWORD dwReason, LPVOID lpReserved);

// The module's entry point. Before the run time constructs any static
// object, the module state's class and factory lists are set aside, so that
// what this module's statics register is the module's own.
extern "C" BOOL WINAPI VarnetDllEntry(HANDLE hDllHandle, DWORD dwReason, LPVOID lpReserved)
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    if (dwReason == DLL_PROCESS_ATTACH) {
        pState->m_pClassInit = pState->m_pClassList;
        pState->m_pFactoryInit = pState->m_pFactoryList;
        pState->m_pClassList = NULL;
        pState->m_pFactoryList = NULL;
    }
    BOOL bResult = DllMainCRTStartup(hDllHandle, dwReason, lpReserved);
    if (dwReason == DLL_PROCESS_ATTACH && !bResult && !VarnetDLL.bInitialized) {
        // The load failed before the record took the lists over: the
        // host keeps its own.
        pState->m_pClassList = pState->m_pClassInit;
        pState->m_pFactoryList = pState->m_pFactoryInit;
    }
    return bResult;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        if (!AfxInitExtensionModule(VarnetDLL, hInstance))
            return FALSE;
        // Joins the module to the host's resource chain; the framework
        // deletes it when the module is terminated.
        new CDynLinkLibrary(VarnetDLL, FALSE);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(VarnetDLL, FALSE);
    }
    return TRUE;
}
