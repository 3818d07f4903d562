// The resources of Varnet.dll, read back from the built module: dialog
// templates and icons under both language tags, nothing beyond them, the
// version block and the file name. The expected values are written out here
// as tables, independently of res/*.rc.
#include <FolderTreeDlg.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

const WORD kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);            // 0x0407
const WORD kSwissGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_SWISS);  // 0x0807
const WORD kLanguages[] = { kGerman, kSwissGerman };

// Referencing an export makes the linker import Varnet.dll, so the loader
// maps it at start and GetModuleHandle finds it.
UINT (*const g_pfnExport)(void*) = &CFolderTreeDlg::GetRecursiveDir;

HMODULE Varnet() { return GetModuleHandleA("Varnet.dll"); }

std::string Hex(DWORD dw)
{
    char sz[16];
    sprintf(sz, "0x%04lX", (unsigned long)dw);
    return sz;
}

std::string LangContext(WORD wLang) { return "language " + Hex(wLang); }

// ---------------------------------------------------------------------------
// Reading the raw resource data.

struct Blob {
    const BYTE* p = nullptr;
    DWORD n = 0;
};

Blob Resource(HMODULE hMod, LPCSTR pszType, WORD wId, WORD wLang)
{
    Blob blob;
    HRSRC hRes = FindResourceExA(hMod, pszType, MAKEINTRESOURCEA(wId), wLang);
    if (!hRes)
        return blob;
    HGLOBAL hData = LoadResource(hMod, hRes);
    blob.p = hData ? static_cast<const BYTE*>(LockResource(hData)) : nullptr;
    blob.n = blob.p ? SizeofResource(hMod, hRes) : 0;
    return blob;
}

// Little-endian reader over a resource, bounds-checked: reading past the
// end makes it not Ok() and yields zeros.
class Reader {
public:
    Reader(const BYTE* p, DWORD n) : m_p(p), m_n(n) {}
    explicit Reader(const Blob& blob) : Reader(blob.p, blob.n) {}

    bool Ok() const { return m_bOk; }
    DWORD Pos() const { return m_nPos; }
    BYTE Byte() { return (BYTE)Take(1); }
    WORD Word() { return (WORD)Take(2); }
    short Short() { return (short)Take(2); }
    DWORD DWord() { return Take(4); }
    void Align4() { Seek((m_nPos + 3) & ~3u); }
    void Skip(DWORD n) { Seek(m_nPos + n); }
    void Seek(DWORD nPos)
    {
        if (nPos > m_n)
            m_bOk = false;
        else
            m_nPos = nPos;
    }

    // A zero-terminated UTF-16 string, as CP1252 text.
    std::string WString()
    {
        std::wstring w;
        for (;;) {
            WORD c = Word();
            if (!m_bOk || c == 0)
                break;
            w += (wchar_t)c;
        }
        if (w.empty())
            return "";
        std::string s(w.size() * 2, '\0');
        int n = WideCharToMultiByte(1252, 0, w.c_str(), (int)w.size(), &s[0], (int)s.size(), NULL, NULL);
        s.resize(n > 0 ? n : 0);
        return s;
    }

private:
    DWORD Take(DWORD n)
    {
        if (!m_bOk || m_nPos + n > m_n) {
            m_bOk = false;
            return 0;
        }
        DWORD v = 0;
        for (DWORD i = 0; i < n; i++)
            v |= (DWORD)m_p[m_nPos + i] << (8 * i);
        m_nPos += n;
        return v;
    }

    const BYTE* m_p;
    DWORD m_n;
    DWORD m_nPos = 0;
    bool m_bOk = true;
};

// The sz_Or_Ord fields of a template: nothing, an ordinal, or a string.
struct NameOrOrd {
    bool bOrdinal = false;
    WORD wOrdinal = 0;
    std::string text;

    bool Empty() const { return !bOrdinal && text.empty(); }
    std::string Describe() const { return bOrdinal ? "#" + std::to_string(wOrdinal) : "\"" + text + "\""; }
};

NameOrOrd ReadNameOrOrd(Reader& r)
{
    NameOrOrd v;
    DWORD nStart = r.Pos();
    WORD w = r.Word();
    if (w == 0xFFFF) {
        v.bOrdinal = true;
        v.wOrdinal = r.Word();
    } else if (w != 0) {
        r.Seek(nStart);
        v.text = r.WString();
    }
    return v;
}

// The predefined classes a template may name by ordinal, by window class
// name; class names compare without case.
std::string ClassIdentity(const NameOrOrd& cls)
{
    if (cls.bOrdinal) {
        switch (cls.wOrdinal) {
        case 0x80: return "button";
        case 0x81: return "edit";
        case 0x82: return "static";
        case 0x83: return "listbox";
        case 0x84: return "scrollbar";
        case 0x85: return "combobox";
        default: return "#" + std::to_string(cls.wOrdinal);
        }
    }
    std::string s = cls.text;
    for (char& c : s)
        c = (char)tolower((unsigned char)c);
    return s;
}

struct Control {
    DWORD dwHelpId = 0;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int nId = 0;  // -1 for an id stored as 0xFFFF or 0xFFFFFFFF
    NameOrOrd cls;
    NameOrOrd title;
    WORD wExtra = 0;
};

struct Dialog {
    bool bExtended = false;
    WORD wVersion = 0;
    DWORD dwHelpId = 0;
    DWORD dwStyle = 0;
    DWORD dwExStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrd menu;
    NameOrOrd cls;
    std::string caption;
    WORD wPointSize = 0;
    WORD wWeight = 0;
    BYTE bItalic = 0;
    std::string face;
    std::vector<Control> controls;
};

int ControlId(DWORD dw) { return dw == 0xFFFF || dw == 0xFFFFFFFF ? -1 : (int)dw; }

// Parses a DLGTEMPLATEEX or a DLGTEMPLATE; false if the data runs short.
bool ParseDialog(const Blob& blob, Dialog& d)
{
    Reader r(blob);
    d.bExtended = blob.n >= 4 && r.Word() == 1 && r.Word() == 0xFFFF;
    WORD nItems;
    if (d.bExtended) {
        d.wVersion = 1;
        d.dwHelpId = r.DWord();
        d.dwExStyle = r.DWord();
        d.dwStyle = r.DWord();
    } else {
        r.Seek(0);
        d.dwStyle = r.DWord();
        d.dwExStyle = r.DWord();
    }
    nItems = r.Word();
    d.x = r.Short();
    d.y = r.Short();
    d.cx = r.Short();
    d.cy = r.Short();
    d.menu = ReadNameOrOrd(r);
    d.cls = ReadNameOrOrd(r);
    d.caption = r.WString();
    if (d.dwStyle & DS_SETFONT) {
        d.wPointSize = r.Word();
        if (d.bExtended) {
            d.wWeight = r.Word();
            d.bItalic = r.Byte();
            r.Byte();  // character set
        }
        d.face = r.WString();
    }
    for (WORD i = 0; i < nItems && r.Ok(); i++) {
        Control c;
        r.Align4();
        if (d.bExtended) {
            c.dwHelpId = r.DWord();
            c.dwExStyle = r.DWord();
            c.dwStyle = r.DWord();
        } else {
            c.dwStyle = r.DWord();
            c.dwExStyle = r.DWord();
        }
        c.x = r.Short();
        c.y = r.Short();
        c.cx = r.Short();
        c.cy = r.Short();
        c.nId = ControlId(d.bExtended ? r.DWord() : r.Word());
        c.cls = ReadNameOrOrd(r);
        c.title = ReadNameOrOrd(r);
        c.wExtra = r.Word();
        r.Skip(c.wExtra);
        d.controls.push_back(c);
    }
    return r.Ok();
}

// ---------------------------------------------------------------------------
// Enumerating what the module carries.

std::string NameKey(LPCSTR pszName)
{
    return IS_INTRESOURCE(pszName) ? std::to_string((WORD)(ULONG_PTR)pszName) : "\"" + std::string(pszName) + "\"";
}

BOOL CALLBACK AddType(HMODULE, LPSTR pszType, LONG_PTR lParam)
{
    reinterpret_cast<std::set<std::string>*>(lParam)->insert(NameKey(pszType));
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR pszName, LONG_PTR lParam)
{
    reinterpret_cast<std::set<std::string>*>(lParam)->insert(NameKey(pszName));
    return TRUE;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD wLang, LONG_PTR lParam)
{
    reinterpret_cast<std::set<WORD>*>(lParam)->insert(wLang);
    return TRUE;
}

std::set<std::string> TypesOf(HMODULE hMod)
{
    std::set<std::string> types;
    EnumResourceTypesA(hMod, AddType, (LONG_PTR)&types);
    return types;
}

std::set<std::string> NamesOf(HMODULE hMod, LPCSTR pszType)
{
    std::set<std::string> names;
    EnumResourceNamesA(hMod, pszType, AddName, (LONG_PTR)&names);
    return names;
}

std::set<WORD> LanguagesOf(HMODULE hMod, LPCSTR pszType, WORD wId)
{
    std::set<WORD> langs;
    EnumResourceLanguagesA(hMod, pszType, MAKEINTRESOURCEA(wId), AddLanguage, (LONG_PTR)&langs);
    return langs;
}

template <class T>
std::string Join(const T& items)
{
    std::string s;
    for (const auto& item : items)
        s += (s.empty() ? "" : ", ") + item;
    return "{" + s + "}";
}

std::string JoinLanguages(const std::set<WORD>& langs)
{
    std::vector<std::string> v;
    for (WORD w : langs)
        v.push_back(Hex(w));
    return Join(v);
}

// ---------------------------------------------------------------------------
// The dialog templates.

struct ControlSpec {
    int nId;
    const char* pszClass;
    const char* pszText;  // null: the title is the ordinal wIcon
    WORD wIcon;
    DWORD dwStyle;  // beyond WS_CHILD | WS_VISIBLE
    DWORD dwExStyle;
    short x, y, cx, cy;
};

struct DialogSpec {
    WORD wId;
    const char* pszCaption;
    short x, y, cx, cy;
    DWORD dwStyle;
    DWORD dwExStyle;
    std::vector<ControlSpec> controls;
};

const DialogSpec kDialogs[] = {
    { 149, "Varnet", 0, 0, 288, 297,
      DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU, WS_EX_APPWINDOW,
      {
          { 2, "Button", "Cancel", 0, BS_PUSHBUTTON | WS_TABSTOP, 0, 8, 270, 90, 14 },
          { 1, "Button", "OK", 0, BS_PUSHBUTTON | WS_TABSTOP, 0, 8, 246, 90, 14 },
          { 1005, "ComboBoxEx32", "", 0, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP, 0, 8, 46, 92, 104 },
          { 1003, "SysTreeView32", "Tree1", 0,
            TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS | TVS_SINGLEEXPAND | WS_BORDER | WS_TABSTOP,
            0, 106, 40, 172, 244 },
          { 1007, "Edit", "", 0, ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, WS_EX_STATICEDGE, 8, 16, 270, 12 },
          { 1008, "Button", "Expand Recursive", 0,
            BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE | WS_TABSTOP, 0, 8, 222, 90, 14 },
          { -1, "Static", "Selected Folder", 0, SS_LEFT | WS_GROUP, 0, 8, 4, 80, 10 },
          { 1015, "Static", nullptr, 135, SS_ICON | SS_NOTIFY, WS_EX_DLGMODALFRAME, 69, 188, 20, 20 },
          { 1016, "Edit", "", 0, ES_MULTILINE | ES_READONLY | WS_TABSTOP, WS_EX_STATICEDGE, 6, 115, 94, 35 },
          { -1, "Static", "Error Message", 0, SS_LEFT | WS_GROUP, 0, 7, 104, 80, 10 },
          { 1017, "Static", nullptr, 147, SS_ICON | SS_NOTIFY, WS_EX_DLGMODALFRAME, 10, 188, 20, 20 },
          { -1, "Static", "Select Drive", 0, SS_LEFT | WS_GROUP, 0, 8, 35, 50, 10 },
          { -1, "Static", "Single click expand", 0, SS_LEFT | WS_GROUP, 0, 106, 30, 98, 10 },
      } },
    { 148, "File Deletion Request", 0, 0, 230, 111, DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION, 0,
      {
          { 4, "Button", "No", 0, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 8, 69, 45, 14 },
          { 1017, "Button", "Yes", 0, BS_PUSHBUTTON | WS_TABSTOP, 0, 62, 69, 45, 14 },
          { 3, "Button", "Yes to All", 0, BS_PUSHBUTTON | WS_TABSTOP, 0, 116, 69, 45, 14 },
          { 2, "Button", "Abort Deletion", 0, BS_PUSHBUTTON | WS_TABSTOP, 0, 161, 90, 60, 14 },
          { 1018, "Edit", "", 0, ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, WS_EX_STATICEDGE, 8, 21, 214, 14 },
          { -1, "Static", "Delete File ?", 0, SS_LEFT | WS_GROUP, 0, 8, 44, 64, 10 },
          { 1019, "Edit", "", 0, ES_READONLY | WS_TABSTOP, 0, 8, 7, 214, 12 },
          { -1, "Static", "For all files to be found", 0, SS_LEFT | WS_GROUP, 0, 116, 58, 85, 10 },
      } },
    { 151, "Progress and Kill Dialog", 0, 0, 198, 74,
      DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
      {
          { 1009, "Button", "Kill Running Process or Thread", 0, BS_PUSHBUTTON | WS_TABSTOP, 0, 48, 52, 108, 14 },
          { 1010, "msctls_progress32", "", 0, WS_BORDER, 0, 9, 17, 180, 8 },
          { 1011, "Edit", "", 0, ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, WS_EX_STATICEDGE, 9, 32, 179, 12 },
      } },
};

const char kFontFace[] = "MS Sans Serif";
const WORD kFontPoints = 8;

void CheckControl(const ControlSpec& want, const Control& got, WORD wLang, const std::string& ctx)
{
    EXPECT_EQ(want.nId, got.nId) << ctx;
    std::string wantClass = want.pszClass;
    for (char& c : wantClass)
        c = (char)tolower((unsigned char)c);
    EXPECT_EQ(wantClass, ClassIdentity(got.cls)) << ctx << ": class " << got.cls.Describe();
    if (want.pszText) {
        EXPECT_FALSE(got.title.bOrdinal) << ctx << ": title " << got.title.Describe();
        EXPECT_EQ(want.pszText, got.title.text) << ctx;
    } else {
        EXPECT_TRUE(got.title.bOrdinal) << ctx << ": title " << got.title.Describe();
        EXPECT_EQ(want.wIcon, got.title.wOrdinal) << ctx;
        // The icon a static names must be in the module under the same tag.
        EXPECT_NE(nullptr, FindResourceExA(Varnet(), (LPCSTR)RT_GROUP_ICON, MAKEINTRESOURCEA(got.title.wOrdinal), wLang))
            << ctx << ": icon " << got.title.wOrdinal << " is missing";
    }
    EXPECT_EQ(Hex(WS_CHILD | WS_VISIBLE | want.dwStyle), Hex(got.dwStyle)) << ctx << ": style";
    EXPECT_EQ(Hex(want.dwExStyle), Hex(got.dwExStyle)) << ctx << ": extended style";
    EXPECT_EQ(want.x, got.x) << ctx << ": x";
    EXPECT_EQ(want.y, got.y) << ctx << ": y";
    EXPECT_EQ(want.cx, got.cx) << ctx << ": width";
    EXPECT_EQ(want.cy, got.cy) << ctx << ": height";
    EXPECT_EQ(0u, got.dwHelpId) << ctx << ": help id";
    EXPECT_EQ(0, got.wExtra) << ctx << ": creation data";
}

// Each template, under each language tag, field by field and control by
// control in tab order.
TEST(Resources, DialogTemplatesMatchUnderBothLanguages)
{
    ASSERT_NE(nullptr, Varnet());
    for (const DialogSpec& want : kDialogs) {
        for (WORD wLang : kLanguages) {
            std::string ctx = "dialog " + std::to_string(want.wId) + ", " + LangContext(wLang);
            Blob blob = Resource(Varnet(), (LPCSTR)RT_DIALOG, want.wId, wLang);
            ASSERT_NE(nullptr, blob.p) << ctx << ": not found";
            Dialog got;
            ASSERT_TRUE(ParseDialog(blob, got)) << ctx << ": template runs past its " << blob.n << " bytes";

            if (got.bExtended) {
                EXPECT_EQ(0u, got.dwHelpId) << ctx << ": help id";
            }
            EXPECT_EQ(want.pszCaption, got.caption) << ctx << ": caption";
            EXPECT_EQ(want.x, got.x) << ctx << ": x";
            EXPECT_EQ(want.y, got.y) << ctx << ": y";
            EXPECT_EQ(want.cx, got.cx) << ctx << ": width";
            EXPECT_EQ(want.cy, got.cy) << ctx << ": height";
            EXPECT_EQ(Hex(want.dwStyle), Hex(got.dwStyle)) << ctx << ": style";
            EXPECT_EQ(Hex(want.dwExStyle), Hex(got.dwExStyle)) << ctx << ": extended style";
            EXPECT_TRUE(got.menu.Empty()) << ctx << ": menu " << got.menu.Describe();
            EXPECT_TRUE(got.cls.Empty()) << ctx << ": window class " << got.cls.Describe();
            EXPECT_EQ(kFontFace, got.face) << ctx << ": font";
            EXPECT_EQ(kFontPoints, got.wPointSize) << ctx << ": font size";
            EXPECT_TRUE(got.wWeight == 0 || got.wWeight == FW_NORMAL) << ctx << ": font weight " << got.wWeight;
            EXPECT_EQ(0, got.bItalic) << ctx << ": italic font";

            ASSERT_EQ(want.controls.size(), got.controls.size()) << ctx << ": number of controls";
            for (size_t i = 0; i < want.controls.size(); i++) {
                std::string ctxControl = ctx + ", control " + std::to_string(i) + " (id " +
                                         std::to_string(want.controls[i].nId) + ")";
                CheckControl(want.controls[i], got.controls[i], wLang, ctxControl);
            }
        }
    }
}

// The progress dialog has no OK or Cancel control: Escape and Enter do not
// end it, only the kill button does.
TEST(Resources, ProgressDialogHasNoOkOrCancel)
{
    for (WORD wLang : kLanguages) {
        Dialog got;
        ASSERT_TRUE(ParseDialog(Resource(Varnet(), (LPCSTR)RT_DIALOG, 151, wLang), got)) << LangContext(wLang);
        for (const Control& c : got.controls) {
            EXPECT_NE(IDOK, c.nId) << LangContext(wLang);
            EXPECT_NE(IDCANCEL, c.nId) << LangContext(wLang);
        }
    }
}

// ---------------------------------------------------------------------------
// Icons.

struct IconSpec {
    WORD wId;
    int nSize;
};

const IconSpec kIcons[] = {
    { 128, 32 }, { 129, 16 }, { 130, 16 }, { 131, 16 }, { 132, 16 },
    { 135, 32 }, { 136, 32 }, { 138, 32 }, { 147, 32 },
};

struct IconImage {
    BYTE bWidth = 0, bHeight = 0, bColorCount = 0;
    WORD wPlanes = 0, wBitCount = 0;
    DWORD dwBytesInRes = 0;
    WORD nId = 0;
};

// The images of a group icon, from its GRPICONDIR.
bool ParseGroup(const Blob& blob, std::vector<IconImage>& images)
{
    Reader r(blob);
    WORD wReserved = r.Word(), wType = r.Word(), nCount = r.Word();
    if (wReserved != 0 || wType != 1)
        return false;
    for (WORD i = 0; i < nCount && r.Ok(); i++) {
        IconImage img;
        img.bWidth = r.Byte();
        img.bHeight = r.Byte();
        img.bColorCount = r.Byte();
        r.Byte();
        img.wPlanes = r.Word();
        img.wBitCount = r.Word();
        img.dwBytesInRes = r.DWord();
        img.nId = r.Word();
        images.push_back(img);
    }
    return r.Ok();
}

DWORD DibRowBytes(int nBits) { return (DWORD)(nBits + 31) / 32 * 4; }

// Each group icon, under each tag: one image of its size in 16 colours,
// with an RT_ICON image Windows can make an icon of.
TEST(Resources, IconsAreOneSixteenColourImageOfTheirSize)
{
    ASSERT_NE(nullptr, Varnet());
    for (const IconSpec& want : kIcons) {
        for (WORD wLang : kLanguages) {
            std::string ctx = "icon " + std::to_string(want.wId) + ", " + LangContext(wLang);
            Blob group = Resource(Varnet(), (LPCSTR)RT_GROUP_ICON, want.wId, wLang);
            ASSERT_NE(nullptr, group.p) << ctx << ": not found";
            std::vector<IconImage> images;
            ASSERT_TRUE(ParseGroup(group, images)) << ctx << ": bad group directory";
            ASSERT_EQ(1u, images.size()) << ctx << ": number of images";
            const IconImage& img = images[0];
            EXPECT_EQ(want.nSize, img.bWidth) << ctx << ": width";
            EXPECT_EQ(want.nSize, img.bHeight) << ctx << ": height";
            EXPECT_EQ(16, img.bColorCount) << ctx << ": colours";
            EXPECT_EQ(1, img.wPlanes) << ctx << ": planes";
            EXPECT_EQ(4, img.wBitCount) << ctx << ": bits per pixel";

            std::string ctxImage = ctx + ", image " + std::to_string(img.nId);
            std::set<WORD> imageLangs = LanguagesOf(Varnet(), (LPCSTR)RT_ICON, img.nId);
            EXPECT_EQ(std::set<WORD>{ wLang }, imageLangs) << ctxImage << ": languages " << JoinLanguages(imageLangs);
            Blob bits = Resource(Varnet(), (LPCSTR)RT_ICON, img.nId, wLang);
            ASSERT_NE(nullptr, bits.p) << ctxImage << ": not found";
            EXPECT_EQ(img.dwBytesInRes, bits.n) << ctxImage << ": size against the group entry";

            Reader r(bits);
            DWORD biSize = r.DWord();
            LONG biWidth = (LONG)r.DWord(), biHeight = (LONG)r.DWord();
            WORD biPlanes = r.Word(), biBitCount = r.Word();
            DWORD biCompression = r.DWord();
            ASSERT_TRUE(r.Ok()) << ctxImage << ": shorter than its header";
            EXPECT_EQ(sizeof(BITMAPINFOHEADER), biSize) << ctxImage;
            EXPECT_EQ(want.nSize, biWidth) << ctxImage << ": bitmap width";
            EXPECT_EQ(2 * want.nSize, biHeight) << ctxImage << ": bitmap height (image and mask)";
            EXPECT_EQ(1, biPlanes) << ctxImage << ": bitmap planes";
            EXPECT_EQ(4, biBitCount) << ctxImage << ": bitmap bits per pixel";
            EXPECT_EQ((DWORD)BI_RGB, biCompression) << ctxImage << ": compression";
            // Header, 16 palette entries, 4-bit colour rows, 1-bit mask rows.
            DWORD nExpected = sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD) +
                              (DibRowBytes(4 * want.nSize) + DibRowBytes(want.nSize)) * want.nSize;
            EXPECT_EQ(nExpected, bits.n) << ctxImage << ": image size";

            HICON hIcon = CreateIconFromResourceEx(const_cast<BYTE*>(bits.p), bits.n, TRUE, 0x00030000,
                                                   want.nSize, want.nSize, LR_DEFAULTCOLOR);
            ASSERT_NE(nullptr, hIcon) << ctxImage << ": not an icon image";
            ICONINFO info = {};
            ASSERT_TRUE(GetIconInfo(hIcon, &info)) << ctxImage;
            BITMAP bm = {};
            GetObjectA(info.hbmMask, sizeof bm, &bm);
            EXPECT_EQ(want.nSize, bm.bmWidth) << ctxImage << ": icon made of it";
            if (info.hbmColor)
                DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DestroyIcon(hIcon);
        }
    }
}

// Both tags carry the same pictures.
TEST(Resources, IconImagesAreTheSameUnderBothLanguages)
{
    for (const IconSpec& icon : kIcons) {
        std::string ctx = "icon " + std::to_string(icon.wId);
        std::vector<std::vector<BYTE>> pictures;
        for (WORD wLang : kLanguages) {
            std::vector<IconImage> images;
            ASSERT_TRUE(ParseGroup(Resource(Varnet(), (LPCSTR)RT_GROUP_ICON, icon.wId, wLang), images))
                << ctx << ", " << LangContext(wLang);
            ASSERT_EQ(1u, images.size()) << ctx << ", " << LangContext(wLang);
            Blob bits = Resource(Varnet(), (LPCSTR)RT_ICON, images[0].nId, wLang);
            ASSERT_NE(nullptr, bits.p) << ctx << ", " << LangContext(wLang);
            pictures.emplace_back(bits.p, bits.p + bits.n);
        }
        EXPECT_TRUE(pictures[0] == pictures[1]) << ctx << ": the images differ";
    }
}

// ---------------------------------------------------------------------------
// Nothing beyond the tables: the resource types, the ids of each type and
// the language tags of each id.

TEST(Resources, ModuleCarriesNothingElse)
{
    ASSERT_NE(nullptr, Varnet());
    EXPECT_EQ((std::set<std::string>{ NameKey(RT_ICON), NameKey(RT_DIALOG), NameKey(RT_GROUP_ICON), NameKey(RT_VERSION) }),
              TypesOf(Varnet()))
        << "resource types " << Join(TypesOf(Varnet()));

    std::set<std::string> dialogIds, iconIds;
    for (const DialogSpec& d : kDialogs)
        dialogIds.insert(std::to_string(d.wId));
    for (const IconSpec& i : kIcons)
        iconIds.insert(std::to_string(i.wId));

    // The RT_ICON images are exactly those the group icons name.
    std::set<std::string> imageIds;
    for (const IconSpec& icon : kIcons) {
        for (WORD wLang : kLanguages) {
            std::vector<IconImage> images;
            ParseGroup(Resource(Varnet(), (LPCSTR)RT_GROUP_ICON, icon.wId, wLang), images);
            for (const IconImage& img : images)
                imageIds.insert(std::to_string(img.nId));
        }
    }

    struct Case {
        const char* pszContext;
        LPCSTR pszType;
        std::set<std::string> ids;
        std::set<WORD> langs;  // of every id
    } cases[] = {
        { "dialogs", (LPCSTR)RT_DIALOG, dialogIds, { kGerman, kSwissGerman } },
        { "group icons", (LPCSTR)RT_GROUP_ICON, iconIds, { kGerman, kSwissGerman } },
        { "version", (LPCSTR)RT_VERSION, { "1" }, { kGerman } },
        { "icon images", (LPCSTR)RT_ICON, imageIds, {} },  // languages checked with their groups
    };
    for (const Case& c : cases) {
        std::set<std::string> got = NamesOf(Varnet(), c.pszType);
        EXPECT_EQ(c.ids, got) << c.pszContext << ": ids " << Join(got);
        if (c.langs.empty())
            continue;
        for (const std::string& id : got) {
            if (id[0] == '"')
                continue;  // a named resource: already a failure above
            std::set<WORD> langs = LanguagesOf(Varnet(), c.pszType, (WORD)std::stoi(id));
            EXPECT_EQ(c.langs, langs) << c.pszContext << ", id " << id << ": languages " << JoinLanguages(langs);
        }
    }
}

// ---------------------------------------------------------------------------
// The version block, as a reader of the file sees it.

// The module's version block, read from its file. The bare file name is
// found where the loader found the module, beside this program.
std::vector<BYTE> FileVersionInfo()
{
    DWORD dwHandle = 0;
    DWORD nSize = GetFileVersionInfoSizeA("Varnet.dll", &dwHandle);
    std::vector<BYTE> block(nSize);
    if (nSize && !GetFileVersionInfoA("Varnet.dll", 0, nSize, block.data()))
        block.clear();
    return block;
}

TEST(Resources, FixedVersionInfo)
{
    std::vector<BYTE> block = FileVersionInfo();
    ASSERT_FALSE(block.empty()) << "no version block in Varnet.dll";

    VS_FIXEDFILEINFO* pInfo = nullptr;
    UINT nLen = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", (void**)&pInfo, &nLen));
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), nLen);

    struct Field {
        const char* pszName;
        DWORD dwWant;
        DWORD dwGot;
    } fields[] = {
        { "signature", 0xFEEF04BD, pInfo->dwSignature },
        { "file version, high", MAKELONG(0, 1), pInfo->dwFileVersionMS },
        { "file version, low", MAKELONG(1, 0), pInfo->dwFileVersionLS },
        { "product version, high", MAKELONG(0, 1), pInfo->dwProductVersionMS },
        { "product version, low", MAKELONG(1, 0), pInfo->dwProductVersionLS },
        { "flags mask", 0x3F, pInfo->dwFileFlagsMask },
        { "flags", 0, pInfo->dwFileFlags },
        { "operating system", VOS__WINDOWS32, pInfo->dwFileOS },
        { "file type", VFT_DLL, pInfo->dwFileType },
        { "file subtype", 0, pInfo->dwFileSubtype },
    };
    for (const Field& f : fields)
        EXPECT_EQ(Hex(f.dwWant), Hex(f.dwGot)) << f.pszName;
}

const std::map<std::string, std::string> kVersionStrings = {
    { "CompanyName", "" },
    { "FileDescription", "Varnet DLL" },
    { "FileVersion", "1, 0, 0, 1" },
    { "InternalName", "Varnet" },
    { "LegalTrademarks", "" },
    { "OriginalFilename", "Varnet.DLL" },
    { "ProductName", "Varnet Dynamic Link Library" },
    { "ProductVersion", "1, 0, 0, 1" },
};

TEST(Resources, VersionStringsAndTranslation)
{
    std::vector<BYTE> block = FileVersionInfo();
    ASSERT_FALSE(block.empty()) << "no version block in Varnet.dll";

    for (const auto& entry : kVersionStrings) {
        std::string query = "\\StringFileInfo\\040704B0\\" + entry.first;
        char* pszValue = nullptr;
        UINT nLen = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), (void**)&pszValue, &nLen)) << query;
        std::string value = pszValue && nLen ? std::string(pszValue, strnlen(pszValue, nLen)) : "";
        EXPECT_EQ(entry.second, value) << query;
    }

    WORD* pTranslation = nullptr;
    UINT nLen = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", (void**)&pTranslation, &nLen));
    ASSERT_EQ(4u, nLen) << "one translation";
    EXPECT_EQ(Hex(kGerman), Hex(pTranslation[0])) << "translation language";
    EXPECT_EQ(1200, pTranslation[1]) << "translation code page";
}

// A node of the VS_VERSIONINFO tree; wType 1 marks text values.
struct VersionNode {
    std::string key;
    std::string text;
    std::vector<VersionNode> children;
};

bool ParseVersionNode(const BYTE* p, DWORD n, VersionNode& node)
{
    Reader r(p, n);
    WORD wLength = r.Word(), wValueLength = r.Word(), wType = r.Word();
    if (!r.Ok() || wLength < 6 || wLength > n)
        return false;
    // A node's length leaves out the padding after its last byte, so the
    // next node starts at the following 4-byte boundary, if any is left.
    Reader body(p, wLength);
    auto nextBoundary = [&] { return (body.Pos() + 3) & ~3u; };
    body.Skip(6);
    node.key = body.WString();
    body.Seek(std::min<DWORD>(nextBoundary(), wLength));
    DWORD nValueStart = body.Pos();
    if (wType == 1) {  // text: the length counts characters, terminator included
        node.text = body.WString();
        body.Seek(nValueStart + 2 * wValueLength);
    } else {
        body.Skip(wValueLength);
    }
    while (body.Ok() && nextBoundary() < wLength) {
        body.Seek(nextBoundary());
        VersionNode child;
        if (!ParseVersionNode(p + body.Pos(), wLength - body.Pos(), child))
            return false;
        Reader len(p + body.Pos(), 2);
        body.Skip(len.Word());
        node.children.push_back(child);
    }
    return body.Ok();
}

// The string table holds exactly these keys, the empty ones included, and
// it is the only one.
TEST(Resources, VersionBlockHoldsOneStringTableWithExactlyTheseKeys)
{
    Blob blob = Resource(Varnet(), (LPCSTR)RT_VERSION, 1, kGerman);
    ASSERT_NE(nullptr, blob.p);
    VersionNode root;
    ASSERT_TRUE(ParseVersionNode(blob.p, blob.n, root)) << "malformed version block";
    EXPECT_EQ("VS_VERSION_INFO", root.key);

    std::vector<std::string> topKeys;
    const VersionNode* pStrings = nullptr;
    for (const VersionNode& child : root.children) {
        topKeys.push_back(child.key);
        if (child.key == "StringFileInfo")
            pStrings = &child;
    }
    EXPECT_EQ((std::vector<std::string>{ "StringFileInfo", "VarFileInfo" }), topKeys) << Join(topKeys);
    ASSERT_NE(nullptr, pStrings);
    ASSERT_EQ(1u, pStrings->children.size()) << "string tables";
    const VersionNode& table = pStrings->children[0];
    EXPECT_EQ("040704B0", table.key);

    std::map<std::string, std::string> got;
    for (const VersionNode& value : table.children) {
        EXPECT_EQ(0u, got.count(value.key)) << value.key << " twice";
        got[value.key] = value.text;
    }
    EXPECT_EQ(kVersionStrings, got);
}

// ---------------------------------------------------------------------------
// The module itself.

TEST(Resources, ModuleFileIsNamedVarnetDll)
{
    HMODULE hMod = Varnet();
    ASSERT_NE(nullptr, hMod);
    // The export this program links against lives in that module.
    HMODULE hOwner = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCSTR>(g_pfnExport), &hOwner));
    EXPECT_EQ(hMod, hOwner);

    char szPath[MAX_PATH] = "";
    ASSERT_NE(0u, GetModuleFileNameA(hMod, szPath, sizeof szPath));
    std::string path = szPath;
    size_t nSlash = path.find_last_of('\\');
    ASSERT_NE(std::string::npos, nSlash) << path;
    EXPECT_EQ(0, lstrcmpiA("Varnet.dll", path.substr(nSlash + 1).c_str())) << path;
    // The test prefix maps no drive onto the build tree: Wine then names the
    // module by its Unix path, unix\tmp\..., which the file functions reach
    // as \\?\unix\tmp\....
    std::string dir = path.substr(0, nSlash);
    if (dir.compare(0, 5, "unix\\") == 0)
        dir = "\\\\?\\" + dir;

    // The name on disk, with its case.
    std::vector<std::string> onDisk;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA((dir + "\\*").c_str(), &fd);
    ASSERT_NE(INVALID_HANDLE_VALUE, hFind) << dir;
    do {
        if (lstrcmpiA(fd.cFileName, "Varnet.dll") == 0)
            onDisk.push_back(fd.cFileName);
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
    EXPECT_EQ(std::vector<std::string>{ "Varnet.dll" }, onDisk) << dir;

    // The name the module gives itself in its export directory.
    const BYTE* pBase = reinterpret_cast<const BYTE*>(hMod);
    const IMAGE_DOS_HEADER* pDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(pBase);
    // The headers of this build's architecture (PE32 for x86, PE32+ for x86-64).
    const IMAGE_NT_HEADERS* pNt = reinterpret_cast<const IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
    ASSERT_EQ(IMAGE_NT_OPTIONAL_HDR_MAGIC, pNt->OptionalHeader.Magic);
    const IMAGE_DATA_DIRECTORY& dirExport = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ASSERT_NE(0u, dirExport.VirtualAddress);
    const IMAGE_EXPORT_DIRECTORY* pExports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(pBase + dirExport.VirtualAddress);
    EXPECT_STREQ("Varnet.dll", reinterpret_cast<const char*>(pBase + pExports->Name));
}

}  // namespace
