// The resources of Varnet.dll, read back from the built module: dialog
// templates (as the dialogs the system builds of them) and icons under both
// language tags, nothing beyond them, the version block and the file name.
// The expected values are written out here as tables, independently of
// res/*.rc.
#include <FolderTreeDlg.h>
#include <resource.h>
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
// The raw resource data.

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

// A little-endian field at nOffset; zero past the end.
DWORD Field(const Blob& blob, DWORD nOffset, DWORD nBytes)
{
    DWORD v = 0;
    for (DWORD i = 0; i < nBytes && nOffset + i < blob.n; i++)
        v |= (DWORD)blob.p[nOffset + i] << (8 * i);
    return v;
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
const int kFontPoints = 8;

// A dialog built of a template of the module, hidden, with a dialog
// procedure that does nothing: its window, the style words of the template
// (the window's own carry what the system adds), and what the dialog manager
// asked of each control at its creation, in template order (a control may
// change its style and size afterwards: an icon static takes its icon's).
struct Created {
    HWND hWnd;
    CREATESTRUCTA cs;
};

struct LiveDialog {
    HWND hDlg = NULL;
    DWORD dwStyle = 0, dwExStyle = 0;
    std::vector<Created> controls;
    ~LiveDialog()
    {
        if (hDlg)
            DestroyWindow(hDlg);
    }
};

HHOOK g_hCbt;
std::vector<Created>* g_pCreated;

LRESULT CALLBACK RecordCreation(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND)
        g_pCreated->push_back({ (HWND)wParam, *reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs });
    return CallNextHookEx(g_hCbt, nCode, wParam, lParam);
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

bool CreateLive(WORD wId, WORD wLang, LiveDialog& live)
{
    Blob blob = Resource(Varnet(), (LPCSTR)RT_DIALOG, wId, wLang);
    if (blob.n < 8)
        return false;
    // The header of a DLGTEMPLATEEX (version 1, signature 0xFFFF) or a DLGTEMPLATE.
    bool bExtended = Field(blob, 0, 2) == 1 && Field(blob, 2, 2) == 0xFFFF;
    DWORD nStyleAt = bExtended ? 12 : 0, nExStyleAt = bExtended ? 8 : 4;
    live.dwStyle = Field(blob, nStyleAt, 4);
    live.dwExStyle = Field(blob, nExStyleAt, 4);
    std::vector<BYTE> hidden(blob.p, blob.p + blob.n);
    DWORD dwHidden = live.dwStyle & ~WS_VISIBLE;
    memcpy(&hidden[nStyleAt], &dwHidden, sizeof dwHidden);

    std::vector<Created> created;
    g_pCreated = &created;
    g_hCbt = SetWindowsHookExA(WH_CBT, RecordCreation, NULL, GetCurrentThreadId());
    live.hDlg = CreateDialogIndirectParamA(Varnet(), (const DLGTEMPLATE*)hidden.data(), NULL, NoDialogProc, 0);
    UnhookWindowsHookEx(g_hCbt);
    for (const Created& c : created)
        if (live.hDlg && GetAncestor(c.hWnd, GA_PARENT) == live.hDlg)
            live.controls.push_back(c);
    return live.hDlg != NULL;
}

std::string WindowText(HWND hWnd)
{
    char sz[256] = "";
    GetWindowTextA(hWnd, sz, sizeof sz);
    return sz;
}

std::string ClassOf(HWND hWnd)
{
    char sz[64] = "";
    GetClassNameA(hWnd, sz, sizeof sz);
    for (char* p = sz; *p; p++)
        *p = (char)tolower((unsigned char)*p);
    return sz;
}

// The position and size x, y, cx, cy in dialog units, each in the
// dialog's pixels, as the dialog manager converts them.
std::string Pixels(HWND hDlg, int x, int y, int cx, int cy)
{
    RECT rc = { x, y, cx, cy };
    if (hDlg)
        MapDialogRect(hDlg, &rc);
    char sz[64];
    sprintf(sz, "(%ld, %ld) %ld x %ld", rc.left, rc.top, rc.right, rc.bottom);
    return sz;
}

void CheckControl(const ControlSpec& want, const Created& got, HWND hDlg, WORD wLang, const std::string& ctx)
{
    int nId = GetDlgCtrlID(got.hWnd);
    EXPECT_EQ(want.nId, nId == 0xFFFF ? -1 : nId) << ctx;
    std::string wantClass = want.pszClass;
    for (char& c : wantClass)
        c = (char)tolower((unsigned char)c);
    EXPECT_EQ(wantClass, ClassOf(got.hWnd)) << ctx << ": class";
    if (want.pszText) {
        EXPECT_EQ(want.pszText, WindowText(got.hWnd)) << ctx;
    } else {
        // The icon named by its ordinal, which must be in the module under the same tag.
        HANDLE hIcon = LoadImageA(Varnet(), MAKEINTRESOURCEA(want.wIcon), IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE);
        EXPECT_NE(nullptr, hIcon) << ctx;
        EXPECT_EQ((LRESULT)hIcon, SendMessageA(got.hWnd, STM_GETICON, 0, 0)) << ctx << ": icon";
        EXPECT_NE(nullptr, FindResourceExA(Varnet(), (LPCSTR)RT_GROUP_ICON, MAKEINTRESOURCEA(want.wIcon), wLang))
            << ctx << ": icon " << want.wIcon << " is missing";
    }
    // The dialog manager gives every control WS_EX_NOPARENTNOTIFY and turns
    // a WS_BORDER into a client edge; CreateWindowEx gives a modal frame a
    // window edge.
    DWORD dwStyle = WS_CHILD | WS_VISIBLE | want.dwStyle, dwExStyle = want.dwExStyle | WS_EX_NOPARENTNOTIFY;
    if (dwStyle & WS_BORDER) {
        dwStyle &= ~WS_BORDER;
        dwExStyle |= WS_EX_CLIENTEDGE;
    }
    if (dwExStyle & WS_EX_DLGMODALFRAME)
        dwExStyle |= WS_EX_WINDOWEDGE;
    EXPECT_EQ(Hex(dwStyle), Hex((DWORD)got.cs.style)) << ctx << ": style";
    EXPECT_EQ(Hex(dwExStyle), Hex(got.cs.dwExStyle)) << ctx << ": extended style";
    EXPECT_EQ(Pixels(hDlg, want.x, want.y, want.cx, want.cy), Pixels(NULL, got.cs.x, got.cs.y, got.cs.cx, got.cs.cy))
        << ctx << ": rectangle";
    EXPECT_EQ(0u, GetWindowContextHelpId(got.hWnd)) << ctx << ": help id";
    EXPECT_EQ(nullptr, got.cs.lpCreateParams) << ctx << ": creation data";
}

// Each template, under each language tag, as the dialog built of it: the
// dialog's own fields, then control by control in tab order.
TEST(Resources, DialogTemplatesMatchUnderBothLanguages)
{
    ASSERT_NE(nullptr, Varnet());
    for (const DialogSpec& want : kDialogs) {
        for (WORD wLang : kLanguages) {
            std::string ctx = "dialog " + std::to_string(want.wId) + ", " + LangContext(wLang);
            LiveDialog got;
            ASSERT_TRUE(CreateLive(want.wId, wLang, got)) << ctx << ": not found, or no dialog could be made of it";
            HWND hDlg = got.hDlg;
            EXPECT_EQ(want.pszCaption, WindowText(hDlg)) << ctx << ": caption";
            // The template's size is the client area's; a popup's position its window's.
            RECT rcWindow, rcClient;
            GetWindowRect(hDlg, &rcWindow);
            GetClientRect(hDlg, &rcClient);
            EXPECT_EQ(Pixels(hDlg, want.x, want.y, want.cx, want.cy),
                      Pixels(NULL, rcWindow.left, rcWindow.top, rcClient.right, rcClient.bottom))
                << ctx << ": position and size";
            EXPECT_EQ(Hex(want.dwStyle), Hex(got.dwStyle)) << ctx << ": style";
            EXPECT_EQ(Hex(want.dwExStyle), Hex(got.dwExStyle)) << ctx << ": extended style";
            EXPECT_EQ(0u, GetWindowContextHelpId(hDlg)) << ctx << ": help id";
            EXPECT_EQ(nullptr, GetMenu(hDlg)) << ctx << ": menu";
            EXPECT_EQ("#32770", ClassOf(hDlg)) << ctx << ": window class";
            LOGFONTA lf = {};
            ASSERT_NE(0, GetObjectA((HFONT)SendMessageA(hDlg, WM_GETFONT, 0, 0), sizeof lf, &lf)) << ctx << ": font";
            EXPECT_STREQ(kFontFace, lf.lfFaceName) << ctx << ": font";
            HDC hdc = GetDC(hDlg);
            EXPECT_EQ(-MulDiv(kFontPoints, GetDeviceCaps(hdc, LOGPIXELSY), 72), lf.lfHeight) << ctx << ": font size";
            ReleaseDC(hDlg, hdc);
            EXPECT_TRUE(lf.lfWeight == 0 || lf.lfWeight == FW_NORMAL) << ctx << ": font weight " << lf.lfWeight;
            EXPECT_EQ(0, lf.lfItalic) << ctx << ": italic font";

            ASSERT_EQ(want.controls.size(), got.controls.size()) << ctx << ": number of controls";
            for (size_t i = 0; i < want.controls.size(); i++) {
                std::string ctxControl = ctx + ", control " + std::to_string(i) + " (id " +
                                         std::to_string(want.controls[i].nId) + ")";
                CheckControl(want.controls[i], got.controls[i], hDlg, wLang, ctxControl);
            }
        }
    }
}

// The progress dialog has no OK or Cancel control: Escape and Enter do not
// end it, only the kill button does.
TEST(Resources, ProgressDialogHasNoOkOrCancel)
{
    for (WORD wLang : kLanguages) {
        LiveDialog got;
        ASSERT_TRUE(CreateLive(IDD_PROGRESS_KILL, wLang, got)) << LangContext(wLang);
        EXPECT_EQ(3u, got.controls.size()) << LangContext(wLang);
        EXPECT_EQ(nullptr, GetDlgItem(got.hDlg, IDOK)) << LangContext(wLang);
        EXPECT_EQ(nullptr, GetDlgItem(got.hDlg, IDCANCEL)) << LangContext(wLang);
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

// A group icon's directory (GRPICONDIR): its entries, packed to words.
#pragma pack(push, 2)
struct IconImage {
    BYTE bWidth, bHeight, bColorCount, bReserved;
    WORD wPlanes, wBitCount;
    DWORD dwBytesInRes;
    WORD nId;
};
#pragma pack(pop)

// The images of a group icon; false when it is no icon directory or runs short.
bool ParseGroup(const Blob& blob, std::vector<IconImage>& images)
{
    DWORD nCount = Field(blob, 4, 2);
    if (blob.n < 6 + nCount * sizeof(IconImage) || Field(blob, 0, 2) != 0 || Field(blob, 2, 2) != 1)
        return false;
    const IconImage* pFirst = reinterpret_cast<const IconImage*>(blob.p + 6);
    images.assign(pFirst, pFirst + nCount);
    return true;
}

DWORD DibRowBytes(int nBits) { return (DWORD)(nBits + 31) / 32 * 4; }

// The sizes of each icon's images: the drawn size (for 96 dots per inch),
// then 1.25, 1.5, 2 and 3 times it.
std::vector<int> ImageSizes(int nDrawn)
{
    return { nDrawn, nDrawn * 5 / 4, nDrawn * 3 / 2, nDrawn * 2, nDrawn * 3 };
}

// Each group icon, under each tag: an image in 16 colours of each size,
// each an RT_ICON image Windows can make an icon of.
TEST(Resources, IconsAreSixteenColourImagesOfEachScale)
{
    ASSERT_NE(nullptr, Varnet());
    for (const IconSpec& want : kIcons) {
        for (WORD wLang : kLanguages) {
            std::string ctx = "icon " + std::to_string(want.wId) + ", " + LangContext(wLang);
            Blob group = Resource(Varnet(), (LPCSTR)RT_GROUP_ICON, want.wId, wLang);
            ASSERT_NE(nullptr, group.p) << ctx << ": not found";
            std::vector<IconImage> images;
            ASSERT_TRUE(ParseGroup(group, images)) << ctx << ": bad group directory";
            std::vector<int> sizes = ImageSizes(want.nSize);
            ASSERT_EQ(sizes.size(), images.size()) << ctx << ": number of images";
            for (size_t i = 0; i < images.size(); i++) {
                const IconImage& img = images[i];
                int nSize = sizes[i];
                std::string ctxImage = ctx + ", image " + std::to_string(img.nId) + " (" + std::to_string(nSize) + ")";
                EXPECT_EQ(nSize, img.bWidth) << ctxImage << ": width";
                EXPECT_EQ(nSize, img.bHeight) << ctxImage << ": height";
                EXPECT_EQ(16, img.bColorCount) << ctxImage << ": colours";
                EXPECT_EQ(1, img.wPlanes) << ctxImage << ": planes";
                EXPECT_EQ(4, img.wBitCount) << ctxImage << ": bits per pixel";

                std::set<WORD> imageLangs = LanguagesOf(Varnet(), (LPCSTR)RT_ICON, img.nId);
                EXPECT_EQ(std::set<WORD>{ wLang }, imageLangs) << ctxImage << ": languages " << JoinLanguages(imageLangs);
                Blob bits = Resource(Varnet(), (LPCSTR)RT_ICON, img.nId, wLang);
                ASSERT_NE(nullptr, bits.p) << ctxImage << ": not found";
                EXPECT_EQ(img.dwBytesInRes, bits.n) << ctxImage << ": size against the group entry";

                BITMAPINFOHEADER bi;
                ASSERT_GE(bits.n, sizeof bi) << ctxImage << ": shorter than its header";
                memcpy(&bi, bits.p, sizeof bi);
                EXPECT_EQ(sizeof(BITMAPINFOHEADER), bi.biSize) << ctxImage;
                EXPECT_EQ(nSize, bi.biWidth) << ctxImage << ": bitmap width";
                EXPECT_EQ(2 * nSize, bi.biHeight) << ctxImage << ": bitmap height (image and mask)";
                EXPECT_EQ(1, bi.biPlanes) << ctxImage << ": bitmap planes";
                EXPECT_EQ(4, bi.biBitCount) << ctxImage << ": bitmap bits per pixel";
                EXPECT_EQ((DWORD)BI_RGB, bi.biCompression) << ctxImage << ": compression";
                // Header, 16 palette entries, 4-bit colour rows, 1-bit mask rows.
                DWORD nExpected = sizeof(BITMAPINFOHEADER) + 16 * sizeof(RGBQUAD) +
                                  (DibRowBytes(4 * nSize) + DibRowBytes(nSize)) * nSize;
                EXPECT_EQ(nExpected, bits.n) << ctxImage << ": image size";

                HICON hIcon = CreateIconFromResourceEx(const_cast<BYTE*>(bits.p), bits.n, TRUE, 0x00030000, nSize,
                                                       nSize, LR_DEFAULTCOLOR);
                ASSERT_NE(nullptr, hIcon) << ctxImage << ": not an icon image";
                ICONINFO info = {};
                ASSERT_TRUE(GetIconInfo(hIcon, &info)) << ctxImage;
                BITMAP bm = {};
                GetObjectA(info.hbmMask, sizeof bm, &bm);
                EXPECT_EQ(nSize, bm.bmWidth) << ctxImage << ": icon made of it";
                if (info.hbmColor)
                    DeleteObject(info.hbmColor);
                DeleteObject(info.hbmMask);
                DestroyIcon(hIcon);
            }
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
            ASSERT_EQ(ImageSizes(icon.nSize).size(), images.size()) << ctx << ", " << LangContext(wLang);
            pictures.emplace_back();
            for (const IconImage& img : images) {
                Blob bits = Resource(Varnet(), (LPCSTR)RT_ICON, img.nId, wLang);
                ASSERT_NE(nullptr, bits.p) << ctx << ", " << LangContext(wLang);
                pictures.back().insert(pictures.back().end(), bits.p, bits.p + bits.n);
            }
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

// A node of the VS_VERSIONINFO tree (wLength, wValueLength, wType, the key,
// the value, the children, each at a 4-byte boundary); wType 1 marks text
// values, whose length counts characters.
struct VersionNode {
    std::string key;
    std::string text;
    std::vector<VersionNode> children;
};

std::string Narrow(const WCHAR* pwsz, size_t nMax)
{
    std::string s;
    for (size_t i = 0; i < nMax && pwsz[i]; i++)
        s += (char)pwsz[i];  // the keys and values here are ASCII
    return s;
}

bool ParseVersionNode(const BYTE* p, DWORD n, VersionNode& node)
{
    Blob blob;
    blob.p = p;
    blob.n = n;
    DWORD nLength = Field(blob, 0, 2), nValueLength = Field(blob, 2, 2), nType = Field(blob, 4, 2);
    if (n < 6 || nLength < 6 || nLength > n)
        return false;
    auto align = [](DWORD nPos) { return (nPos + 3) & ~3u; };
    const WCHAR* pKey = reinterpret_cast<const WCHAR*>(p + 6);
    node.key = Narrow(pKey, (nLength - 6) / 2);
    DWORD nPos = align(6 + 2 * (DWORD)(node.key.size() + 1));
    if (nType == 1 && nValueLength)
        node.text = Narrow(reinterpret_cast<const WCHAR*>(p + nPos), std::min<DWORD>(nValueLength, (nLength - nPos) / 2));
    nPos = align(nPos + (nType == 1 ? 2 : 1) * nValueLength);
    // A node's length leaves out the padding after its last byte.
    while (nPos < nLength) {
        VersionNode child;
        if (!ParseVersionNode(p + nPos, nLength - nPos, child))
            return false;
        nPos = align(nPos + Field(blob, nPos, 2));
        node.children.push_back(child);
    }
    return true;
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
