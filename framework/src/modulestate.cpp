// The module state, extension modules and the resource chain.
#include "afx/modulestate.h"
#include "afx/winapp.h"

namespace {

AFX_MODULE_STATE g_moduleState;

// Guards the chain of modules: modules join and leave under the loader lock
// of whatever thread loads them, while look-ups run on user-interface threads.
struct ChainLock {
    ChainLock() { EnterCriticalSection(Section()); }
    ~ChainLock() { LeaveCriticalSection(Section()); }
    static CRITICAL_SECTION* Section()
    {
        struct Holder {
            Holder() { InitializeCriticalSection(&cs); }
            CRITICAL_SECTION cs;
        };
        static Holder s_holder;
        return &s_holder.cs;
    }
};

}  // namespace

AFX_MODULE_STATE* AfxGetModuleState()
{
    return &g_moduleState;
}

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass)
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    pNewClass->m_pNextClass = pState->m_pClassList;
    pState->m_pClassList = pNewClass;
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule)
{
    if (hModule == NULL)
        return FALSE;
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    if (state.bInitialized)
        return TRUE;
    state.hModule = hModule;
    state.hResource = hModule;
    // What the module's statics registered since the preamble cleared the
    // heads belongs to the module; the state gets its earlier lists back.
    state.pFirstSharedClass = pState->m_pClassList;
    state.pFirstSharedFactory = pState->m_pFactoryList;
    pState->m_pClassList = pState->m_pClassInit;
    pState->m_pFactoryList = pState->m_pFactoryInit;
    pState->m_pClassInit = NULL;
    pState->m_pFactoryInit = NULL;
    state.bInitialized = TRUE;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll)
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    for (;;) {
        CDynLinkLibrary* pVictim = NULL;
        {
            ChainLock lock;
            for (CDynLinkLibrary* p = pState->m_pFirstLibrary; p; p = p->m_pNextDLL)
                if (bAll ? !p->m_bSystem : p->m_hModule == state.hModule) {
                    pVictim = p;
                    break;
                }
        }
        if (!pVictim)
            break;
        delete pVictim;  // leaves the chain in its destructor
    }
    state.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_pClassList(state.pFirstSharedClass),
      m_pFactoryList(state.pFirstSharedFactory), m_bSystem(bSystem), m_pNextDLL(NULL)
{
    ChainLock lock;
    CDynLinkLibrary** ppLink = &AfxGetModuleState()->m_pFirstLibrary;
    while (*ppLink)
        ppLink = &(*ppLink)->m_pNextDLL;
    *ppLink = this;
}

CDynLinkLibrary::~CDynLinkLibrary()
{
    ChainLock lock;
    for (CDynLinkLibrary** ppLink = &AfxGetModuleState()->m_pFirstLibrary; *ppLink;
         ppLink = &(*ppLink)->m_pNextDLL)
        if (*ppLink == this) {
            *ppLink = m_pNextDLL;
            break;
        }
}

HINSTANCE AfxGetResourceHandle()
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    return pState->m_hCurrentResourceHandle ? pState->m_hCurrentResourceHandle : GetModuleHandleA(NULL);
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    AfxGetModuleState()->m_hCurrentResourceHandle = hInstResource;
}

HINSTANCE AfxGetInstanceHandle()
{
    AFX_MODULE_STATE* pState = AfxGetModuleState();
    return pState->m_hCurrentInstanceHandle ? pState->m_hCurrentInstanceHandle : GetModuleHandleA(NULL);
}

HINSTANCE AfxFindResourceHandle(LPCSTR lpszName, LPCSTR lpszType)
{
    HINSTANCE hFirst = AfxGetResourceHandle();
    if (FindResourceA(hFirst, lpszName, lpszType))
        return hFirst;
    ChainLock lock;
    for (CDynLinkLibrary* p = AfxGetModuleState()->m_pFirstLibrary; p; p = p->m_pNextDLL)
        if (p->m_hResource && FindResourceA(p->m_hResource, lpszName, lpszType))
            return p->m_hResource;
    return hFirst;
}
