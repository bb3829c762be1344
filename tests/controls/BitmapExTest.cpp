// The picture object on real device contexts: plain and sliced drawing, and window shapes
// made of the pixels that are not of a key colour.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/BitmapEx.h"
#include "framework/DeviceContext.h"
#include "tests/controls/ControlsWorld.h"

using namespace controlstest;

namespace {

using Rows = std::vector<std::string>;
const RECT kNoKeep = {0, 0, 0, 0};

// Paints rows into the picture: 'k' is the key colour, any other letter a colour of its own
// that also differs by position.
void Paint(CBitmapEx& picture, const Rows& rows) {
    CMemoryDC dc(nullptr);
    CSelectObject selected(dc.get(), picture.GetSafeHandle());
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
        for (int x = 0; x < static_cast<int>(rows[y].size()); ++x)
            ::SetPixel(dc.get(), x, y, rows[y][x] == 'k' ? kKey : RGB(rows[y][x], 40 + y, 40 + x));
}

void Make(CBitmapEx& picture, const Rows& rows) {
    CClientDC screen(nullptr);
    picture.CreateCompatibleBitmap(screen.get(), static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    Paint(picture, rows);
}

// Each pixel is in the region unless expected has '-' there.
void ExpectRegion(HRGN region, const Rows& expected) {
    ASSERT_NE(nullptr, region);
    for (int y = 0; y < static_cast<int>(expected.size()); ++y)
        for (int x = 0; x < static_cast<int>(expected[y].size()); ++x)
            EXPECT_EQ(expected[y][x] != '-', ::PtInRegion(region, x, y) != 0) << "pixel " << x << "," << y;
}

}  // namespace

TEST(BitmapEx, SlicedDrawingOfTheSameSizeIsThePlainCopyAndRefusesTooSmallSizes) {
    TestDialog dialog;
    Rows rows(12, std::string(12, ' '));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) rows[y][x] = static_cast<char>(20 + 13 * x + 7 * y);
    CBitmapEx picture, narrow;
    Make(picture, rows);
    Make(narrow, Rows(20, std::string(10, 'a')));  // exactly twice the border wide
    CClientDC dc(dialog.m_hWnd);
    EXPECT_TRUE(picture.Draw(dc.get(), 0, 0));
    EXPECT_TRUE(picture.DrawSliced(dc.get(), RECT{20, 0, 32, 12}, SIZE{5, 5}));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) ASSERT_EQ(::GetPixel(dc.get(), x, y), ::GetPixel(dc.get(), x + 20, y));

    const COLORREF untouched = ::GetPixel(dc.get(), 45, 5);
    EXPECT_FALSE(narrow.DrawSliced(dc.get(), RECT{40, 0, 70, 30}, SIZE{5, 5}));
    EXPECT_FALSE(picture.DrawSliced(dc.get(), RECT{40, 0, 50, 30}, SIZE{5, 5}));
    EXPECT_EQ(untouched, ::GetPixel(dc.get(), 45, 5));
}

TEST(BitmapEx, WholeScanLeavesOutEveryKeyPixel) {
    CBitmapEx picture, allKey;
    Make(picture, {"kaakab",  // key at x = 0: the first run starts at 1
                   "kkkkkk",  // a row all key colour adds nothing
                   "abcdef"});
    ExpectRegion(picture.CreateRegion(kKey, kNoKeep), {"-xx-xx", "------", "xxxxxx"});
    Make(allKey, {"kkk", "kkk"});
    RECT box;
    EXPECT_EQ(NULLREGION, ::GetRgnBox(allKey.CreateRegion(kKey, kNoKeep), &box));
    // A colour that no pixel has: the whole picture, in both scans.
    ExpectRegion(picture.CreateRegion(RGB(1, 2, 3), kNoKeep), Rows(3, "xxxxxx"));
    ExpectRegion(picture.CreateRegion(RGB(4, 5, 6), RECT{1, 1, 2, 2}), Rows(3, "xxxxxx"));
}

TEST(BitmapEx, FrameScanLooksOnlyAroundKeep) {
    CBitmapEx picture;
    Make(picture, {"aaaaaa",
                   "akkaaa",    // keep.top: looked at inside keep's columns too
                   "akaaaa",    // inside keep: never looked at
                   "kaaaaa",
                   "aaaaaa",
                   "aaakak"});  // keep.bottom: outside keep
    ExpectRegion(picture.CreateRegion(kKey, RECT{1, 1, 5, 5}),
                 {"xxxxxx", "x--xxx", "xxxxxx", "-xxxxx", "xxxxxx", "xxx-x-"});
}

TEST(BitmapEx, HoldsItsRegionForTheSameKeyAndRebuildsItForAnother) {
    CBitmapEx picture;
    Make(picture, {"akk", "aaa"});
    EXPECT_EQ(nullptr, picture.CreateRegion(CLR_INVALID, kNoKeep));
    HRGN held = picture.CreateRegion(kKey, kNoKeep);
    Paint(picture, {"kaa", "aaa"});
    EXPECT_EQ(held, picture.CreateRegion(kKey, kNoKeep));
    ExpectRegion(held, {"x--", "xxx"});  // the new pixels were not looked at
    ExpectRegion(picture.CreateRegion(RGB('a', 40, 41), kNoKeep), {"x-x", "xxx"});
    ExpectRegion(picture.CreateRegion(kKey, kNoKeep), {"-xx", "xxx"});
    ExpectRegion(picture.CreateRegion(CLR_INVALID, kNoKeep), {"xxx", "xxx"});
}
