// Display texts of dates, types and sizes. The test wrapper runs Wine with TZ=UTC, so local time
// is UTC here.
#include <gtest/gtest.h>
#include "Format.h"
#include "TestSupport.h"

namespace {

// Seconds are set, so a line that showed them would fail.
FILETIME TimeOf(WORD year, WORD month, WORD day, WORD hour, WORD minute)
{
    return UtcFileTime(year, month, day, hour, minute, 59);
}

std::wstring FileTimeText(const FILETIME& time, const wchar_t* label, bool withTime, int capacity = 100)
{
    wchar_t buffer[128];
    wmemset(buffer, L'#', 128);
    FormatFileTime(time, buffer, capacity, label, withTime);
    EXPECT_EQ(L'#', buffer[capacity]) << "wrote past the capacity";
    return buffer;
}

TEST(FormatFileTimeTest, WritesTheEnglishDateWithOrWithoutTheTime)
{
    EXPECT_EQ(L"Created:\tMonday, March 7, 2005", FileTimeText(TimeOf(2005, 3, 7, 9, 30), L"Created:", false));
    EXPECT_EQ(L"Created:\tMonday, March 7, 2005 9:30 AM", FileTimeText(TimeOf(2005, 3, 7, 9, 30), L"Created:", true));
    EXPECT_EQ(L"Modified:\tSaturday, January 1, 2000 12:05 AM", FileTimeText(TimeOf(2000, 1, 1, 0, 5), L"Modified:", true));
    EXPECT_EQ(L"Modified:\tSunday, December 31, 2023 12:30 PM", FileTimeText(TimeOf(2023, 12, 31, 12, 30), L"Modified:", true));
    EXPECT_EQ(L"Accessed:\tFriday, October 13, 2006 1:07 PM", FileTimeText(TimeOf(2006, 10, 13, 13, 7), L"Accessed:", true));
    EXPECT_EQ(L"Accessed:\tFriday, October 13, 2006 11:59 PM", FileTimeText(TimeOf(2006, 10, 13, 23, 59), L"Accessed:", true));
}

TEST(FormatFileTimeTest, AZeroTimeIsUnknownAndLongTextsAreCut)
{
    EXPECT_EQ(L"Created:\t(unknown)", FileTimeText(FILETIME{ 0, 0 }, L"Created:", true));
    EXPECT_EQ(L"Created:\tMon", FileTimeText(TimeOf(2005, 3, 7, 9, 30), L"Created:", true, 13));
    EXPECT_EQ(L"", FileTimeText(TimeOf(2005, 3, 7, 9, 30), L"Created:", true, 1));
}

class FormatTypeNameTest : public testing::Test {
protected:
    void SetUp() override
    {
        TearDown();
        RegisterFileType(L".mvt", L"Morvane.TestDoc", L"Morvane Test Document", false);
        WriteString(HKEY_CLASSES_ROOT, L".mvp", nullptr, L"Morvane.MissingType");
        WriteString(HKEY_CLASSES_ROOT, L".mve", nullptr, L"");
        RegisterFileType(L".mvn", L"Morvane.Nameless", L"", false);
    }
    void TearDown() override
    {
        for (const wchar_t* key : { L".mvt", L"Morvane.TestDoc", L".mvp", L".mve", L".mvn", L"Morvane.Nameless", L".mvq" })
            DeleteTree(HKEY_CLASSES_ROOT, key);
    }
    static std::wstring TypeName(const wchar_t* extension, int capacity = 80)
    {
        wchar_t buffer[96];
        wmemset(buffer, L'#', 96);
        FormatTypeName(extension, buffer, capacity);
        EXPECT_EQ(L'#', buffer[capacity]) << "wrote past the capacity";
        return buffer;
    }
};

TEST_F(FormatTypeNameTest, FollowsTheRegistryChainAsFarAsItGoes)
{
    EXPECT_EQ(L"Morvane Test Document", TypeName(L".mvt"));
    EXPECT_EQ(L"Morvane Test Document", TypeName(L"mvt"));
    EXPECT_EQ(L"Morvane.MissingType", TypeName(L".mvp"));
    EXPECT_EQ(L"Morvane.Nameless", TypeName(L"mvn"));
    EXPECT_EQ(L"MVE File", TypeName(L".mve"));
    EXPECT_EQ(L"MVQ File", TypeName(L"mvq"));
    EXPECT_EQ(L"No association", TypeName(L""));
}

TEST_F(FormatTypeNameTest, CutsLongNamesToTheBuffer)
{
    EXPECT_EQ(L"Morvane", TypeName(L".mvt", 8));
    EXPECT_EQ(L"No", TypeName(L"", 3));
    std::wstring longExtension(200, L'x');
    std::wstring text = TypeName(longExtension.c_str());
    EXPECT_EQ(79u, text.size());
    EXPECT_EQ(std::wstring(79, L'X'), text);

    // A cut never keeps the first half of a pair without its second.
    RegisterFileType(L".mvq", L"Morvane.Emoji", L"\U0001F600\U0001F600 and more", false);
    EXPECT_EQ(L"\U0001F600", TypeName(L".mvq", 4));
    EXPECT_EQ(L"\U0001F600\U0001F600", TypeName(L".mvq", 5));
    DeleteTree(HKEY_CLASSES_ROOT, L"Morvane.Emoji");
}

std::wstring SizeText(ULONGLONG size, int capacity = 80)
{
    wchar_t buffer[96];
    wmemset(buffer, L'#', 96);
    FormatSizeLine(size, buffer, capacity);
    EXPECT_EQ(L'#', buffer[capacity]) << "wrote past the capacity";
    return buffer;
}

TEST(FormatSizeLineTest, ScalesAboveTwoKibibytesWithTheByteCountBeside)
{
    EXPECT_EQ(L"Size:\t0 bytes", SizeText(0));
    EXPECT_EQ(L"Size:\t999 bytes", SizeText(999));
    EXPECT_EQ(L"Size:\t2048 bytes", SizeText(2048));
    EXPECT_EQ(L"Size:\t2.00KB (2,049 bytes)", SizeText(2049));
    EXPECT_EQ(L"Size:\t1536KB (1,572,864 bytes)", SizeText(1572864));
    EXPECT_EQ(L"Size:\t3.00MB (3,145,728 bytes)", SizeText(3145728));
    EXPECT_EQ(L"Size:\t9.54MB (10,000,000 bytes)", SizeText(10000000));
    EXPECT_EQ(L"Size:\t95.4MB (100,000,000 bytes)", SizeText(100000000));
    EXPECT_EQ(L"Size:\t931GB (999,999,999,999 bytes)", SizeText(999999999999ULL));
}

TEST(FormatSizeLineTest, HugeSizesHideTheByteCountAndRunOutOfUnitLetters)
{
    EXPECT_EQ(L"Size:\t931GB (>999,999,999,999 bytes)", SizeText(1000000000000ULL));
    EXPECT_EQ(L"Size:\t1024TB (>999,999,999,999 bytes)", SizeText(1ULL << 50));
    EXPECT_EQ(L"Size:\t2048TB (>999,999,999,999 bytes)", SizeText(2048ULL << 40));
    EXPECT_EQ(L"Size:\t2.00?B (>999,999,999,999 bytes)", SizeText((2048ULL << 40) + (1ULL << 30)));
    EXPECT_EQ(L"Size:\t16.0?B (>999,999,999,999 bytes)", SizeText(~0ULL));
    EXPECT_EQ(L"Size:\t2.00", SizeText(2049, 11));
}

}
