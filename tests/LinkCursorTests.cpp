// The hyperlink's pointing-hand cursor as the module's resources carry it.
#include <gtest/gtest.h>
#include "AboutPageRes.h"
#include "Holders.h"

namespace {

TEST(LinkCursor, IsAMonochrome32By32HandWithItsHotSpotOnTheFingertip)
{
    HCURSOR cursor = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_ABOUT_LINKCURSOR));
    ASSERT_NE(nullptr, cursor);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    CGdiObject mask(info.hbmMask), color(info.hbmColor);
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(11u, info.xHotspot);
    EXPECT_EQ(7u, info.yHotspot);
    EXPECT_EQ(nullptr, info.hbmColor) << "a monochrome cursor has only its mask bitmap";
    BITMAP bitmap = {};
    ASSERT_TRUE(GetObjectW(info.hbmMask, sizeof(bitmap), &bitmap));
    EXPECT_EQ(32, bitmap.bmWidth);
    EXPECT_EQ(64, bitmap.bmHeight);  // AND mask above XOR image
    EXPECT_EQ(1, bitmap.bmBitsPixel);
}

}
