#include <gtest/gtest.h>
#include "Array.h"
#include "Str.h"

TEST(StringTest, GrowsPastItsFirstBlockWithoutLosingText)
{
    CString text;
    std::wstring expected;
    for (int i = 0; i < 200; ++i) {
        wchar_t c = wchar_t(L'a' + i % 26);
        text += c;
        expected += c;
    }
    EXPECT_EQ(expected, text.GetString());
    EXPECT_EQ(200, text.GetLength());
    text += L"-tail";
    EXPECT_EQ(expected + L"-tail", text.GetString());
}

TEST(StringTest, AssignsAndAppendsPartsOfItself)
{
    CString text(L"abcdef");
    text.Append(text.GetString() + 2, 2);
    EXPECT_STREQ(L"abcdefcd", text);
    text = text.Mid(1, 3);
    EXPECT_STREQ(L"bcd", text);
    text.Assign(text.GetString() + 1);
    EXPECT_STREQ(L"cd", text);
}

TEST(StringTest, FormatsLongTextsWhole)
{
    std::wstring big(5000, L'x');
    CString text;
    ASSERT_TRUE(text.Format(L"[%s]%d", big.c_str(), 42));
    EXPECT_EQ(L"[" + big + L"]42", text.GetString());
}

TEST(StringTest, SplitsAndSearches)
{
    CString text(L"report.final.txt");
    EXPECT_EQ(12, text.ReverseFind(L'.'));
    EXPECT_EQ(6, text.Find(L'.'));
    EXPECT_STREQ(L"report", text.Left(6));
    EXPECT_STREQ(L"txt", text.Mid(13));
    EXPECT_STREQ(L"", text.Mid(40));
    EXPECT_EQ(0, text[100]);
    text.MakeUpper();
    EXPECT_STREQ(L"REPORT.FINAL.TXT", text);
    CString pair(L"a\U0001F600b");
    pair.Truncate(2);  // between the halves of the pair
    EXPECT_STREQ(L"a", pair);
    EXPECT_EQ(1, pair.GetLength());
}

TEST(StringTest, BufferAccessTakesTheWrittenLength)
{
    CString text(L"old");
    wchar_t* buffer = text.GetBuffer(10);
    ASSERT_NE(nullptr, buffer);
    lstrcpyW(buffer, L"new text");
    text.ReleaseBuffer();
    EXPECT_EQ(8, text.GetLength());
    text.ReleaseBuffer(3);
    EXPECT_STREQ(L"new", text);
}

TEST(StringTest, MovesLeaveAnEmptySource)
{
    CString a(L"moved");
    CString b(static_cast<CString&&>(a));
    EXPECT_STREQ(L"moved", b);
    EXPECT_TRUE(a.IsEmpty());
    a = L"again";
    EXPECT_STREQ(L"again", a);
}

TEST(StringTest, CopiesOfEmptyStringsStayEmpty)
{
    CString empty;
    CString copy(empty);
    CString assigned;
    assigned = empty;
    assigned = copy.GetString();
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_TRUE(assigned.IsEmpty());
}
