// The skinned controls at a display scale other than 100 %: a picture without a set made for the
// scale is made its size with the area filter, the buttons take their pictures, margins and focus
// marks at their scale, a label its points; and the window's own buttons, which show pictures
// only, carry their words as tooltip and name.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "controls/BitmapEx.h"
#include "controls/BmpBtnCtrl.h"
#include "controls/FocusMark.h"
#include "controls/Label.h"
#include "framework/DeviceContext.h"
#include "tests/controls/ControlsWorld.h"

using namespace controlstest;

namespace {

COLORREF PictureAt(const CBitmapEx& picture, int x, int y) {
    CMemoryDC dc(nullptr);
    CSelectObject selected(dc.get(), picture.GetSafeHandle());
    return ::GetPixel(dc.get(), x, y);
}

class ProbeButton : public CBmpBtnCtrl {
public:
    HWND TipWindow() const { return m_toolTip.m_hWnd; }
};

class ControlsAtAScale : public ::testing::Test {
protected:
    TestDialog dialog;
};

}  // namespace

TEST_F(ControlsAtAScale, PictureWithoutASetForTheScaleIsMadeItsSizeByTheAreaFilter) {
    // 20 x 20: a frame 5 pixels wide around a 10 x 10 middle; at 125 %, 25 x 25.
    CBitmapEx picture;
    ASSERT_TRUE(picture.LoadForDpi(::GetModuleHandleW(nullptr), IDB_FRAMED, 120));
    EXPECT_EQ(25, picture.GetSize().cx);
    EXPECT_EQ(25, picture.GetSize().cy);
    // Pixel 6 covers [4.8, 5.6) of the old row: a quarter frame, three quarters middle.
    const int frame[] = {GetRValue(kFrame), GetGValue(kFrame), GetBValue(kFrame)};
    const int middle[] = {GetRValue(kMiddle), GetGValue(kMiddle), GetBValue(kMiddle)};
    auto mix = [&](int c) { return (frame[c] + 3 * middle[c] + 2) / 4; };
    EXPECT_EQ(RGB(mix(0), mix(1), mix(2)), PictureAt(picture, 6, 12));
    EXPECT_EQ(kFrame, PictureAt(picture, 2, 12));
    EXPECT_EQ(kMiddle, PictureAt(picture, 12, 12)) << "[9.6, 10.4) lies in the middle";
    // At 100 % the bitmap itself.
    ASSERT_TRUE(picture.LoadForDpi(::GetModuleHandleW(nullptr), IDB_FRAMED, 96));
    EXPECT_EQ(20, picture.GetSize().cx);
}

TEST_F(ControlsAtAScale, ButtonsTakeTheirPicturesAndMarginsAtTheirScale) {
    CBmpBtnCtrl push, check;
    ASSERT_TRUE(push.SubclassDlgItem(IDC_PUSH, &dialog));
    ASSERT_TRUE(check.SubclassDlgItem(IDC_CHECK, &dialog));
    ASSERT_TRUE(push.LoadBitmaps(IDB_NORMAL, IDB_PRESSED, IDB_HOVER));
    ASSERT_TRUE(check.LoadBitmaps(IDB_NORMAL, 0, 0, IDB_CHECKED));
    push.SizeToBitmap(20, 20);
    check.SizeToBitmap(20, 60);
    RECT at100, checkAt100;
    push.GetClientRect(&at100);
    check.GetClientRect(&checkAt100);
    EXPECT_EQ(18, at100.right);

    push.SetDpi(144);
    check.SetDpi(144);
    push.SizeToBitmap(0, 0);
    check.SizeToBitmap(0, 0);
    RECT rect;
    push.GetClientRect(&rect);
    EXPECT_EQ(27, rect.right) << "18 pixels at 150 %";
    EXPECT_EQ(27, rect.bottom);
    check.GetClientRect(&rect);
    EXPECT_EQ(27 + 6, rect.bottom) << "the picture and 4 pixels at 150 %";
    EXPECT_EQ(::MulDiv(checkAt100.right - 18, 144, 96), rect.right - 27) << "the caption's room, scaled";
    Refresh(push.m_hWnd);
    EXPECT_EQ(kNormal, PixelAt(push.m_hWnd, 25, 25));
    check.SetCheck(1);
    Refresh(check.m_hWnd);
    EXPECT_EQ(kChecked, PixelAt(check.m_hWnd, 13, 16));
}

TEST_F(ControlsAtAScale, FocusMarkKeepsItsDotsAtEveryScale) {
    CClientDC screen(nullptr);
    CMemoryDC dc(screen.get());
    CBitmap surface;
    surface.CreateCompatibleBitmap(screen.get(), 20, 12);
    CSelectObject selected(dc.get(), surface.GetSafeHandle());
    const RECT all = {0, 0, 20, 12};
    ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    DrawFocusMark(dc.get(), all, RGB(255, 255, 255), 2);
    const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
    // Dots 2 x 2, 2 apart, along each edge; the inside untouched.
    for (int x : {0, 1, 4, 5, 16, 17}) EXPECT_EQ(white, ::GetPixel(dc.get(), x, 0)) << x;
    for (int x : {2, 3, 6, 7}) EXPECT_EQ(black, ::GetPixel(dc.get(), x, 1)) << x;
    EXPECT_EQ(white, ::GetPixel(dc.get(), 1, 11));
    EXPECT_EQ(white, ::GetPixel(dc.get(), 0, 4));
    EXPECT_EQ(black, ::GetPixel(dc.get(), 0, 2));
    EXPECT_EQ(black, ::GetPixel(dc.get(), 8, 6));
}

TEST_F(ControlsAtAScale, LabelsPointsFollowItsScale) {
    CLabel label;
    ASSERT_TRUE(label.SubclassDlgItem(IDC_LEFT, &dialog));
    auto height = [&] {
        LOGFONTW font = {};
        ::GetObjectW(label.GetFont(), sizeof font, &font);
        return font.lfHeight;
    };
    label.SetDpi(144).SetFontName(L"Arial", 0).SetFontSize(10);
    EXPECT_EQ(-20, height()) << "10 points at 144 dots per inch";
    label.SetDpi(192);
    EXPECT_EQ(-27, height());
    label.SetDpi(96);
    EXPECT_EQ(-13, height());
}

TEST_F(ControlsAtAScale, PictureOnlyButtonShowsItsWordsAsItsTipNotOnItsFace) {
    ProbeButton close;
    ASSERT_TRUE(close.SubclassDlgItem(IDC_PUSH, &dialog));
    ASSERT_TRUE(close.LoadBitmaps(IDB_FRAMED));
    close.SizeToBitmap(20, 20);
    close.SetWindowText(L"Close");
    close.SetPictureOnly(TRUE);
    Refresh(close.m_hWnd);
    EXPECT_EQ(kMiddle, PixelAt(close.m_hWnd, 10, 10)) << "no caption over the picture";
    EXPECT_EQ(nullptr, close.TipWindow()) << "no tooltip before the mouse comes";
    MouseAt(close.m_hWnd, 9, 9);
    EXPECT_TRUE(PumpUntil(2000, [&] { return close.TipWindow() != nullptr; }));
    ASSERT_TRUE(PumpUntil(2000, [&] {
        wchar_t tip[80] = {};
        TOOLINFOW tool = {TTTOOLINFOW_V2_SIZE, 0, close.m_hWnd, 0, {}, nullptr, tip, 0, nullptr};
        ::SendMessageW(close.TipWindow(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        return std::wstring(tip) == L"Close";
    })) << "the tooltip says the button's words";
    MouseAt(dialog.m_hWnd, 500, 200);
}
