// The bitmap button on the tests' own dialog: the picture each state shows, read back from
// the screen, clicks, sizes, the window shape, and hover tracking with the real mouse.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "controls/BmpBtnCtrl.h"
#include "tests/controls/ControlsWorld.h"

using namespace controlstest;

namespace {

class ProbeButton : public CBmpBtnCtrl {
public:
    HRGN HeldShape() const { return m_bmpNormal.m_rgn.GetSafeHandle(); }
    HWND TipWindow() const { return m_toolTip.m_hWnd; }
};

class BmpBtnCtrlTest : public ::testing::Test {
protected:
    TestDialog dialog;

    void Make(CBmpBtnCtrl& button, int id, int x, int y) {
        ASSERT_TRUE(button.SubclassDlgItem(id, &dialog));
        ASSERT_TRUE(button.LoadBitmaps(IDB_NORMAL, IDB_PRESSED, IDB_HOVER, IDB_CHECKED, IDB_DISABLED,
                                       IDB_DISABLED_CHECKED));
        button.SizeToBitmap(x, y);
    }
    // What the button shows at (x, y), by default inside its picture, after a repaint.
    static COLORREF Shown(CBmpBtnCtrl& button, int x = 9, int y = 11) {
        Refresh(button.m_hWnd);
        return PixelAt(button.m_hWnd, x, y);
    }
    RECT PlaceOf(CBmpBtnCtrl& button) {
        RECT rect;
        button.GetWindowRect(&rect);
        dialog.ScreenToClient(&rect);
        return rect;
    }
};

}  // namespace

TEST_F(BmpBtnCtrlTest, PushButtonShowsDisabledThenPressedThenHoverPicture) {
    CBmpBtnCtrl push;
    Make(push, IDC_PUSH, 20, 20);
    push.SetCheck(1);  // a push button has no checked picture
    EXPECT_EQ(kNormal, Shown(push));
    push.SendMessage(WM_MOUSEHOVER);
    EXPECT_EQ(kHover, Shown(push));
    push.SendMessage(BM_SETSTATE, TRUE);
    EXPECT_EQ(kPressed, Shown(push));
    push.EnableWindow(FALSE);
    EXPECT_EQ(kDisabled, Shown(push));
    // Missing pictures: the normal one stands in.
    ASSERT_TRUE(push.LoadBitmaps(IDB_NORMAL, 0, IDB_HOVER));
    EXPECT_EQ(kNormal, Shown(push));
    push.EnableWindow(TRUE);
    EXPECT_EQ(kNormal, Shown(push));
}

TEST_F(BmpBtnCtrlTest, CheckBoxShowsCheckedStatesBeforeHoverAndPress) {
    CBmpBtnCtrl check;
    Make(check, IDC_CHECK, 20, 60);
    check.SendMessage(BM_SETSTATE, TRUE);
    EXPECT_EQ(kPressed, Shown(check));
    check.SendMessage(WM_MOUSEHOVER);
    EXPECT_EQ(kHover, Shown(check));
    check.SetCheck(1);
    EXPECT_EQ(kChecked, Shown(check));
    check.EnableWindow(FALSE);
    EXPECT_EQ(kDisabledChecked, Shown(check));
    check.EnableWindow(TRUE);
    check.SetCheck(0);
    check.EnableWindow(FALSE);
    EXPECT_EQ(kDisabled, Shown(check));
    check.SendMessage(WM_MOUSELEAVE);
    check.SendMessage(BM_SETSTATE, FALSE);
    check.EnableWindow(TRUE);
    EXPECT_EQ(kNormal, Shown(check));
}

TEST_F(BmpBtnCtrlTest, NotificationAndAlignmentStylesLeaveTheKindToTheTypeBits) {
    CBmpBtnCtrl push, check;
    for (const int id : {IDC_PUSH, IDC_CHECK}) {
        const HWND button = dialog.GetDlgItem(id);
        ::SetWindowLongW(button, GWL_STYLE, ::GetWindowLongW(button, GWL_STYLE) | BS_NOTIFY | BS_CENTER | BS_VCENTER);
    }
    Make(push, IDC_PUSH, 20, 20);
    Make(check, IDC_CHECK, 20, 60);
    EXPECT_EQ(BS_PUSHBUTTON, push.GetButtonKind());
    EXPECT_EQ(kNormal, Shown(push));
    ClickAt(check.m_hWnd, 9, 11);
    EXPECT_EQ(1, check.GetCheck());
    EXPECT_EQ(kChecked, Shown(check));
}

TEST_F(BmpBtnCtrlTest, ClicksTickCheckBoxesAndRadioButtons) {
    CBmpBtnCtrl check, radio;
    Make(check, IDC_CHECK, 20, 60);
    Make(radio, IDC_RADIO, 200, 60);
    ClickAt(check.m_hWnd, 9, 11);
    EXPECT_EQ(1, check.GetCheck());
    ClickAt(check.m_hWnd, 9, 11);  // quickly: a double click for the platform
    EXPECT_EQ(0, check.GetCheck());
    check.SetCheck(2);
    ClickAt(check.m_hWnd, 9, 11);
    EXPECT_EQ(0, check.GetCheck());
    ClickAt(radio.m_hWnd, 9, 11);
    ClickAt(radio.m_hWnd, 9, 11);
    EXPECT_EQ(1, radio.GetCheck());

    // The kind stays the style's at the first load, although the style is owner-draw now.
    ASSERT_TRUE(check.LoadBitmaps(IDB_NORMAL, 0, 0, IDB_CHECKED));
    EXPECT_EQ(BS_AUTOCHECKBOX, check.GetButtonKind());
    ClickAt(check.m_hWnd, 9, 11);
    EXPECT_EQ(1, check.GetCheck());

    check.SetCheck(0);
    check.EnableWindow(FALSE);
    check.SetCheck(1);
    EXPECT_EQ(0, check.GetCheck());
    EXPECT_EQ(kNormal, Shown(check));
}

TEST_F(BmpBtnCtrlTest, SizeToBitmapKeepsTheCaptionRoomAndStretchesOnlyTheMiddle) {
    CBmpBtnCtrl check, push;
    ASSERT_TRUE(check.SubclassDlgItem(IDC_CHECK, &dialog));
    RECT client;
    check.GetClientRect(&client);
    ASSERT_TRUE(check.LoadBitmaps(IDB_NORMAL));
    check.SizeToBitmap(12, 34);
    const RECT placed = PlaceOf(check);
    EXPECT_EQ(12, placed.left);
    EXPECT_EQ(34, placed.top);
    EXPECT_EQ(18 + client.right - ::GetSystemMetrics(SM_CXMENUCHECK) + 2, placed.right - placed.left);
    EXPECT_EQ(22, placed.bottom - placed.top);

    ASSERT_TRUE(push.SubclassDlgItem(IDC_PUSH, &dialog));
    const RECT before = PlaceOf(push);
    ASSERT_TRUE(push.LoadBitmaps(IDB_FRAMED));  // 20 x 20, a 5-pixel frame
    push.SizeToBitmap(0, 0);
    const RECT after = PlaceOf(push);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(20, after.right - after.left);
    EXPECT_EQ(kFrame, Shown(push, 4, 4));
    EXPECT_EQ(kMiddle, Shown(push, 5, 5));
    // Larger than the picture: the frame keeps its 5 pixels, only the middle grows.
    push.MoveWindow(after.left, after.top, 60, 30);
    const int across[] = {4, 5, 54, 55}, down[] = {4, 5, 24, 25};
    for (int i = 0; i < 4; ++i) {
        const COLORREF edge = i == 0 || i == 3 ? kFrame : kMiddle;
        EXPECT_EQ(edge, Shown(push, across[i], 15)) << "column " << across[i];
        EXPECT_EQ(edge, Shown(push, 30, down[i])) << "row " << down[i];
    }
}

TEST_F(BmpBtnCtrlTest, ShapeGoesToTheWindowAsACopy) {
    ProbeButton push;
    ASSERT_TRUE(push.SubclassDlgItem(IDC_PUSH, &dialog));
    ASSERT_TRUE(push.LoadBitmaps(IDB_SHAPED));  // 20 x 12, key-coloured 2 x 2 corners
    push.SetShape(kKey, RECT{0, 0, 0, 0});
    push.SizeToBitmap(20, 20);
    push.SizeToBitmap(0, 0);
    CRgn shape;
    shape.CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(COMPLEXREGION, ::GetWindowRgn(push.m_hWnd, shape.GetSafeHandle()));
    EXPECT_FALSE(::PtInRegion(shape.GetSafeHandle(), 1, 1));
    EXPECT_TRUE(::PtInRegion(shape.GetSafeHandle(), 2, 0));
    // The window deletes its region with itself; the picture's own stays usable.
    ::DestroyWindow(push.m_hWnd);
    EXPECT_EQ(static_cast<DWORD>(OBJ_REGION), ::GetObjectType(push.HeldShape()));
}

TEST_F(BmpBtnCtrlTest, RestingMouseShowsHoverPictureCursorAndTip) {
    ProbeButton push;
    Make(push, IDC_PUSH, 20, 20);
    const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    push.SetHoverCursor(hand);
    push.SetTipText(IDS_TIP);
    MouseAt(push.m_hWnd, 9, 9);
    EXPECT_TRUE(PumpUntil(2000, [&] { return Shown(push) == kHover; }));
    EXPECT_EQ(hand, ::GetCursor());
    wchar_t tip[80] = {};
    TOOLINFOW tool = {TTTOOLINFOW_V2_SIZE, 0, push.m_hWnd, 0, {}, nullptr, tip, 0, nullptr};
    ::SendMessageW(push.TipWindow(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(L"Close the wizard", tip);
    MouseAt(dialog.m_hWnd, 500, 200);
    EXPECT_TRUE(PumpUntil(2000, [&] { return Shown(push) == kNormal; }));
}
