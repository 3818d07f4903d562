// CArray<CString, CString&>: the dialog's list of folder names.
#include "alloc_hook.h"

#include <afxtempl.h>
#include <afxwin.h>
#include <gtest/gtest.h>

#include <string.h>
#include <utility>
#include <vector>

namespace {

typedef CArray<CString, CString&> CStringArray;

// Long enough to live on the heap, so that a dangling reference shows.
CString Item(int n)
{
    CString s;
    s.Format("item %d, long enough not to fit into the string object itself", n);
    return s;
}

void Fill(CStringArray& arr, int nCount)
{
    for (int i = 0; i < nCount; ++i) {
        CString s = Item(i);
        arr.Add(s);
    }
}

TEST(CArrayTest, AddReturnsIndexesAndRemoveAllEmpties)
{
    CStringArray arr;
    EXPECT_EQ(0, arr.GetSize());
    EXPECT_EQ(-1, arr.GetUpperBound());
    for (int i = 0; i < 10; ++i) {
        CString s = Item(i);
        EXPECT_EQ(i, arr.Add(s));
        EXPECT_EQ(i + 1, arr.GetSize());
        EXPECT_EQ(i, arr.GetUpperBound());
    }
    for (int i = 0; i < 10; ++i)
        EXPECT_STREQ(Item(i), arr[i]) << "element " << i;

    arr.RemoveAll();
    EXPECT_EQ(0, arr.GetSize());
    EXPECT_EQ(-1, arr.GetUpperBound());
    EXPECT_TRUE(arr.IsEmpty());
    CString s("again");
    EXPECT_EQ(0, arr.Add(s));
    EXPECT_STREQ("again", arr[0]);
}

// A full array grows by an eighth of its size, at least 4, at most 1024.
TEST(CArrayTest, GrowthRule)
{
    CStringArray arr;
    std::vector<std::pair<int, int>> growths;  // size when full, new capacity
    CString s("x");
    for (int i = 0; i < 20000; ++i) {
        int nBefore = arr.GetAllocSize();
        arr.Add(s);
        if (arr.GetAllocSize() != nBefore) {
            EXPECT_EQ(nBefore, i) << "grew at size " << i << " before it was full";
            growths.push_back({i, arr.GetAllocSize()});
        }
    }
    const std::pair<int, int> expected[] = {
        {0, 4},       {4, 8},       {8, 12},      {12, 16},     {16, 20},     {20, 24},     {24, 28},
        {28, 32},     {32, 36},     {36, 40},     {40, 45},     {45, 50},     {50, 56},     {56, 63},
        {63, 70},     {70, 78},     {78, 87},     {87, 97},     {97, 109},    {109, 122},
    };
    ASSERT_GE(growths.size(), sizeof expected / sizeof expected[0]);
    for (size_t i = 0; i < sizeof expected / sizeof expected[0]; ++i) {
        EXPECT_EQ(expected[i].first, growths[i].first) << "growth " << i;
        EXPECT_EQ(expected[i].second, growths[i].second) << "growth " << i;
    }

    // Near the cap: 7337 grows by 917, 8254 (an eighth is 1031) by 1024.
    const std::pair<int, int> large[] = {
        {6522, 7337}, {7337, 8254}, {8254, 9278}, {9278, 10302}, {18494, 19518}, {19518, 20542},
    };
    for (const auto& g : large) {
        bool bFound = false;
        for (const auto& h : growths)
            if (h.first == g.first) {
                bFound = true;
                EXPECT_EQ(g.second, h.second) << "growth at size " << g.first;
            }
        EXPECT_TRUE(bFound) << "no growth at size " << g.first;
    }
    EXPECT_EQ(20542, arr.GetAllocSize());
}

// Adding an element of the array to a full array: the growth moves the
// elements, the new one must still be the old value.
TEST(CArrayTest, AddOwnElementWhileFull)
{
    for (int nSource : {0, 3}) {
        CStringArray arr;
        Fill(arr, 4);
        ASSERT_EQ(4, arr.GetAllocSize());
        EXPECT_EQ(4, arr.Add(arr[nSource])) << "source " << nSource;
        EXPECT_STREQ(Item(nSource), arr[4]) << "source " << nSource;
        for (int i = 0; i < 4; ++i)
            EXPECT_STREQ(Item(i), arr[i]) << "source " << nSource << ", element " << i;
    }

    // Through many growths, always the last element.
    CStringArray arr;
    Fill(arr, 1);
    for (int i = 1; i < 200; ++i)
        arr.Add(arr[i - 1]);
    for (int i = 0; i < 200; ++i)
        ASSERT_STREQ(Item(0), arr[i]) << "element " << i;
}

size_t g_nRefusedSize;
BOOL RefuseAll(size_t nSize, BOOL, LONG)
{
    g_nRefusedSize = nSize;
    return FALSE;
}

// Adds under a hook that refuses every allocation; returns the exception.
CMemoryException* AddRefused(CStringArray& arr)
{
    AllocHook hook(RefuseAll);
    CString s("refused");
    try {
        arr.Add(s);
    } catch (CMemoryException* e) {
        return e;
    } catch (...) {
        ADD_FAILURE() << "Add threw something other than CMemoryException*";
        return NULL;
    }
    ADD_FAILURE() << "Add did not throw";
    return NULL;
}

TEST(CArrayTest, MemoryExhaustionThrowsAndLeavesArrayUnchanged)
{
    const struct {
        int nFilled;
        int nWanted;  // the capacity Add asks for
    } cases[] = {{0, 4}, {4, 8}, {45, 50}};
    for (const auto& c : cases) {
        const int nFilled = c.nFilled, nWanted = c.nWanted;
        SCOPED_TRACE(testing::Message() << nFilled << " elements");
        CStringArray arr;
        Fill(arr, nFilled);
        ASSERT_EQ(nFilled, arr.GetAllocSize());  // full, so Add must grow

        CMemoryException* e = AddRefused(arr);
        ASSERT_TRUE(e != NULL);
        EXPECT_EQ(nWanted * sizeof(CString), g_nRefusedSize);

        char szText[256] = "";
        UINT nHelp = 99;
        EXPECT_TRUE(e->GetErrorMessage(szText, sizeof szText, &nHelp));
        EXPECT_NE(0u, strlen(szText));
        EXPECT_EQ(0u, nHelp);
        char szShort[4] = "zzz";
        EXPECT_TRUE(e->GetErrorMessage(szShort, sizeof szShort));
        EXPECT_EQ(3u, strlen(szShort));
        EXPECT_EQ(0, strncmp(szText, szShort, 3));
        e->Delete();  // preallocated: must survive

        // The same object again, still intact after Delete.
        CMemoryException* e2 = AddRefused(arr);
        EXPECT_EQ(e, e2);
        char szAgain[256] = "";
        if (e2) {
            EXPECT_TRUE(e2->GetErrorMessage(szAgain, sizeof szAgain));
            e2->Delete();
        }
        EXPECT_STREQ(szText, szAgain);

        EXPECT_EQ(nFilled, arr.GetSize());
        EXPECT_EQ(nFilled, arr.GetAllocSize());
        for (int i = 0; i < nFilled; ++i)
            EXPECT_STREQ(Item(i), arr[i]) << "element " << i;

        // Usable again once the hook is gone.
        CString s("after");
        EXPECT_EQ(nFilled, arr.Add(s));
        EXPECT_STREQ("after", arr[nFilled]);
        EXPECT_EQ(nWanted, arr.GetAllocSize());
    }
}

}  // namespace
