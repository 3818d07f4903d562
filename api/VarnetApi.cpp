// The C interface (varnet.h): the folder dialog for hosts in any language.
// The dialog runs in UTF-8, so that every folder name crosses whole
// whatever the host's code page; the paths cross as UTF-16 or UTF-8.
#include "varnet.h"

#include "FolderTreeDlg.h"

#include <new>
#include <string>

namespace {

// The last error of each thread, in both forms. Plain arrays: nothing to
// destroy when the thread ends (see the note on thread storage in the
// framework's wnd.cpp).
const int ERROR_CHARS = 512;
thread_local wchar_t t_szError[ERROR_CHARS];
thread_local char t_szErrorU8[ERROR_CHARS * 3];

// Keeps pszText as the thread's last error (cut, if it must be, between
// characters) and returns VARNET_ERROR.
int Fail(const wchar_t* pszText)
{
    int n = 0;
    while (pszText[n] && n < ERROR_CHARS - 1)
        n++;
    if (n > 0 && pszText[n] && IS_HIGH_SURROGATE(pszText[n - 1]))
        n--;
    memcpy(t_szError, pszText, n * sizeof(wchar_t));
    t_szError[n] = L'\0';
    int nBytes = ::WideCharToMultiByte(CP_UTF8, 0, t_szError, -1, t_szErrorU8, sizeof t_szErrorU8, NULL, NULL);
    t_szErrorU8[nBytes > 0 ? nBytes - 1 : 0] = '\0';
    return VARNET_ERROR;
}

// The system's words for dwError after pszWhat.
int FailSystem(const wchar_t* pszWhat, DWORD dwError)
{
    wchar_t szText[ERROR_CHARS];
    int n = wsprintfW(szText, L"%s: ", pszWhat);
    if (!::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, dwError,
                          MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), szText + n, ERROR_CHARS - n, NULL))
        wsprintfW(szText + n, L"error %lu.", dwError);
    // Without the line break the system ends its words with.
    for (n = lstrlenW(szText); n > 0 && (szText[n - 1] == L'\r' || szText[n - 1] == L'\n'); n--)
        szText[n - 1] = L'\0';
    return Fail(szText);
}

// Why a WM_QUIT or a destroyed owner, which end the dialog without a
// choice, are not errors: the class ends with -1 for WM_QUIT (posted again
// for the host's loop, so still in the queue) as when it cannot be created.
bool IsQuitPending()
{
    MSG msg;
    return ::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

// The dialog of the C interface: in UTF-8, and centred over the host's
// window that owns it.
class CPickFolderDlg : public CFolderTreeDlg {
public:
    CPickFolderDlg(const char* pszInitial, CWnd* pOwner) : CFolderTreeDlg(pszInitial, pOwner)
    {
        SetTextCodePage(CP_UTF8);
    }

protected:
    BOOL OnInitDialog() override
    {
        BOOL bResult = CFolderTreeDlg::OnInitDialog();
        if (m_pParentWnd)
            CenterWindow();
        return bResult;
    }
};

// Runs the dialog on strInitial (UTF-8). VARNET_OK with the chosen path in
// strChosen (UTF-8), VARNET_CANCEL, or VARNET_ERROR with the reason kept.
int PickFolder(HWND hwndOwner, const std::string& strInitial, std::string& strChosen)
{
    if (hwndOwner && !::IsWindow(hwndOwner))
        return FailSystem(L"The owner window", ERROR_INVALID_WINDOW_HANDLE);
    // Nothing in Varnet's exceptions may reach a host of another language.
    try {
        // The owner is passed by its handle alone, not made a window of
        // the framework's.
        CWnd owner;
        owner.m_hWnd = hwndOwner;
        CPickFolderDlg dlg(strInitial.c_str(), hwndOwner ? &owner : NULL);
        ::SetLastError(0);
        INT_PTR nResult = dlg.DoModal();
        DWORD dwError = ::GetLastError();
        owner.m_hWnd = NULL;
        if (nResult == IDOK) {
            strChosen = (LPCSTR)dlg.m_strSelectedPath;
            return VARNET_OK;
        }
        if (nResult != -1 || IsQuitPending())
            return VARNET_CANCEL;
        if (dwError)
            return FailSystem(L"The folder dialog could not be created", dwError);
        return Fail(L"The folder dialog could not be created.");
    } catch (CException* pException) {
        bool bMemory = dynamic_cast<CMemoryException*>(pException) != NULL;
        char szText[ERROR_CHARS];
        BOOL bText = !bMemory && pException->GetErrorMessage(szText, sizeof szText);
        pException->Delete();
        if (bText)
            return Fail(AfxToWide(szText, CP_ACP).c_str());
        return FailSystem(L"The folder dialog", bMemory ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INTERNAL_ERROR);
    } catch (std::bad_alloc&) {
        return FailSystem(L"The folder dialog", ERROR_NOT_ENOUGH_MEMORY);
    } catch (...) {
        return FailSystem(L"The folder dialog", ERROR_INTERNAL_ERROR);
    }
}

// A copy of the n units at p on the process heap, with a terminating zero,
// for VarnetFreePath; NULL when memory runs out.
template <class T>
T* HeapCopy(const T* p, size_t n)
{
    T* pCopy = (T*)::HeapAlloc(::GetProcessHeap(), 0, (n + 1) * sizeof(T));
    if (pCopy) {
        memcpy(pCopy, p, n * sizeof(T));
        pCopy[n] = 0;
    }
    return pCopy;
}

// strWide in UTF-8 (a valid UTF-16 text converts exactly).
bool ToUtf8(const std::wstring& strWide, std::string& str)
{
    int n = ::WideCharToMultiByte(CP_UTF8, 0, strWide.c_str(), (int)strWide.size(), NULL, 0, NULL, NULL);
    str.assign(n > 0 ? n : 0, '\0');
    return strWide.empty() ||
           ::WideCharToMultiByte(CP_UTF8, 0, strWide.c_str(), (int)strWide.size(), &str[0], n, NULL, NULL) == n;
}

// str (valid UTF-8) in UTF-16.
bool ToWide(const std::string& str, std::wstring& strWide)
{
    int n = ::MultiByteToWideChar(CP_UTF8, 0, str.c_str(), (int)str.size(), NULL, 0);
    strWide.assign(n > 0 ? n : 0, L'\0');
    return str.empty() || ::MultiByteToWideChar(CP_UTF8, 0, str.c_str(), (int)str.size(), &strWide[0], n) == n;
}

// Where psz (UTF-16) holds half a surrogate pair, or -1.
int FindLoneSurrogate(const wchar_t* psz)
{
    for (int i = 0; psz[i]; i++) {
        if (IS_HIGH_SURROGATE(psz[i]) && IS_LOW_SURROGATE(psz[i + 1]))
            i++;
        else if (IS_HIGH_SURROGATE(psz[i]) || IS_LOW_SURROGATE(psz[i]))
            return i;
    }
    return -1;
}

// Where psz is not valid UTF-8 (a byte offset), or -1.
int FindBadUtf8(const char* psz)
{
    int n = (int)strlen(psz);
    if (n == 0 || ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, psz, n, NULL, 0) > 0)
        return -1;
    // The longest valid start tells where.
    int nGood = 0;
    for (int i = 1; i <= n; i++)
        if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, psz, i, NULL, 0) > 0)
            nGood = i;
    return nGood;
}

}  // namespace

extern "C" int WINAPI VarnetPickFolderW(HWND hwndOwner, const wchar_t* pszInitial, wchar_t** ppszPath)
{
    if (!ppszPath)
        return Fail(L"VarnetPickFolderW: ppszPath is NULL.");
    *ppszPath = NULL;
    if (!pszInitial)
        pszInitial = L"";
    int nBad = FindLoneSurrogate(pszInitial);
    if (nBad >= 0) {
        wchar_t szText[128];
        wsprintfW(szText, L"The initial path is not valid UTF-16: half a surrogate pair at character %d.", nBad);
        return Fail(szText);
    }
    try {
        std::string strInitial, strChosen;
        std::wstring strPath;
        if (!ToUtf8(pszInitial, strInitial))
            return FailSystem(L"The initial path", ::GetLastError());
        int nResult = PickFolder(hwndOwner, strInitial, strChosen);
        if (nResult != VARNET_OK)
            return nResult;
        if (!ToWide(strChosen, strPath))
            return FailSystem(L"The chosen path", ::GetLastError());
        if (!(*ppszPath = HeapCopy(strPath.c_str(), strPath.size())))
            return FailSystem(L"The chosen path", ERROR_NOT_ENOUGH_MEMORY);
        return VARNET_OK;
    } catch (...) {
        return FailSystem(L"The folder dialog", ERROR_NOT_ENOUGH_MEMORY);
    }
}

extern "C" int WINAPI VarnetPickFolderU8(HWND hwndOwner, const char* pszInitial, char** ppszPath)
{
    if (!ppszPath)
        return Fail(L"VarnetPickFolderU8: ppszPath is NULL.");
    *ppszPath = NULL;
    if (!pszInitial)
        pszInitial = "";
    int nBad = FindBadUtf8(pszInitial);
    if (nBad >= 0) {
        wchar_t szText[128];
        wsprintfW(szText, L"The initial path is not valid UTF-8: a malformed sequence at byte %d.", nBad);
        return Fail(szText);
    }
    try {
        std::string strChosen;
        int nResult = PickFolder(hwndOwner, pszInitial, strChosen);
        if (nResult != VARNET_OK)
            return nResult;
        if (!(*ppszPath = HeapCopy(strChosen.c_str(), strChosen.size())))
            return FailSystem(L"The chosen path", ERROR_NOT_ENOUGH_MEMORY);
        return VARNET_OK;
    } catch (...) {
        return FailSystem(L"The folder dialog", ERROR_NOT_ENOUGH_MEMORY);
    }
}

extern "C" void WINAPI VarnetFreePath(void* pszPath)
{
    if (pszPath)
        ::HeapFree(::GetProcessHeap(), 0, pszPath);
}

extern "C" const wchar_t* WINAPI VarnetGetErrorW(void)
{
    return t_szError;
}

extern "C" const char* WINAPI VarnetGetErrorU8(void)
{
    return t_szErrorU8;
}
