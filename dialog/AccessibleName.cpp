// Accessible names: the control's client object is the system's standard
// one, wrapped so that it answers its name.
#include "AccessibleName.h"

#include <oleacc.h>

#include <new>
#include <unordered_map>

namespace {

// IID_IAccessible, without linking oleacc's import library.
const IID kIID_IAccessible = { 0x618736e0, 0x3c3d, 0x11cf, { 0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71 } };

typedef HRESULT(WINAPI* CreateStdAccessibleObjectFn)(HWND, LONG, REFIID, void**);
typedef LRESULT(WINAPI* LresultFromObjectFn)(REFIID, WPARAM, IUnknown*);
typedef BSTR(WINAPI* SysAllocStringFn)(const OLECHAR*);
typedef HRESULT(WINAPI* CoInitializeExFn)(void*, DWORD);
typedef void(WINAPI* CoUninitializeFn)();

// The functions of the system's accessibility and COM libraries, loaded
// once and kept.
struct AccFunctions {
    CreateStdAccessibleObjectFn pfnCreateStd = NULL;
    LresultFromObjectFn pfnLresult = NULL;
    SysAllocStringFn pfnSysAllocString = NULL;
    CoInitializeExFn pfnCoInitializeEx = NULL;
    CoUninitializeFn pfnCoUninitialize = NULL;

    AccFunctions()
    {
        HMODULE hOleAcc = ::LoadLibraryA("oleacc.dll");
        HMODULE hOleAut = ::LoadLibraryA("oleaut32.dll");
        HMODULE hOle = ::LoadLibraryA("ole32.dll");
        if (!hOleAcc || !hOleAut || !hOle)
            return;
        pfnCreateStd = (CreateStdAccessibleObjectFn)::GetProcAddress(hOleAcc, "CreateStdAccessibleObject");
        pfnLresult = (LresultFromObjectFn)::GetProcAddress(hOleAcc, "LresultFromObject");
        pfnSysAllocString = (SysAllocStringFn)::GetProcAddress(hOleAut, "SysAllocString");
        pfnCoInitializeEx = (CoInitializeExFn)::GetProcAddress(hOle, "CoInitializeEx");
        pfnCoUninitialize = (CoUninitializeFn)::GetProcAddress(hOle, "CoUninitialize");
    }
    bool Complete() const
    {
        return pfnCreateStd && pfnLresult && pfnSysAllocString && pfnCoInitializeEx && pfnCoUninitialize;
    }
};

const AccFunctions& Acc()
{
    static const AccFunctions s_functions;
    return s_functions;
}

// The standard object of a control, with its name replaced; everything
// else is the standard object's.
class CNamedAccessible : public IAccessible {
public:
    CNamedAccessible(IAccessible* pInner, const char* pszName) : m_nRefs(1), m_pInner(pInner), m_pszName(pszName) {}

    // IUnknown: this object for IUnknown, IDispatch and IAccessible; the
    // standard object's other interfaces (IEnumVARIANT, IOleWindow) as they are.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, kIID_IAccessible)) {
            *ppv = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return m_pInner->QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return (ULONG)::InterlockedIncrement(&m_nRefs); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG n = ::InterlockedDecrement(&m_nRefs);
        if (n == 0) {
            m_pInner->Release();
            delete this;
        }
        return (ULONG)n;
    }

    // The name of the control itself; its parts keep theirs.
    STDMETHODIMP get_accName(VARIANT varChild, BSTR* pszName) override
    {
        if (varChild.vt != VT_I4 || varChild.lVal != CHILDID_SELF)
            return m_pInner->get_accName(varChild, pszName);
        if (!pszName)
            return E_POINTER;
        WCHAR szName[128];
        if (!::MultiByteToWideChar(CP_ACP, 0, m_pszName, -1, szName, sizeof szName / sizeof szName[0]))
            return E_FAIL;
        *pszName = Acc().pfnSysAllocString(szName);
        return *pszName ? S_OK : E_OUTOFMEMORY;
    }

    // IDispatch and the rest of IAccessible: the standard object's.
    STDMETHODIMP GetTypeInfoCount(UINT* p) override { return m_pInner->GetTypeInfoCount(p); }
    STDMETHODIMP GetTypeInfo(UINT i, LCID l, ITypeInfo** pp) override { return m_pInner->GetTypeInfo(i, l, pp); }
    STDMETHODIMP GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override
    {
        return m_pInner->GetIDsOfNames(r, n, c, l, d);
    }
    STDMETHODIMP Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e, UINT* a) override
    {
        return m_pInner->Invoke(d, r, l, f, p, v, e, a);
    }
    STDMETHODIMP get_accParent(IDispatch** pp) override { return m_pInner->get_accParent(pp); }
    STDMETHODIMP get_accChildCount(long* p) override { return m_pInner->get_accChildCount(p); }
    STDMETHODIMP get_accChild(VARIANT v, IDispatch** pp) override { return m_pInner->get_accChild(v, pp); }
    STDMETHODIMP get_accValue(VARIANT v, BSTR* p) override { return m_pInner->get_accValue(v, p); }
    STDMETHODIMP get_accDescription(VARIANT v, BSTR* p) override { return m_pInner->get_accDescription(v, p); }
    STDMETHODIMP get_accRole(VARIANT v, VARIANT* p) override { return m_pInner->get_accRole(v, p); }
    STDMETHODIMP get_accState(VARIANT v, VARIANT* p) override { return m_pInner->get_accState(v, p); }
    STDMETHODIMP get_accHelp(VARIANT v, BSTR* p) override { return m_pInner->get_accHelp(v, p); }
    STDMETHODIMP get_accHelpTopic(BSTR* p, VARIANT v, long* t) override { return m_pInner->get_accHelpTopic(p, v, t); }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT v, BSTR* p) override { return m_pInner->get_accKeyboardShortcut(v, p); }
    STDMETHODIMP get_accFocus(VARIANT* p) override { return m_pInner->get_accFocus(p); }
    STDMETHODIMP get_accSelection(VARIANT* p) override { return m_pInner->get_accSelection(p); }
    STDMETHODIMP get_accDefaultAction(VARIANT v, BSTR* p) override { return m_pInner->get_accDefaultAction(v, p); }
    STDMETHODIMP accSelect(long f, VARIANT v) override { return m_pInner->accSelect(f, v); }
    STDMETHODIMP accLocation(long* x, long* y, long* cx, long* cy, VARIANT v) override
    {
        return m_pInner->accLocation(x, y, cx, cy, v);
    }
    STDMETHODIMP accNavigate(long n, VARIANT v, VARIANT* p) override { return m_pInner->accNavigate(n, v, p); }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* p) override { return m_pInner->accHitTest(x, y, p); }
    STDMETHODIMP accDoDefaultAction(VARIANT v) override { return m_pInner->accDoDefaultAction(v); }
    STDMETHODIMP put_accName(VARIANT v, BSTR s) override { return m_pInner->put_accName(v, s); }
    STDMETHODIMP put_accValue(VARIANT v, BSTR s) override { return m_pInner->put_accValue(v, s); }

private:
    virtual ~CNamedAccessible() {}
    LONG m_nRefs;
    IAccessible* m_pInner;
    const char* m_pszName;
};

// What a named control keeps, in a property of its window.
struct NamedControl {
    WNDPROC pfnPrevious;
    BOOL bWide;             // subclassed with the wide functions (the window is Unicode)
    const char* pszName;
    BOOL bComStarted;       // this control started COM on its thread, and ends it
};

const char kProperty[] = "Varnet.AccessibleName";

// The named controls of the process, for their window procedure. Every
// message the control gets passes through it: under Wine a window property
// is read from the server, a round trip that costs a hundred times what
// the tree view spends on most of its messages, so the procedure looks the
// control up here. The property stays the record of whether a window is
// named: it goes with the window.
struct NamedMap {
    NamedMap() { InitializeCriticalSection(&cs); }
    CRITICAL_SECTION cs;
    std::unordered_map<HWND, NamedControl*> map;
};

NamedMap& Named()
{
    static NamedMap s_named;
    return s_named;
}

struct NamedLock {
    NamedLock() { EnterCriticalSection(&Named().cs); }
    ~NamedLock() { LeaveCriticalSection(&Named().cs); }
};

NamedControl* FindNamed(HWND hWnd)
{
    NamedLock lock;
    auto it = Named().map.find(hWnd);
    return it == Named().map.end() ? NULL : it->second;
}

LRESULT CallPrevious(const NamedControl* p, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return p->bWide ? ::CallWindowProcW(p->pfnPrevious, hWnd, nMsg, wParam, lParam)
                    : ::CallWindowProcA(p->pfnPrevious, hWnd, nMsg, wParam, lParam);
}

// The client object, named; 0 when it cannot be made (the control's own
// answer is given instead).
LRESULT AnswerGetObject(NamedControl* p, HWND hWnd, WPARAM wParam)
{
    const AccFunctions& acc = Acc();
    if (!acc.Complete())
        return 0;
    // The object is handed to the client through COM, which the host's
    // thread may not have started: it is started then, for as long as the
    // control lives.
    if (!p->bComStarted) {
        HRESULT hr = acc.pfnCoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
        if (hr == S_OK)
            p->bComStarted = TRUE;
        else if (hr == S_FALSE)
            acc.pfnCoUninitialize();  // it was started already: the count goes back
    }
    IAccessible* pInner = NULL;
    if (FAILED(acc.pfnCreateStd(hWnd, OBJID_CLIENT, kIID_IAccessible, (void**)&pInner)) || !pInner)
        return 0;
    CNamedAccessible* pNamed = new (std::nothrow) CNamedAccessible(pInner, p->pszName);
    if (!pNamed) {
        pInner->Release();
        return 0;
    }
    LRESULT lResult = acc.pfnLresult(kIID_IAccessible, wParam, static_cast<IAccessible*>(pNamed));
    pNamed->Release();
    return lResult > 0 ? lResult : 0;
}

LRESULT CALLBACK NamedControlProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    NamedControl* p = FindNamed(hWnd);
    if (!p)
        return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    if (nMsg == WM_GETOBJECT && (DWORD)lParam == (DWORD)OBJID_CLIENT) {
        if (LRESULT lResult = AnswerGetObject(p, hWnd, wParam))
            return lResult;
    } else if (nMsg == WM_NCDESTROY) {
        // The window's last message: the subclass goes, then the window
        // procedures below it see the message.
        NamedControl named = *p;
        {
            NamedLock lock;
            Named().map.erase(hWnd);
        }
        ::RemovePropA(hWnd, kProperty);
        delete p;
        if (named.bWide)
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)named.pfnPrevious);
        else
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, (LONG_PTR)named.pfnPrevious);
        LRESULT lResult = CallPrevious(&named, hWnd, nMsg, wParam, lParam);
        if (named.bComStarted)
            Acc().pfnCoUninitialize();
        return lResult;
    }
    return CallPrevious(p, hWnd, nMsg, wParam, lParam);
}

}  // namespace

void SetAccessibleName(HWND hControl, const char* pszName)
{
    if (!hControl)
        return;
    if (NamedControl* p = (NamedControl*)::GetPropA(hControl, kProperty)) {
        p->pszName = pszName;  // named already (an earlier run of the dialog)
        return;
    }
    NamedControl* p = new NamedControl{ NULL, ::IsWindowUnicode(hControl), pszName, FALSE };
    // A handle left by a window whose last message did not reach us is
    // taken over.
    try {
        NamedLock lock;
        Named().map[hControl] = p;
    } catch (const std::bad_alloc&) {
        delete p;
        return;
    }
    if (!::SetPropA(hControl, kProperty, p)) {
        NamedLock lock;
        Named().map.erase(hControl);
        delete p;
        return;
    }
    // Subclassed in the form the window has, so that it keeps it.
    p->pfnPrevious = p->bWide ? (WNDPROC)::SetWindowLongPtrW(hControl, GWLP_WNDPROC, (LONG_PTR)NamedControlProc)
                              : (WNDPROC)::SetWindowLongPtrA(hControl, GWLP_WNDPROC, (LONG_PTR)NamedControlProc);
}
