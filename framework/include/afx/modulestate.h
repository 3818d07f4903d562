// The module state shared by the host and its extension modules, the
// extension-module records, and resource look-up through the chain of
// modules (host first, then the extension modules in the order they joined).
#pragma once

#include "object.h"

class CWinApp;
class CDynLinkLibrary;

// A factory registered by a module (the list is kept for extension modules;
// nothing in this framework creates factories).
struct FX_API AFX_FACTORY_ENTRY {
    AFX_FACTORY_ENTRY* m_pNextFactory;
};

struct FX_API AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle;
    HINSTANCE m_hCurrentResourceHandle;
    CWinApp* m_pCurrentWinApp;
    LPCSTR m_lpszCurrentAppName;

    // Heads of the lists that a module's static objects register into.
    CRuntimeClass* m_pClassList;
    AFX_FACTORY_ENTRY* m_pFactoryList;
    // The heads saved by an extension module's start-up preamble, restored
    // by AfxInitExtensionModule.
    CRuntimeClass* m_pClassInit;
    AFX_FACTORY_ENTRY* m_pFactoryInit;

    // The chain of extension modules.
    CDynLinkLibrary* m_pFirstLibrary;
};

// The one module state of the process.
FX_API AFX_MODULE_STATE* AfxGetModuleState();

// The record that an extension module keeps of itself.
struct FX_API AFX_EXTENSION_MODULE {
    BOOL bInitialized;
    HMODULE hModule;
    HMODULE hResource;
    CRuntimeClass* pFirstSharedClass;
    AFX_FACTORY_ENTRY* pFirstSharedFactory;
};

// Fills the record with the module's handle and takes over the classes and
// factories that the module's statics registered since the preamble; gives
// the module state back its earlier lists. FALSE for a null module handle.
FX_API BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
// Removes the module's CDynLinkLibrary objects from the chain and deletes
// them (bAll: those of every module).
FX_API void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

// A link in the chain of extension modules. Constructing one joins the
// module to the chain; AfxTermExtensionModule deletes it.
class FX_API CDynLinkLibrary : public CObject {
public:
    explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
    ~CDynLinkLibrary() override;

    HMODULE m_hModule;
    HMODULE m_hResource;
    CRuntimeClass* m_pClassList;
    AFX_FACTORY_ENTRY* m_pFactoryList;
    BOOL m_bSystem;
    CDynLinkLibrary* m_pNextDLL;
};

// The module whose resources are looked at first (the host's executable).
FX_API HINSTANCE AfxGetResourceHandle();
FX_API void AfxSetResourceHandle(HINSTANCE hInstResource);
FX_API HINSTANCE AfxGetInstanceHandle();
// The first module of the chain that holds the resource; the host's
// resource module when none does.
FX_API HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType);
