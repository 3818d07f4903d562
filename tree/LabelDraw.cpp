// Tree labels that hold characters beyond the Basic Multilingual Plane
// (emoji such as "📁", U+1F4C1) are drawn again with Uniscribe's font
// fallback. The tree view draws its labels with plain GDI text output, which
// maps each UTF-16 unit to a glyph on its own: where the label's font has no
// glyph for such a character, and font linking finds none for half of a
// surrogate pair (Wine's GDI never does), the label shows two boxes in its
// place. Uniscribe, which the edit controls use for the path and error boxes,
// finds a font that holds the character. Other labels are left to the tree.
#include "FolderTreeDlg.h"
#include "resource.h"

#include <string.h>
#include <usp10.h>

namespace {

// Uniscribe is loaded on first use, so that the module imports nothing
// beyond the system's core DLLs; without it the tree's own drawing stays.
struct Uniscribe {
    decltype(&::ScriptStringAnalyse) pAnalyse = NULL;
    decltype(&::ScriptStringOut) pOut = NULL;
    decltype(&::ScriptStringFree) pFree = NULL;

    static const Uniscribe& Get()
    {
        static const Uniscribe s_uniscribe;
        return s_uniscribe;
    }

private:
    Uniscribe()
    {
        HMODULE hModule = ::LoadLibraryA("usp10.dll");
        if (!hModule)
            return;
        pAnalyse = (decltype(pAnalyse))(void*)::GetProcAddress(hModule, "ScriptStringAnalyse");
        pOut = (decltype(pOut))(void*)::GetProcAddress(hModule, "ScriptStringOut");
        pFree = (decltype(pFree))(void*)::GetProcAddress(hModule, "ScriptStringFree");
        if (!pAnalyse || !pOut || !pFree)
            pAnalyse = NULL;
    }
};

// The label of hItem as UTF-16 when it holds a surrogate pair, else empty.
std::wstring LabelBeyondBmp(const CTreeCtrl* pTree, HTREEITEM hItem)
{
    std::wstring strLabel = pTree->GetItemTextW(hItem);
    for (WCHAR ch : strLabel)
        if (IS_HIGH_SURROGATE(ch))
            return strLabel;
    return std::wstring();
}

// The colours the tree chose for the item being drawn, kept from its
// pre-paint notice for the post-paint one.
thread_local COLORREF t_clrText, t_clrTextBk;

// Clears the label's rectangle rcInside in the background colour the tree
// drew it with (its own, or the window's).
void ClearLabel(HWND hTree, HDC hdc, const RECT& rcInside)
{
    COLORREF clrBk = t_clrTextBk;
    if (clrBk == CLR_NONE || clrBk == CLR_DEFAULT) {
        clrBk = (COLORREF)::SendMessageW(hTree, TVM_GETBKCOLOR, 0, 0);
        if (clrBk == CLR_NONE || clrBk == CLR_DEFAULT)
            clrBk = ::GetSysColor(COLOR_WINDOW);
    }
    HBRUSH hBrush = ::CreateSolidBrush(clrBk);
    ::FillRect(hdc, &rcInside, hBrush);
    ::DeleteObject(hBrush);
}

// Draws strLabel, the label of hItem, again over what the tree drew, in the
// tree's font and the text colour it chose, with Uniscribe's fallback.
void DrawLabel(const Uniscribe& usp, HWND hTree, HDC hdc, HTREEITEM hItem, const std::wstring& strLabel)
{
    // TVM_GETITEMRECT takes the item's handle in the rectangle it fills.
    RECT rcText;
    memcpy(&rcText, &hItem, sizeof hItem);
    if (!::SendMessageW(hTree, TVM_GETITEMRECT, TRUE, (LPARAM)&rcText))
        return;
    // Inside the focus rectangle the tree drew around the label.
    RECT rcInside = rcText;
    ::InflateRect(&rcInside, -1, -1);
    ClearLabel(hTree, hdc, rcInside);

    HGDIOBJ hOldFont = ::SelectObject(hdc, (HFONT)::SendMessageW(hTree, WM_GETFONT, 0, 0));
    int nOldMode = ::SetBkMode(hdc, TRANSPARENT);
    COLORREF clrOldText = ::SetTextColor(hdc, t_clrText == CLR_DEFAULT ? ::GetSysColor(COLOR_WINDOWTEXT) : t_clrText);
    SCRIPT_STRING_ANALYSIS ssa = NULL;
    int nGlyphs = (int)strLabel.size() * 3 / 2 + 16;
    if (SUCCEEDED(usp.pAnalyse(hdc, strLabel.c_str(), (int)strLabel.size(), nGlyphs, -1, SSA_GLYPHS | SSA_FALLBACK, 0,
                               NULL, NULL, NULL, NULL, NULL, &ssa))) {
        TEXTMETRICW tm;
        ::GetTextMetricsW(hdc, &tm);
        int y = (rcText.top + rcText.bottom - tm.tmHeight) / 2;
        usp.pOut(ssa, rcText.left + 2, y, ETO_CLIPPED, &rcInside, 0, 0, FALSE);
        usp.pFree(&ssa);
    }
    ::SetTextColor(hdc, clrOldText);
    ::SetBkMode(hdc, nOldMode);
    ::SelectObject(hdc, hOldFont);
}

}  // namespace

void CFolderTreeDlg::OnCustomdrawFolderTree(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMTVCUSTOMDRAW* pDraw = (NMTVCUSTOMDRAW*)pNMHDR;
    *pResult = CDRF_DODEFAULT;
    const Uniscribe& usp = Uniscribe::Get();
    if (!usp.pAnalyse)
        return;
    HWND hTree = pNMHDR->hwndFrom;
    HTREEITEM hItem = (HTREEITEM)pDraw->nmcd.dwItemSpec;
    switch (pDraw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        *pResult = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT:
        if (!LabelBeyondBmp(GetTree(), hItem).empty()) {
            t_clrText = pDraw->clrText;
            t_clrTextBk = pDraw->clrTextBk;
            *pResult = CDRF_NOTIFYPOSTPAINT;
        }
        break;
    case CDDS_ITEMPOSTPAINT: {
        std::wstring strLabel = LabelBeyondBmp(GetTree(), hItem);
        if (!strLabel.empty())
            DrawLabel(usp, hTree, pDraw->nmcd.hdc, hItem, strLabel);
        break;
    }
    }
}
