// The rules about names shared by the tree, the scan and the folder
// commands.
#include "FolderNames.h"
#include "UserTexts.h"

#include <new>
#include <string.h>
#include <string_view>
#include <unordered_map>

// Names are in the file code page (codepage.h): that of the dialog's text,
// or in the ANSI code page that of the ANSI file functions, which a host
// may have turned to the OEM one (SetFileApisToOEM): a name checked in
// another code page would name another file.
std::wstring Widen(const char* psz)
{
    return AfxToWide(psz, AfxGetFileCodePage());
}

// The name that the ANSI file functions give for a wide name (best fit
// included), and whether it is exact, also as the tree shows it. Converting
// back gives the same wide name exactly when no character was fitted or
// replaced by the default character, as the conversion from ANSI is one
// function. In UTF-8 every name is exact but one holding half a surrogate
// pair.
static CString Narrow(const wchar_t* pszWide, bool& bExact)
{
    CString str = AfxWideToAnsi(pszWide, AfxGetFileCodePage());
    bExact = Widen(str) == pszWide;
    // Labels go to the tree in the text code page: with the OEM one for the
    // file functions, a label would show another name than the folder's.
    if (bExact && AfxGetFileCodePage() != AfxGetTextCodePage())
        bExact = AfxToWide(str) == pszWide;
    return str;
}

CString JoinPath(const CString& strFolder, const CString& strName)
{
    // By characters: a double-byte character may end in the byte of a backslash.
    CString strPath = strFolder;
    strPath.TrimRight('\\');
    return strPath + "\\" + strName;
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 (the superscript digits too), also
// with spaces or an extension after them: these name devices, not folders.
static bool IsDeviceName(std::wstring strBase)
{
    size_t nDot = strBase.find(L'.');
    if (nDot != std::wstring::npos)
        strBase.resize(nDot);
    while (!strBase.empty() && strBase.back() == L' ')
        strBase.pop_back();
    if (strBase.size() == 3) {
        for (const wchar_t* pszDevice : { L"CON", L"PRN", L"AUX", L"NUL" })
            if (_wcsicmp(strBase.c_str(), pszDevice) == 0)
                return true;
        return false;
    }
    if (strBase.size() != 4 || (_wcsnicmp(strBase.c_str(), L"COM", 3) && _wcsnicmp(strBase.c_str(), L"LPT", 3)))
        return false;
    wchar_t chDigit = strBase[3];
    return (chDigit >= L'1' && chDigit <= L'9') || chDigit == 0x00B9 || chDigit == 0x00B2 || chDigit == 0x00B3;
}

// What Win32 path handling would do to the name as a path component.
static NameProblem Win32NameProblem(const std::wstring& strName)
{
    if (strName.empty())
        return NAME_SPECIAL;
    for (wchar_t ch : strName)
        if (ch < 32 || wcschr(L"\\/:*?\"<>|", ch))
            return NAME_SPECIAL;
    if (strName.back() == L'.' || strName.back() == L' ')
        return NAME_TRAILING;
    if (IsDeviceName(strName))
        return NAME_DEVICE;
    return NAME_EXACT;
}

CRefusal CheckFolderName(const CString& strName)
{
    if (strName == "." || strName == "..")
        return CRefusal(CRefusal::NAME_DOTS, strName);
    switch (Win32NameProblem(Widen(strName))) {
    case NAME_SPECIAL: return CRefusal(CRefusal::NAME_SPECIAL, strName);
    case NAME_TRAILING: return CRefusal(CRefusal::NAME_TRAILING, strName);
    case NAME_DEVICE: return CRefusal(CRefusal::NAME_DEVICE, strName);
    default: return CRefusal();
    }
}

bool IsLink(DWORD dwAttributes, DWORD dwReparseTag)
{
    return (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && (dwReparseTag == 0 || (dwReparseTag & 0x20000000));
}

// Two folders that list under one ANSI name are two nodes of one label:
// neither label tells which folder it stands for. Names that differ only in
// letter case may lead to each other in a Win32 path.
static void MarkTwins(std::vector<CListedName>& names)
{
    if (names.size() < 2)
        return;
    // Counted by views of the names and of their upper-case forms, which
    // stay where they are: a large folder's names are not copied again.
    std::vector<std::wstring> upper(names.size());
    std::unordered_map<std::string_view, int> folders;
    std::unordered_map<std::wstring_view, int> cases;
    folders.reserve(names.size());
    cases.reserve(names.size());
    auto ansi = [](const CListedName& name) { return std::string_view(name.strAnsi, name.strAnsi.GetLength()); };
    for (size_t i = 0; i < names.size(); i++) {
        if (names[i].IsDirectory())
            folders[ansi(names[i])]++;
        upper[i] = names[i].strWide;
        CharUpperBuffW(&upper[i][0], (DWORD)upper[i].size());
        cases[upper[i]]++;
    }
    for (size_t i = 0; i < names.size(); i++) {
        CListedName& name = names[i];
        if (name.IsDirectory() && name.nProblem == NAME_EXACT && folders[ansi(name)] > 1)
            name.nProblem = NAME_CONVERTED;
        name.bCaseTwin = cases[upper[i]] > 1;
    }
}

// ListFolderWide's work: ERROR_SUCCESS, or why the folder cannot be listed.
static DWORD ListFolder(const CString& strFolder, std::vector<CListedName>& names)
{
    names.clear();
    // The dialog's paths are ANSI paths: a folder whose pattern the ANSI
    // functions refuse (longer than MAX_PATH characters) is not listed here either.
    std::wstring strPattern = Widen(JoinPath(strFolder, "*.*"));
    if (strPattern.size() >= MAX_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    CWideFind find;
    if (!find.Start(strPattern)) {
        DWORD dwError = GetLastError();
        return IsSearchFailure(dwError) ? dwError : ERROR_SUCCESS;
    }
    const WIN32_FIND_DATAW& fd = find.Data();
    do {
        if (wcscmp(fd.cFileName, L".") == 0 || wcscmp(fd.cFileName, L"..") == 0)
            continue;
        CListedName name;
        bool bExact;
        name.strWide = fd.cFileName;
        name.strAnsi = Narrow(fd.cFileName, bExact);
        name.dwAttributes = fd.dwFileAttributes;
        name.bLink = IsLink(fd.dwFileAttributes, fd.dwReserved0);
        name.nProblem = bExact ? Win32NameProblem(name.strWide) : NAME_CONVERTED;
        name.bCaseTwin = false;
        names.push_back(std::move(name));
    } while (find.Next());
    DWORD dwError = GetLastError();
    MarkTwins(names);
    // A listing that broke off could hide a twin of any name: each is
    // looked up before it is listed through.
    if (dwError != ERROR_NO_MORE_FILES) {
        for (CListedName& name : names)
            name.bCaseTwin = true;
        return dwError;
    }
    return ERROR_SUCCESS;
}

DWORD ListFolderWide(const CString& strFolder, std::vector<CListedName>& names)
{
    // A folder too large for the memory left is one that cannot be listed.
    DWORD dwError;
    try {
        dwError = ListFolder(strFolder, names);
    } catch (std::bad_alloc&) {
        names.clear();
        dwError = ERROR_NOT_ENOUGH_MEMORY;
    } catch (CMemoryException* e) {
        e->Delete();
        names.clear();
        dwError = ERROR_NOT_ENOUGH_MEMORY;
    }
    return dwError;
}

NameProblem ResolveName(const CString& strFolder, const CListedName& name, bool bAlways, DWORD* pdwError)
{
    if (name.nProblem != NAME_EXACT || (!bAlways && !name.bCaseTwin))
        return name.nProblem;
    CWideFind find;
    if (!find.Start(Widen(JoinPath(strFolder, name.strAnsi)))) {
        if (pdwError)
            *pdwError = GetLastError();
        return NAME_MISSING;
    }
    return name.strWide == find.Data().cFileName ? NAME_EXACT : NAME_REDIRECTED;
}

// What the listing of strParent, the folder of hParent, says about the
// label of its child hNode, kept by hNode or else listed now; every child of
// hParent that the listing names keeps what it says. *pdwError is the
// system's reason when the answer is NAME_MISSING.
static NameProblem ListedVerdict(CTreeCtrl* pTree, HTREEITEM hParent, HTREEITEM hNode, const CString& strParent,
                                 const CString& strLabel, DWORD* pdwError)
{
    if (LPARAM lVerdict = pTree->GetItemData(hNode))
        return (NameProblem)(lVerdict - 1);
    std::vector<CListedName> names;
    if ((*pdwError = ListFolderWide(strParent, names)) != ERROR_SUCCESS)
        return NAME_MISSING;
    // Only a folder makes a node; a file of the same ANSI name does not
    // take its place in a path to an exact folder name. Twins share one
    // verdict (they are marked as such).
    std::unordered_map<std::string, NameProblem> folders;
    for (const CListedName& name : names)
        if (name.IsDirectory())
            folders.emplace((const char*)name.strAnsi, name.nProblem);
    for (HTREEITEM hChild = pTree->GetChildItem(hParent); hChild; hChild = pTree->GetNextSiblingItem(hChild)) {
        auto it = folders.find((const char*)pTree->GetItemText(hChild));
        if (it != folders.end())
            pTree->SetItemData(hChild, LabelVerdict(it->second));
    }
    auto it = folders.find((const char*)strLabel);
    if (it != folders.end())
        return it->second;
    *pdwError = ERROR_PATH_NOT_FOUND;
    return NAME_MISSING;
}

// Looks up strLabel, an exact name, by itself in strParent: it must be a
// folder, found under that very name (not another that a Win32 path leads
// to, such as a twin in letter case). *pdwError is the system's reason
// when the answer is NAME_MISSING.
static NameProblem LookUpLabel(const CString& strParent, const CString& strLabel, DWORD* pdwError)
{
    CWideFind find;
    if (!find.Start(Widen(JoinPath(strParent, strLabel)))) {
        // A name missing from a folder that is there: as a listing without it says.
        *pdwError = GetLastError();
        if (*pdwError == ERROR_FILE_NOT_FOUND)
            *pdwError = ERROR_PATH_NOT_FOUND;
        return NAME_MISSING;
    }
    if (!(find.Data().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *pdwError = ERROR_PATH_NOT_FOUND;
        return NAME_MISSING;
    }
    return Widen(strLabel) == find.Data().cFileName ? NAME_EXACT : NAME_REDIRECTED;
}

CRefusal CheckNodeNames(CTreeCtrl* pTree, HTREEITEM hNode, const char* pszRefused)
{
    // The nodes from hNode up to the top node, whose label is the drive
    // root (C:\).
    if (!hNode)
        return CRefusal(CRefusal::NO_SELECTION);
    std::vector<HTREEITEM> nodes;
    for (HTREEITEM h = hNode; h; h = pTree->GetParentItem(h))
        nodes.push_back(h);
    CString strPath = pTree->GetItemText(nodes.back());
    for (size_t i = nodes.size() - 1; i-- > 0;) {
        CString strLabel = pTree->GetItemText(nodes[i]);
        DWORD dwError = 0;
        NameProblem nProblem = ListedVerdict(pTree, nodes[i + 1], nodes[i], strPath, strLabel, &dwError);
        if (nProblem == NAME_EXACT)
            nProblem = LookUpLabel(strPath, strLabel, &dwError);
        strPath = JoinPath(strPath, strLabel);
        // A folder that is not there is reported as the command itself
        // would report it.
        if (nProblem == NAME_MISSING)
            return CRefusal::System(dwError);
        if (nProblem != NAME_EXACT)
            return CRefusal::Ambiguous(CRefusal::LABEL_AMBIGUOUS, strPath, CString(), nProblem, pszRefused);
    }
    return CRefusal();
}

bool IsLinkAt(const CString& strPath)
{
    CString strEntry = strPath;
    strEntry.TrimRight('\\');
    CWideFind find;
    return find.Start(Widen(strEntry)) && IsLink(find.Data().dwFileAttributes, find.Data().dwReserved0);
}

bool CanRemoveLinkAlone()
{
    HMODULE hNtdll = GetModuleHandleA("ntdll.dll");
    return !(hNtdll && GetProcAddress(hNtdll, "wine_get_version"));
}

// Where the entry at strPath really is, links followed (empty when that
// cannot be told). GetFinalPathNameByHandleW is looked up: Windows XP has none.
static std::wstring FinalPath(const std::wstring& strPath)
{
    typedef DWORD(WINAPI * GetFinalPath)(HANDLE, LPWSTR, DWORD, DWORD);
    static GetFinalPath s_pfn =
        (GetFinalPath)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleW");
    if (!s_pfn)
        return std::wstring();
    HANDLE hFile = CreateFileW(strPath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return std::wstring();
    std::wstring strFinal(MAX_PATH, L'\0');
    DWORD n = s_pfn(hFile, &strFinal[0], (DWORD)strFinal.size(), 0);
    if (n >= strFinal.size()) {
        strFinal.resize(n + 1);
        n = s_pfn(hFile, &strFinal[0], (DWORD)strFinal.size(), 0);
    }
    CloseHandle(hFile);
    strFinal.resize(n < strFinal.size() ? n : 0);
    return strFinal;
}

CHiddenFileLinks::CHiddenFileLinks(const CString& strFolder) : m_strFolder(strFolder)
{
    m_strFolder.TrimRight('\\');
    if (!CanRemoveLinkAlone())
        m_strFinal = FinalPath(Widen(strFolder));
}

bool CHiddenFileLinks::IsLink(const CListedName& name) const
{
    if (m_strFinal.empty() || name.IsDirectory())
        return false;
    // A file that cannot be followed is not taken for a plain one.
    std::wstring strFinal = FinalPath(Widen(m_strFolder) + L"\\" + name.strWide);
    std::wstring strExpected = m_strFinal + L"\\" + name.strWide;
    return strFinal.empty() || _wcsicmp(strFinal.c_str(), strExpected.c_str()) != 0;
}
