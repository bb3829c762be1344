// The label on the tests' own dialog, read back from the screen: text formats per style,
// gradient bands, flashing, and what a click on a link does.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "controls/Label.h"
#include "tests/controls/ControlsWorld.h"

using namespace controlstest;

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

// Records what a click would open instead of asking the shell.
class ProbeLabel : public CLabel {
public:
    std::vector<std::pair<std::wstring, std::wstring>> m_opened;  // verb ("" = default), target
    std::wstring Face() const { return m_lf.lfFaceName; }

protected:
    void OpenLink(const wchar_t* verb, const wchar_t* target) override {
        m_opened.emplace_back(verb ? verb : L"", target);
    }
};

class LabelTest : public ::testing::Test {
protected:
    TestDialog dialog;

    // Black text on white at (x, y), width x height pixels.
    void Make(CLabel& label, int id, const wchar_t* text, int x, int y, int width, int height) {
        ASSERT_TRUE(label.SubclassDlgItem(id, &dialog));
        label.MoveWindow(x, y, width, height);
        label.SetBkColor(kWhite).SetTextColor(RGB(0, 0, 0)).SetText(text);
    }
    static RECT InkOf(CLabel& label, const wchar_t* text) {
        label.SetText(text);
        return Ink(label.m_hWnd, kWhite);
    }
    // Colour and width of each run of equal pixels along row y.
    static std::vector<std::pair<COLORREF, int>> Runs(CLabel& label, int y) {
        std::vector<std::pair<COLORREF, int>> runs;
        RECT client;
        label.GetClientRect(&client);
        for (int x = 0; x < client.right; ++x) {
            const COLORREF colour = PixelAt(label.m_hWnd, x, y);
            if (runs.empty() || runs.back().first != colour) runs.emplace_back(colour, 0);
            ++runs.back().second;
        }
        return runs;
    }
};

}  // namespace

TEST_F(LabelTest, TextIsFormattedByTheStaticStyle) {
    const wchar_t kLong[] = L"one two three four five six seven eight nine ten eleven twelve";
    ProbeLabel left, center, right, noWrap, centerImage;
    Make(left, IDC_LEFT, L"", 0, 0, 195, 60);
    Make(center, IDC_CENTER, L"", 200, 0, 195, 60);
    Make(right, IDC_RIGHT, L"", 400, 0, 195, 60);
    Make(noWrap, IDC_NOWRAP, L"", 600, 0, 195, 60);
    Make(centerImage, IDC_CENTERIMAGE, L"", 800, 0, 195, 60);
    TEXTMETRICW font = {};
    HDC dc = ::GetDC(dialog.m_hWnd);
    ::SelectObject(dc, dialog.GetFont());
    ::GetTextMetricsW(dc, &font);
    ::ReleaseDC(dialog.m_hWnd, dc);
    const int line = font.tmHeight;

    RECT ink = InkOf(left, kLong);
    EXPECT_LT(ink.left, 3);
    EXPECT_GT(ink.bottom - ink.top, line) << "wrapped";
    ink = InkOf(noWrap, kLong);
    EXPECT_LE(ink.bottom - ink.top, line) << "one line";
    EXPECT_GE(ink.right, 193);
    ink = InkOf(center, L"Hi");
    EXPECT_NEAR(97, (ink.left + ink.right) / 2, 2);
    EXPECT_LT(ink.top, line / 2);
    EXPECT_GE(InkOf(right, L"Hi").right, 192);
    ink = InkOf(centerImage, L"Hi");
    EXPECT_NEAR(97, (ink.left + ink.right) / 2, 2);
    EXPECT_NEAR(30, (ink.top + ink.bottom) / 2, 3) << "centred vertically";
    // With a line break the centred image style keeps both lines, from the top.
    ink = InkOf(centerImage, L"One\r\nTwo");
    EXPECT_LT(ink.top, line / 2);
    EXPECT_GT(ink.bottom - ink.top, line);
    // Tabs are expanded, except in the centred image style.
    ink = InkOf(left, L"A\tB");
    EXPECT_GT(ink.right - ink.left, 5 * font.tmAveCharWidth);
    ink = InkOf(centerImage, L"A\tB");
    EXPECT_LT(ink.right - ink.left, 4 * font.tmAveCharWidth);
}

TEST_F(LabelTest, GradientHasOneBandPerColumnUpToAHundred) {
    ProbeLabel narrow, wide;
    Make(narrow, IDC_LEFT, L"", 0, 0, 50, 20);
    narrow.SetBkColor(RGB(250, 200, 100), RGB(0, 0, 0), 1);
    Make(wide, IDC_CENTER, L"", 0, 30, 1000, 20);
    wide.SetBkColor(RGB(0, 10, 20), RGB(200, 110, 60), 1);

    const auto bands = Runs(narrow, 10);
    ASSERT_EQ(50u, bands.size());
    EXPECT_EQ(RGB(250, 200, 100), bands.front().first);
    for (size_t i = 1; i < bands.size(); ++i) EXPECT_LT(GetRValue(bands[i].first), GetRValue(bands[i - 1].first));
    EXPECT_EQ(bands, Runs(narrow, 19)) << "the bottom row";
    const auto wideBands = Runs(wide, 10);
    ASSERT_EQ(100u, wideBands.size());
    for (const auto& band : wideBands) EXPECT_EQ(10, band.second);
}

TEST_F(LabelTest, FlashingTextStartsHiddenAndComesBack) {
    ProbeLabel label;
    Make(label, IDC_LEFT, L"Flash", 0, 0, 200, 30);
    auto shows = [&] { return Ink(label.m_hWnd, kWhite).right > 0; };
    label.FlashText(TRUE);
    Refresh(label.m_hWnd);
    EXPECT_FALSE(shows());
    EXPECT_TRUE(PumpUntil(1500, shows));
    EXPECT_TRUE(PumpUntil(1500, [&] { return !shows(); }));
    label.FlashText(FALSE);
    Refresh(label.m_hWnd);
    EXPECT_TRUE(shows());
}

TEST_F(LabelTest, FaceNameLongerThanTheRecordIsCut) {
    ProbeLabel label;
    Make(label, IDC_LEFT, L"Face", 0, 0, 200, 30);
    label.SetFontName(L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 0).SetFontSize(10);
    EXPECT_EQ(L"ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", label.Face());
}

TEST_F(LabelTest, ClickOpensTheLinkOrOnlyNotifiesTheParent) {
    ProbeLabel mail, web;
    Make(mail, IDC_LEFT, L"help@example.com", 0, 0, 200, 20);
    Make(web, IDC_CENTER, L"http://example.com/", 0, 30, 200, 20);
    mail.SetMailLink(TRUE, FALSE);
    web.SetLink(TRUE, FALSE);
    ClickAt(mail.m_hWnd, 100, 10);
    ClickAt(web.m_hWnd, 100, 10);
    using Opened = std::vector<std::pair<std::wstring, std::wstring>>;
    EXPECT_EQ((Opened{{L"", L"mailto:help@example.com"}}), mail.m_opened);
    EXPECT_EQ((Opened{{L"open", L"http://example.com/"}}), web.m_opened);

    web.SetLink(TRUE, TRUE);
    ClickAt(web.m_hWnd, 150, 10);  // not a double click
    EXPECT_EQ(1u, web.m_opened.size());
    ASSERT_EQ(1u, dialog.m_notifications.size());
    EXPECT_EQ(web.m_hWnd, dialog.m_notifications[0].hwndFrom);
    EXPECT_EQ(static_cast<UINT_PTR>(IDC_CENTER), dialog.m_notifications[0].idFrom);
    EXPECT_EQ(CLabel::kClickNotification, dialog.m_notifications[0].code);
}
