#include <gtest/gtest.h>
#include "Array.h"
#include "Str.h"

TEST(ArrayTest, KeepsElementsInOrderAcrossGrowth)
{
    CArray<CString> items;
    for (int i = 0; i < 100; ++i) {
        CString text;
        text.Format(L"item %d", i);
        ASSERT_TRUE(items.Add(static_cast<CString&&>(text)));
    }
    ASSERT_EQ(100, items.GetSize());
    EXPECT_STREQ(L"item 0", items[0]);
    EXPECT_STREQ(L"item 99", items[99]);
    items.RemoveAt(0);
    EXPECT_STREQ(L"item 1", items[0]);
    EXPECT_EQ(99, items.GetSize());
}

TEST(ArrayTest, SetSizeDefaultConstructsAndShrinks)
{
    CArray<CString> items;
    ASSERT_TRUE(items.SetSize(3));
    EXPECT_TRUE(items[2].IsEmpty());
    items[1] = L"b";
    ASSERT_TRUE(items.SetSize(2));
    EXPECT_STREQ(L"b", items[1]);
    EXPECT_FALSE(items.IsValidIndex(2));
    EXPECT_FALSE(items.IsValidIndex(-1));
    EXPECT_FALSE(items.SetSize(-1));
}
