// The folder dialog at the display's scale and for screen readers. The
// program runs in the test prefix at 96 dots per inch and in its copies at
// 144 and 192 (VARNET_DPI names the prefix's setting; tests/dialog/
// CMakeLists.txt). Under Wine the display's scale is the prefix's one
// setting, and no monitor changes it; the moves between monitors of other
// scales happen on Windows only; the message that tells the dialog of one
// (WM_DPICHANGED) is sent here as Windows sends it.
#include "dialog_support.h"

#include <oleacc.h>

#include <stdlib.h>

namespace {

// IID_IAccessible (oleacc's import library gives its import thunk instead).
const IID kIID_IAccessible = { 0x618736e0, 0x3c3d, 0x11cf, { 0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71 } };

int PrefixDpi()
{
    const char* psz = getenv("VARNET_DPI");
    return psz ? atoi(psz) : 96;
}

// The sizes the dialog's images take at each scale: the image lists'
// (drawn 16 pixels wide) and the command icons' (drawn 32).
struct Scale {
    int nDpi;
    int nListImage;
    int nCommandIcon;
};
const Scale kScales[] = { { 96, 16, 32 }, { 144, 24, 48 }, { 192, 32, 64 } };

const Scale* ScaleOfPrefix()
{
    for (const Scale& s : kScales)
        if (s.nDpi == PrefixDpi())
            return &s;
    return nullptr;
}

int IconWidth(HICON hIcon)
{
    ICONINFO info = {};
    if (!hIcon || !GetIconInfo(hIcon, &info))
        return 0;
    BITMAP bm = {};
    GetObjectA(info.hbmMask, sizeof bm, &bm);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bm.bmWidth;
}

int ImageListWidth(HIMAGELIST hList)
{
    int cx = 0, cy = 0;
    return hList && ImageList_GetIconSize(hList, &cx, &cy) && cx == cy ? cx : -1;
}

RECT WorkArea(HWND hWnd)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

bool Inside(const RECT& rc, const RECT& rcOuter)
{
    return rc.left >= rcOuter.left && rc.top >= rcOuter.top && rc.right <= rcOuter.right &&
           rc.bottom <= rcOuter.bottom;
}

std::string Describe(const RECT& rc)
{
    char sz[80];
    sprintf(sz, "(%ld, %ld)-(%ld, %ld)", rc.left, rc.top, rc.right, rc.bottom);
    return sz;
}

}  // namespace

TEST(DisplayScale, ThePrefixHasTheScaleItIsRunAt)
{
    HDC hdc = GetDC(NULL);
    int nScreen = GetDeviceCaps(hdc, LOGPIXELSY);
    ReleaseDC(NULL, hdc);
    ASSERT_NE(nullptr, ScaleOfPrefix()) << "VARNET_DPI " << PrefixDpi() << " is not one of the scales tested";
    EXPECT_EQ(PrefixDpi(), nScreen) << "the prefix's display";
}

// The tree's and the drive list's images and the command icons are at
// the scale of the text, also the busy icon that replaces a command's.
TEST(DisplayScale, ImagesAreAtTheScaleOfTheText)
{
    const Scale* pScale = ScaleOfPrefix();
    ASSERT_NE(nullptr, pScale);
    // A folder of its own at each scale: the prefixes share drive D:.
    TestFolder folder(("scale" + std::to_string(PrefixDpi())).c_str());
    folder.MakeDirs("sub");
    RunFolderDialog(folder.Path(), [&](Driver& d) {
        d.OnUi([&] {
            EXPECT_EQ(pScale->nListImage, ImageListWidth(TreeView_GetImageList(d.Item(IDC_FOLDER_TREE), TVSIL_NORMAL)))
                << "the tree's images";
            EXPECT_EQ(pScale->nListImage,
                      ImageListWidth((HIMAGELIST)SendMessageA(d.Item(IDC_CBX_DRIVES), CBEM_GETIMAGELIST, 0, 0)))
                << "the drive list's images";
            for (int nID : { IDC_STATIC_MAKEFOLDER, IDC_STATIC_DELETEFOLDER })
                EXPECT_EQ(pScale->nCommandIcon, IconWidth((HICON)SendMessageA(d.Item(nID), STM_GETICON, 0, 0)))
                    << "the icon of control " << nID;
        });
        // A new folder waits for its name under the busy icon (Esc still
        // makes it, under the default name, in the test's folder).
        d.ClickNode(NodeOf(d, folder.Path("sub")));
        d.Command(IDC_STATIC_MAKEFOLDER, STN_CLICKED);
        d.OnUi([&] {
            EXPECT_EQ(pScale->nCommandIcon,
                      IconWidth((HICON)SendMessageA(d.Item(IDC_STATIC_MAKEFOLDER), STM_GETICON, 0, 0)))
                << "the busy icon";
        });
        d.Key(VK_ESCAPE, d.LabelEditor());
        d.Cancel();
    });
}

// Moved to a monitor of another scale, the dialog takes the rectangle the
// system suggests and makes its images at the new scale, inside the work
// area. Windows sends the message with the new scale as the window moves;
// Wine never does, so the test sends it as Windows would.
TEST(DisplayScale, AMoveToAnotherScaleRemakesTheImages)
{
    const Scale* pScale = ScaleOfPrefix();
    ASSERT_NE(nullptr, pScale);
    const Scale& next = kScales[(pScale - kScales + 1) % 3];
    RunFolderDialog("D:\\", [&](Driver& d) {
        d.OnUi([&] {
            RECT rcWork = WorkArea(d.Dialog()), rc;
            GetWindowRect(d.Dialog(), &rc);
            RECT rcSuggested = { rcWork.left + 10, rcWork.top + 10, rcWork.left + 10 + (rc.right - rc.left) * next.nDpi / pScale->nDpi,
                                 rcWork.top + 10 + (rc.bottom - rc.top) * next.nDpi / pScale->nDpi };
            SendMessageA(d.Dialog(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(next.nDpi, next.nDpi), (LPARAM)&rcSuggested);
            std::string ctx = "moved from " + std::to_string(pScale->nDpi) + " to " + std::to_string(next.nDpi) + " dots per inch";
            EXPECT_EQ(next.nListImage, ImageListWidth(TreeView_GetImageList(d.Item(IDC_FOLDER_TREE), TVSIL_NORMAL)))
                << ctx << ": the tree's images";
            EXPECT_EQ(next.nListImage, ImageListWidth((HIMAGELIST)SendMessageA(d.Item(IDC_CBX_DRIVES), CBEM_GETIMAGELIST, 0, 0)))
                << ctx << ": the drive list's images";
            GetWindowRect(d.Dialog(), &rc);
            EXPECT_TRUE(Inside(rc, rcWork)) << ctx << ": the dialog " << Describe(rc) << ", work area " << Describe(rcWork);
            if (Inside(rcSuggested, rcWork)) {
                EXPECT_EQ(rcSuggested.left, rc.left) << ctx << ": the suggested place";
                EXPECT_EQ(rcSuggested.bottom, rc.bottom) << ctx << ": the suggested place";
            }
        });
        d.Ok();
    });
}

// The dialog lies inside its monitor's work area, and so does every
// control, OK and Cancel among them; where the dialog fits, it keeps the
// template's size. The windows it opens lie inside too (NestedWindows, run
// at each scale).
TEST(DisplayScale, EveryControlLiesInsideTheWorkArea)
{
    RunFolderDialog("D:\\", [&](Driver& d) {
        d.OnUi([&] {
            RECT rcWork = WorkArea(d.Dialog()), rcWindow, rcClient, rcTemplate = { 0, 0, 288, 297 };
            GetWindowRect(d.Dialog(), &rcWindow);
            GetClientRect(d.Dialog(), &rcClient);
            MapDialogRect(d.Dialog(), &rcTemplate);
            EXPECT_TRUE(Inside(rcWindow, rcWork)) << "the dialog " << Describe(rcWindow) << ", work area " << Describe(rcWork);
            bool bFits = rcTemplate.bottom + (rcWindow.bottom - rcWindow.top - rcClient.bottom) <= rcWork.bottom - rcWork.top;
            printf("at %d dots per inch: the dialog %s in the work area %s%s\n", PrefixDpi(), Describe(rcWindow).c_str(),
                   Describe(rcWork).c_str(), bFits ? "" : ", fitted to it");
            if (bFits)
                EXPECT_EQ(rcTemplate.bottom, rcClient.bottom) << "a dialog that fits keeps its size";
            else
                EXPECT_EQ(rcWork.bottom - rcWork.top, rcWindow.bottom - rcWindow.top) << "the dialog fills the work area's height";
            for (HWND hChild = GetWindow(d.Dialog(), GW_CHILD); hChild; hChild = GetWindow(hChild, GW_HWNDNEXT)) {
                RECT rc;
                GetWindowRect(hChild, &rc);
                EXPECT_TRUE(Inside(rc, rcWork) && Inside(rc, rcWindow))
                    << "control " << GetDlgCtrlID(hChild) << " (" << d.Text(hChild) << ") at " << Describe(rc);
            }
        });
        // OK is reachable: it ends the dialog.
        d.Ok();
    });
}

// Screen readers read each control's name through the system's
// accessibility interface. Wine's standard object would name an edit by its
// contents and a static icon by nothing; Windows' by the label before it in
// the z-order, which the template does not have. Asked from another thread
// (another apartment, through oleacc's proxy), as a screen reader asks.
TEST(AccessibleNames, EveryControlHasTheNameItShows)
{
    struct Case {
        int nID;
        const char* pszName;
        bool bInner;  // the combo box inside the drive list
    } cases[] = {
        { IDC_EDIT_PATH, "Selected Folder", false },
        { IDC_CBX_DRIVES, "Select Drive", false },
        { IDC_CBX_DRIVES, "Select Drive", true },
        { IDC_FOLDER_TREE, "Single click expand", false },
        { IDC_EDIT_ERROR, "Error Message", false },
        { IDC_STATIC_MAKEFOLDER, VarnetText::TIP_MAKE, false },
        { IDC_STATIC_DELETEFOLDER, VarnetText::TIP_DELETE, false },
        { IDOK, "OK", false },
        { IDCANCEL, "Cancel", false },
        { IDC_BN_EXPAND, "Expand Recursive", false },
    };
    RunFolderDialog("D:\\", [&](Driver& d) {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(NULL, COINIT_MULTITHREADED)));
        for (const Case& c : cases) {
            HWND hControl = d.Item(c.nID);
            if (c.bInner)
                hControl = (HWND)SendMessageA(hControl, CBEM_GETCOMBOCONTROL, 0, 0);
            std::string ctx = "control " + std::to_string(c.nID) + (c.bInner ? " (its combo box)" : "");
            IAccessible* pAcc = nullptr;
            ASSERT_EQ(S_OK, AccessibleObjectFromWindow(hControl, (DWORD)OBJID_CLIENT, kIID_IAccessible, (void**)&pAcc)) << ctx;
            VARIANT self;
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            BSTR bstrName = nullptr;
            EXPECT_EQ(S_OK, pAcc->get_accName(self, &bstrName)) << ctx;
            char szName[128] = "";
            if (bstrName)
                WideCharToMultiByte(CP_ACP, 0, bstrName, -1, szName, sizeof szName, NULL, NULL);
            EXPECT_STREQ(c.pszName, szName) << ctx;
            SysFreeString(bstrName);
            // Everything else is the standard object's: its role, its place.
            IAccessible* pStd = nullptr;
            ASSERT_EQ(S_OK, CreateStdAccessibleObject(hControl, OBJID_CLIENT, kIID_IAccessible, (void**)&pStd)) << ctx;
            VARIANT role, stdRole;
            VariantInit(&role);
            VariantInit(&stdRole);
            EXPECT_EQ(S_OK, pAcc->get_accRole(self, &role)) << ctx;
            pStd->get_accRole(self, &stdRole);
            EXPECT_EQ(stdRole.vt, role.vt) << ctx;
            EXPECT_EQ(stdRole.lVal, role.lVal) << ctx << ": role";
            pStd->Release();
            pAcc->Release();
        }
        CoUninitialize();
        d.Cancel();
    });
}
