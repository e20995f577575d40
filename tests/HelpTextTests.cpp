// The help texts the shell asks for while the user moves over the menu's items.
#include <gtest/gtest.h>
#include <algorithm>
#include "CommandIds.h"
#include "ComObject.h"
#include "MenuHandler.h"
#include "TestSupport.h"

namespace {

const char* const kExpected[] = {
    "The selection's extension...",
    "The selection's registered type...",
    "Open with #1", "Open with #2", "Open with #3", "Open with #4", "Open with #5",
    "Open with #6", "Open with #7", "Open with #8", "Open with #9", "Open with #10",
    "The selection's size",
    "The selection's short (8.3) name",
    "The selection's creation date",
    "The selection's last modified date",
    "The selection's last accessed date",
    "Locate the file in Explorer",
    "Copy file extension to clipboard",
    "Copy file name to clipboard",
    "Copy file name and path to clipboard",
    "Copy file short name to clipboard",
    "Copy file short path to clipboard",
    "Copy file size to clipboard",
    "Copy file type to clipboard",
    "Archive file flag",
    "Read-only file flag",
    "Hidden file flag",
    "System file flag",
    "Compressed file flag",
    "Temporary file flag",
    "Clear all attributes in the selection",
    "Change the selection's attributes...",
    "The selection's target path",
    "The selection's target arguments",
    "The selection's target working directory",
    "Show selection in Windows Explorer",
    "Change the selection's shortcut settings...",
    "File's Title",
    "File's Subject",
    "File's Author",
    "File's Key Words",
    "File's Comments",
    "Change File Summary Information",
    "Display Options dialog...",
    "Display Morvane product information...",
};
static_assert(ARRAYSIZE(kExpected) == 46, "one text per fixed offset");
const char kQuickText[] = "Change the file's extension";

// The text an offset should give, or null where nothing may be written.
const char* ExpectedText(UINT offset)
{
    if (offset < 46)
        return kExpected[offset];
    return offset < 56 ? kQuickText : nullptr;
}

const UINT kRequestTypes[] = { GCS_VERBA, GCS_HELPTEXTA, GCS_VALIDATEA, GCS_VERBW, GCS_HELPTEXTW, GCS_VALIDATEW,
                               GCS_VERBICONW };
const unsigned char kGuard = 0xCD;
const int kBufferBytes = 512;

CComPtr<IContextMenu> NewHandler()
{
    CComPtr<IContextMenu> menu;
    EXPECT_EQ(S_OK, (CreateComInstance<CMenuHandler, false>(nullptr, IID_IContextMenu, menu.ReceiveVoid())));
    return menu;
}

// A buffer filled with the guard byte, so any byte written is seen.
struct GuardedBuffer {
    unsigned char bytes[kBufferBytes];
    GuardedBuffer() { memset(bytes, kGuard, sizeof(bytes)); }
    char* Narrow() { return reinterpret_cast<char*>(bytes); }
    wchar_t* Wide() { return reinterpret_cast<wchar_t*>(bytes); }
    // Whether every byte from `from` on still holds the guard.
    bool UntouchedFrom(size_t from) const
    {
        for (size_t i = from; i < sizeof(bytes); ++i)
            if (bytes[i] != kGuard)
                return false;
        return true;
    }
};

// What each request type answers for an offset of the table.
HRESULT ExpectedResult(UINT type)
{
    switch (type) {
    case GCS_HELPTEXTA: case GCS_HELPTEXTW: case GCS_VALIDATEA: case GCS_VALIDATEW: return S_OK;
    default: return E_NOTIMPL;  // no verbs, no verb icons
    }
}

TEST(HelpTexts, EveryOffsetAndRequestTypeAnswersWithItsTextOrLeavesTheBuffer)
{
    CComPtr<IContextMenu> menu = NewHandler();
    ASSERT_TRUE(menu);
    for (UINT offset = 0; offset <= 56; ++offset) {
        for (UINT type : kRequestTypes) {
            SCOPED_TRACE("offset " + std::to_string(offset) + ", type " + std::to_string(type));
            GuardedBuffer buffer;
            const UINT capacity = kBufferBytes / sizeof(wchar_t);
            const char* text = ExpectedText(offset);
            EXPECT_EQ(text ? ExpectedResult(type) : E_INVALIDARG,
                      menu->GetCommandString(offset, type, nullptr, buffer.Narrow(), capacity));
            if (text && type == GCS_HELPTEXTA) {
                EXPECT_STREQ(text, buffer.Narrow());
                EXPECT_TRUE(buffer.UntouchedFrom(strlen(text) + 1));
            } else if (text && type == GCS_HELPTEXTW) {
                EXPECT_EQ(ToWide(text), std::wstring(buffer.Wide()));
                EXPECT_TRUE(buffer.UntouchedFrom((strlen(text) + 1) * sizeof(wchar_t)));
            } else {
                EXPECT_TRUE(buffer.UntouchedFrom(0));
            }
        }
    }
}

TEST(HelpTexts, OffsetsFarBeyondTheTableAreRefusedAndWriteNothing)
{
    CComPtr<IContextMenu> menu = NewHandler();
    ASSERT_TRUE(menu);
    for (UINT_PTR offset : { UINT_PTR(57), UINT_PTR(0xFFFF), UINT_PTR(0x10000), ~UINT_PTR(0) }) {
        GuardedBuffer buffer;
        for (UINT type : kRequestTypes)
            EXPECT_EQ(E_INVALIDARG, menu->GetCommandString(offset, type, nullptr, buffer.Narrow(), 256));
        EXPECT_TRUE(buffer.UntouchedFrom(0));
    }
}

TEST(HelpTexts, TheLongestTextNeedsFortyFourCharacters)
{
    size_t longest = 0;
    for (UINT offset = 0; offset < 56; ++offset)
        longest = std::max(longest, strlen(ExpectedText(offset)));
    EXPECT_EQ(43u, longest);
    // It fits a buffer of exactly 44 characters whole.
    CComPtr<IContextMenu> menu = NewHandler();
    ASSERT_TRUE(menu);
    GuardedBuffer buffer;
    EXPECT_EQ(S_OK, menu->GetCommandString(kCmdLinkChange, GCS_HELPTEXTW, nullptr, buffer.Narrow(), 44));
    EXPECT_EQ(L"Change the selection's shortcut settings...", std::wstring(buffer.Wide()));
    EXPECT_TRUE(buffer.UntouchedFrom(44 * sizeof(wchar_t)));
}

TEST(HelpTexts, ASmallBufferGetsTheTextCutAndTerminatedAndNothingBeyond)
{
    CComPtr<IContextMenu> menu = NewHandler();
    ASSERT_TRUE(menu);
    for (UINT offset : { 0u, 20u, 37u, 46u, 55u }) {
        SCOPED_TRACE("offset " + std::to_string(offset));
        std::string text = ExpectedText(offset);
        for (UINT capacity : { 1u, 2u, 8u, UINT(text.size()) }) {
            GuardedBuffer narrow;
            EXPECT_EQ(S_OK, menu->GetCommandString(offset, GCS_HELPTEXTA, nullptr, narrow.Narrow(), capacity));
            EXPECT_EQ(text.substr(0, capacity - 1), std::string(narrow.Narrow()));
            EXPECT_TRUE(narrow.UntouchedFrom(capacity));

            GuardedBuffer wide;
            EXPECT_EQ(S_OK, menu->GetCommandString(offset, GCS_HELPTEXTW, nullptr, wide.Narrow(), capacity));
            EXPECT_EQ(ToWide(text.substr(0, capacity - 1).c_str()), std::wstring(wide.Wide()));
            EXPECT_TRUE(wide.UntouchedFrom(capacity * sizeof(wchar_t)));
        }
        GuardedBuffer none;
        EXPECT_EQ(S_OK, menu->GetCommandString(offset, GCS_HELPTEXTW, nullptr, none.Narrow(), 0));
        EXPECT_EQ(S_OK, menu->GetCommandString(offset, GCS_HELPTEXTA, nullptr, none.Narrow(), 0));
        EXPECT_TRUE(none.UntouchedFrom(0));
        EXPECT_EQ(S_OK, menu->GetCommandString(offset, GCS_HELPTEXTW, nullptr, nullptr, 64));
    }
}

}
