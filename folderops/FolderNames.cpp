// Checks made before the folder commands change anything on disk.
#include "FolderNames.h"

#include <string>

// Characters that no name of a folder may hold, besides control characters.
static const char s_szForbidden[] = "\\/:*?\"<>|";

static bool IsDeviceName(const CString& strName)
{
    // CON, PRN, AUX, NUL, COM1-9, LPT1-9, also with an extension: these
    // name devices, not folders.
    CString strBase = strName;
    int nDot = strBase.Find('.');
    if (nDot != -1)
        strBase = strBase.Left(nDot);
    static const char* const s_apszDevices[] = { "CON", "PRN", "AUX", "NUL" };
    for (const char* pszDevice : s_apszDevices)
        if (strBase.CompareNoCase(pszDevice) == 0)
            return true;
    if (strBase.GetLength() == 4 && strBase[3] >= '1' && strBase[3] <= '9')
        return strBase.Left(3).CompareNoCase("COM") == 0 || strBase.Left(3).CompareNoCase("LPT") == 0;
    return false;
}

CString CheckFolderName(const CString& strName)
{
    CString strPrefix = "Invalid Folder Name \"" + strName + "\": ";
    if (strName == "." || strName == "..")
        return strPrefix + "\".\" and \"..\" are not names of a folder";
    // Walk by characters of the ANSI code page, so that the trail byte of a
    // double-byte character is not taken for a separator.
    const unsigned char* p = (const unsigned char*)(const char*)strName;
    while (*p) {
        if (IsDBCSLeadByte(*p) && p[1]) {
            p += 2;
            continue;
        }
        if (*p < 32 || strchr(s_szForbidden, *p))
            return strPrefix + "a name cannot contain control characters or any of \\ / : * ? \" < > |";
        p++;
    }
    char chLast = strName[strName.GetLength() - 1];
    if (chLast == '.' || chLast == ' ')
        return strPrefix + "a name cannot end with a dot or a space";
    if (IsDeviceName(strName))
        return strPrefix + "the name is reserved for a device";
    return CString();
}

// The wide form of an ANSI text, as the system converts it.
static std::wstring Widen(const char* psz)
{
    int n = MultiByteToWideChar(CP_ACP, 0, psz, -1, NULL, 0);
    std::wstring str(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_ACP, 0, psz, -1, &str[0], n);
    return str;
}

// The ANSI name that the ANSI file functions give for a wide name, and
// whether it is exact (converts back to the same wide name).
static CString Narrow(const wchar_t* pszWide, bool& bExact)
{
    int n = WideCharToMultiByte(CP_ACP, 0, pszWide, -1, NULL, 0, NULL, NULL);
    CString str;
    if (n > 1) {
        WideCharToMultiByte(CP_ACP, 0, pszWide, -1, str.GetBuffer(n), n, NULL, NULL);
        str.ReleaseBuffer();
    }
    bExact = Widen(str) == pszWide;
    return str;
}

// Calls fn(ANSI name, exact) for every entry of strFolder but "." and "..".
// FALSE when the folder cannot be listed.
template <class Fn> static BOOL ForEachWideEntry(const CString& strFolder, Fn fn)
{
    CString strPattern = strFolder;
    strPattern.TrimRight('\\');
    std::wstring strWide = Widen(strPattern + "\\*");
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW(strWide.c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    do {
        if (wcscmp(fd.cFileName, L".") == 0 || wcscmp(fd.cFileName, L"..") == 0)
            continue;
        bool bExact;
        CString strName = Narrow(fd.cFileName, bExact);
        if (!fn(strName, bExact))
            break;
    } while (FindNextFileW(hFind, &fd));
    FindClose(hFind);
    return TRUE;
}

static CString AmbiguousText(const CString& strPath)
{
    return "Not Changed: " + strPath + " may name another folder (a name there cannot be represented exactly in the ANSI code page)";
}

CString CheckExactPath(const CString& strPath)
{
    // Below the drive (C:\), component by component.
    if (strPath.GetLength() < 3)
        return CString();
    CString strParent = strPath.Left(3);
    CString strRest = strPath.Mid(3);
    while (!strRest.IsEmpty()) {
        int n = strRest.Find('\\');
        CString strName = n == -1 ? strRest : strRest.Left(n);
        strRest = n == -1 ? CString() : strRest.Mid(n + 1);
        if (strName.IsEmpty())
            continue;
        int nMatches = 0;
        bool bExact = false;
        ForEachWideEntry(strParent, [&](const CString& strEntry, bool bEntryExact) {
            if (strEntry == strName) {
                nMatches++;
                bExact = bEntryExact;
            }
            return true;
        });
        // No entry at all: the operation fails by itself with the system's
        // reason. Two, or a converted one: it could hit the wrong folder.
        if (nMatches > 1 || (nMatches == 1 && !bExact))
            return AmbiguousText(strParent + (strParent.Right(1) == "\\" ? "" : "\\") + strName);
        if (strParent.Right(1) != "\\")
            strParent += "\\";
        strParent += strName;
    }
    return CString();
}

CString CheckExactListing(const CString& strFolder)
{
    CString strText;
    ForEachWideEntry(strFolder, [&](const CString&, bool bExact) {
        if (!bExact)
            strText = "Not Deleted: " + strFolder + " holds a name that cannot be represented exactly in the ANSI code page";
        return bExact;
    });
    return strText;
}

bool CanRemoveLinkAlone()
{
    HMODULE hNtdll = GetModuleHandleA("ntdll.dll");
    return !(hNtdll && GetProcAddress(hNtdll, "wine_get_version"));
}
