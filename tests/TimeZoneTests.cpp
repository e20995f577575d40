// Dates in a zone with daylight saving: its CTest entry runs Wine with TZ=America/New_York, whose
// offset is -5 hours in winter and -4 in summer, whatever the day the test runs.
#include <gtest/gtest.h>
#include "Format.h"
#include "TestSupport.h"

TEST(FormatFileTimeInAZoneWithDaylightSaving, EachDateTakesTheOffsetOfItsOwnHalfOfTheYear)
{
    static const struct { FILETIME utc; bool withTime; const wchar_t* text; } cases[] = {
        { UtcFileTime(2021, 1, 15, 17, 30, 0), true, L"Modified:\tFriday, January 15, 2021 12:30 PM" },
        { UtcFileTime(2021, 7, 15, 17, 30, 0), true, L"Modified:\tThursday, July 15, 2021 1:30 PM" },
        { UtcFileTime(2021, 1, 15, 3, 30, 0), false, L"Modified:\tThursday, January 14, 2021" },
        { UtcFileTime(2021, 7, 15, 3, 30, 0), false, L"Modified:\tWednesday, July 14, 2021" },
        { UtcFileTime(2021, 7, 15, 4, 30, 0), false, L"Modified:\tThursday, July 15, 2021" },
    };
    for (const auto& entry : cases) {
        wchar_t line[100];
        FormatFileTime(entry.utc, line, 100, L"Modified:", entry.withTime);
        EXPECT_EQ(std::wstring(entry.text), line);
    }
}

// This year's dates take the present rule, read without the by-year lookup: the same offsets.
TEST(FormatFileTimeInAZoneWithDaylightSaving, ThisYearsDatesTakeTheOffsetOfTheirHalfOfTheYear)
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    static const struct { WORD month; const wchar_t* text; } cases[] = {
        { 1, L"January 15, %d 12:30 PM" },
        { 7, L"July 15, %d 1:30 PM" },
    };
    for (const auto& entry : cases) {
        wchar_t line[100], expected[40];
        FormatFileTime(UtcFileTime(now.wYear, entry.month, 15, 17, 30, 0), line, 100, L"Modified:", true);
        swprintf(expected, 40, entry.text, now.wYear);
        std::wstring text(line);
        EXPECT_EQ(std::wstring(expected), text.substr(text.size() - std::min(text.size(), wcslen(expected)))) << text;
    }
}
