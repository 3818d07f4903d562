// Running out of memory in any of the framework's types throws
// CMemoryException* (never std::bad_alloc) and leaves the object as it was.
#include "alloc_hook.h"

#include <afxtempl.h>
#include <afxwin.h>
#include <gtest/gtest.h>

#include <functional>
#include <malloc.h>
#include <string>

namespace {

typedef CArray<CString, CString&> CStringArray;

BOOL g_bObjectRefused;
BOOL RefuseAll(size_t, BOOL bObject, LONG)
{
    g_bObjectRefused |= bObject;
    return FALSE;
}

// What fn threw: "CMemoryException*", "something else", or "nothing".
const char* Thrown(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (CMemoryException* e) {
        e->Delete();
        return "CMemoryException*";
    } catch (...) {
        return "something else";
    }
    return "nothing";
}

class CPlain : public CObject {};

TEST(Memory, EveryAllocationOfTheFrameworksTypesThrowsCMemoryException)
{
    const CString strLong("a text long enough to live on the heap, not in the string object");
    struct Case {
        const char* what;
        std::function<void(CString& s, CStringArray& arr)> fn;  // s holds strLong, arr one element and room
        BOOL bObject;  // an object's allocation is refused
    } cases[] = {
        { "copy", [](CString& s, CStringArray&) { CString t(s); }, FALSE },
        { "assignment", [](CString& s, CStringArray&) { CString t; t = s; }, FALSE },
        { "append", [&](CString& s, CStringArray&) { s += strLong; }, FALSE },
        { "concatenation", [](CString& s, CStringArray&) { CString t = s + "x"; }, FALSE },
        { "Mid", [](CString& s, CStringArray&) { s.Mid(1); }, FALSE },
        { "Insert", [&](CString& s, CStringArray&) { s.Insert(0, strLong); }, FALSE },
        { "Replace", [](CString& s, CStringArray&) { s.Replace("a", "aa"); }, FALSE },
        { "Format", [&](CString& s, CStringArray&) { s.Format("%s%s", (LPCSTR)strLong, (LPCSTR)strLong); }, FALSE },
        { "GetBuffer", [](CString& s, CStringArray&) { s.GetBuffer(1000); }, FALSE },
        { "repeated character", [](CString&, CStringArray&) { CString t('x', 100); }, FALSE },
        { "array element copy", [](CString& s, CStringArray& arr) { arr.Add(s); }, FALSE },
        { "array growth", [](CString&, CStringArray& arr) { arr.SetSize(100); }, FALSE },
        { "object", [](CString&, CStringArray&) { delete new CPlain; }, TRUE },
        { "temporary window object", [](CString&, CStringArray&) { CWnd::FromHandle(GetDesktopWindow()); }, FALSE },
    };
    for (const Case& c : cases) {
        CString s(strLong);
        CStringArray arr;
        arr.Add(s);
        g_bObjectRefused = FALSE;
        const char* pszThrown;
        {
            AllocHook hook(RefuseAll);
            pszThrown = Thrown([&] { c.fn(s, arr); });
        }
        AfxDeleteTempMaps();
        EXPECT_STREQ("CMemoryException*", pszThrown) << c.what;
        EXPECT_EQ(c.bObject, g_bObjectRefused) << c.what;
        EXPECT_EQ(strLong, s) << c.what;
        EXPECT_EQ(1, arr.GetSize()) << c.what;
    }

    // Real exhaustion, without a hook. No 32-bit process has 2 GB in one
    // piece, so the longest string fails there. A 64-bit one has, and a
    // CString cannot ask for more, so there the string's own buffer type
    // asks for more than any x86-64 address space holds (256 TB).
#ifdef _WIN64
    typedef std::basic_string<char, std::char_traits<char>, CAfxAllocator<char>> Buffer;
    EXPECT_STREQ("CMemoryException*", Thrown([] { Buffer t; t.reserve((size_t)1 << 48); }));
#else
    EXPECT_STREQ("CMemoryException*", Thrown([] { CString t('x', 0x7FFFFFF0); }));
#endif
    // The heap is sound afterwards, and a string of its own still fits.
    EXPECT_EQ(_HEAPOK, _heapchk());
    EXPECT_EQ(100, CString('y', 100).GetLength());
}

}  // namespace
