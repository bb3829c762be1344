// The wizard dialog run modally in this process, driven by posted steps, with the recording
// platform behind its worker.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "engine/worker/SetupWorker.h"
#include "framework/DeviceContext.h"
#include "framework/PicturePreload.h"
#include "framework/PngDecoder.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/ScriptedWizard.h"

using namespace testsupport;
using namespace uitest;

namespace {

// One row of the state table: what is shown, what is enabled, which texts stand.
struct Row {
    bool action, actionEnabled, finish, cancelEnabled, frameEnabled, progress, launch;
    const wchar_t* prompt;
    const wchar_t* note;
};

// The button's own drawing, into a bitmap of its size: what it shows, whatever covers it.
std::vector<COLORREF> Render(HWND button) {
    RECT rc;
    ::GetClientRect(button, &rc);
    CClientDC screen(nullptr);
    CMemoryDC memory(screen.get());
    CBitmap surface;
    surface.CreateCompatibleBitmap(screen.get(), rc.right, rc.bottom);
    CSelectObject select(memory.get(), surface.GetSafeHandle());
    ::SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < rc.bottom; ++y)
        for (int x = 0; x < rc.right; ++x) pixels.push_back(::GetPixel(memory.get(), x, y));
    return pixels;
}

// Every pixel of a bitmap as 0x00RRGGBB, rows top down.
std::vector<DWORD> Pixels(HBITMAP bitmap) {
    BITMAP info = {};
    ::GetObjectW(bitmap, sizeof info, &info);
    std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    CBitmap::ReadPixels(bitmap, info.bmWidth, info.bmHeight, pixels.data());
    for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

std::vector<LONG> Edges(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

RECT WindowRect(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    return r;
}

// A control's rectangle in the dialog's client area.
RECT PlaceOf(ScriptedDlg& d, int id) {
    RECT r = WindowRect(d.GetDlgItem(id));
    ::MapWindowPoints(nullptr, d.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LONG PromptFontHeight(ScriptedDlg& d) {
    LOGFONTW font = {};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(d.GetDlgItem(IDC_PROMPT), WM_GETFONT, 0, 0)), sizeof font,
                 &font);
    return font.lfHeight;
}

// The contrast ratio of two colours by their relative luminance, 1 to 21.
double Contrast(COLORREF a, COLORREF b) {
    auto luminance = [](COLORREF c) {
        double sum = 0;
        for (auto [v, weight] : {std::pair{GetRValue(c), 0.2126}, {GetGValue(c), 0.7152}, {GetBValue(c), 0.0722}}) {
            const double s = v / 255.0;
            sum += weight * (s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4));
        }
        return sum + 0.05;
    };
    return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
}

void ExpectRow(ScriptedDlg& dlg, const Row& row, const char* where) {
    SCOPED_TRACE(where);
    EXPECT_EQ(row.action, dlg.Visible(IDC_ACTION));
    EXPECT_EQ(row.actionEnabled, dlg.Enabled(IDC_ACTION));
    EXPECT_EQ(row.finish, dlg.Visible(IDOK));
    EXPECT_TRUE(dlg.Visible(IDCANCEL));
    EXPECT_EQ(row.cancelEnabled, dlg.Enabled(IDCANCEL));
    EXPECT_EQ(row.frameEnabled, dlg.Enabled(IDC_CLOSE));
    EXPECT_EQ(row.frameEnabled, dlg.Enabled(IDC_MINIMIZE));
    EXPECT_EQ(row.progress, dlg.Visible(IDC_PROGRESS));
    EXPECT_EQ(row.launch, dlg.Visible(IDC_LAUNCH_CHECK));
    EXPECT_EQ(row.launch, dlg.Visible(IDC_LAUNCH_TEXT));
    EXPECT_EQ(row.prompt, dlg.Text(IDC_PROMPT));
    EXPECT_EQ(row.note, dlg.Text(IDC_NOTE));
}

const wchar_t kInstallPrompt[] = L"Click Install to start the installation. Click Cancel to leave the wizard.";
const wchar_t kRemovePrompt[] = L"Click Remove to start the removal. Click Cancel to leave the wizard.";
const wchar_t kFinishPrompt[] = L"Click Finish to leave the wizard.";
const wchar_t kInstallFailed[] = L"Setup did not complete. Every change was undone.";
const wchar_t kRemoveFailed[] = L"Removal did not complete. Run it again to remove the rest.";

}  // namespace

TEST_F(WizardDialog, InstallStatesFollowTheProgressCodes) {
    const INT_PTR result = Run(0, {
        [](ScriptedDlg& d) {
            ExpectRow(d, {true, true, false, true, true, false, false, kInstallPrompt, L" "}, "ready");
            EXPECT_EQ(L"Install", d.Text(IDC_ACTION));
            EXPECT_EQ(L"Cancel", d.Text(IDCANCEL));
            EXPECT_EQ(L"Kestrin HW RAID Manager Setup", WindowText(d.m_hWnd)) << "the window's name";
            EXPECT_EQ(L"", d.Text(IDC_TITLE)) << "the background's picture shows the title";
            EXPECT_TRUE(d.PumpUntil([&] { return d.SendMessage(WM_GETICON, ICON_BIG) && d.SendMessage(WM_GETICON, ICON_SMALL); }))
                << "the window's icons, once it is painted";
            d.OnSetupProgress(PROGRESS_INSTALL_BEGIN, 0);
            ExpectRow(d, {true, false, false, false, false, true, false, L"Starting to copy files", L" "}, "running");
            EXPECT_EQ(0, d.Progress());
            d.OnTimer(7);
            EXPECT_EQ(0, d.Progress()) << "another timer moves nothing";
            for (int i = 0; i < 25; ++i) d.OnTimer(CLangSetupDlg::kProgressTimerId);
            EXPECT_EQ(95, d.Progress()) << "the bar stops at 95";
            d.OnSetupProgress(0x0100 | PROGRESS_INSTALL_END, 1);  // only the low byte counts
            ExpectRow(d, {false, false, true, false, true, false, true, kFinishPrompt, L" "}, "completed");
            EXPECT_EQ(100, d.Progress());
            EXPECT_EQ(1, d.Check()) << "launching is the default";
            d.Click(IDOK);
        }});
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(m_launch);
    EXPECT_TRUE(m_succeeded);
}

TEST_F(WizardDialog, RemovalStatesFollowTheProgressCodes) {
    const INT_PTR result = Run(1, {
        [](ScriptedDlg& d) {
            ExpectRow(d, {true, true, false, true, true, false, false, kRemovePrompt, L" "}, "ready");
            EXPECT_EQ(L"Remove", d.Text(IDC_ACTION));
            d.OnSetupProgress(PROGRESS_REMOVE_BEGIN, 0);
            ExpectRow(d, {true, false, false, false, false, true, false, L"Deleting files...", L" "}, "running");
            d.OnTimer(CLangSetupDlg::kProgressTimerId);
            EXPECT_EQ(5, d.Progress());
            d.OnSetupProgress(PROGRESS_REMOVE_END, 1);
            ExpectRow(d, {false, false, true, false, true, true, false, kFinishPrompt, L" "}, "completed");
            EXPECT_EQ(100, d.Progress()) << "the bar stays, full";
            d.Click(IDOK);
        }});
    EXPECT_EQ(IDOK, result);
    EXPECT_FALSE(m_launch) << "nothing to launch after a removal";
}

TEST_F(WizardDialog, FailedWorkEndsOnItsSentenceWithoutLaunchBox) {
    for (int bRemove : {0, 1}) {
        const INT_PTR result = Run(bRemove, {
            [bRemove](ScriptedDlg& d) {
                d.OnSetupProgress(bRemove ? PROGRESS_REMOVE_BEGIN : PROGRESS_INSTALL_BEGIN, 0);
                d.OnTimer(CLangSetupDlg::kProgressTimerId);
                d.OnSetupProgress(bRemove ? PROGRESS_REMOVE_END : PROGRESS_INSTALL_END, 0);
                ExpectRow(d, {false, false, true, false, true, true, false, kFinishPrompt,
                              bRemove ? kRemoveFailed : kInstallFailed},
                          "failed");
                EXPECT_EQ(5, d.Progress()) << "the bar stays where it was";
                EXPECT_FALSE(d.InstallDone());
                d.Click(IDOK);
            }});
        EXPECT_EQ(IDOK, result);
        EXPECT_FALSE(m_launch);
        EXPECT_TRUE(m_completed);
        EXPECT_FALSE(m_succeeded);
    }
}

TEST_F(WizardDialog, LaunchFlagFollowsTheBoxAndOnlyFinish) {
    // Unticked by a click before Finish.
    EXPECT_EQ(IDOK, Run(0, {[](ScriptedDlg& d) {
                                d.OnSetupProgress(PROGRESS_INSTALL_BEGIN, 0);
                                d.OnSetupProgress(PROGRESS_INSTALL_END, 1);
                                d.Click(IDC_LAUNCH_CHECK);
                            },
                            [](ScriptedDlg& d) {
                                EXPECT_EQ(0, d.Check());
                                d.Click(IDOK);
                            }}));
    EXPECT_FALSE(m_launch);

    // The window's close button once the work has ended: the wizard ends, without a launch.
    EXPECT_EQ(IDCANCEL, Run(0, {[](ScriptedDlg& d) {
                                    d.OnSetupProgress(PROGRESS_INSTALL_BEGIN, 0);
                                    d.OnSetupProgress(PROGRESS_INSTALL_END, 1);
                                    d.Click(IDC_CLOSE);
                                }}));
    EXPECT_FALSE(m_launch);
    EXPECT_TRUE(m_succeeded);

    // Cancel in the Ready state.
    EXPECT_EQ(IDCANCEL, Run(0, {[](ScriptedDlg& d) { d.Click(IDCANCEL); }}));
    EXPECT_FALSE(m_launch);
    EXPECT_FALSE(m_completed);
}

TEST_F(WizardDialog, WindowTakesTheBackgroundsSizeCentredAndItsShape) {
    Run(0, {[](ScriptedDlg& d) {
        RECT rect;
        ::GetWindowRect(d.m_hWnd, &rect);
        EXPECT_EQ(::GetSystemMetrics(SM_CXSCREEN) / 2 - kWidth / 2, rect.left);
        EXPECT_EQ(::GetSystemMetrics(SM_CYSCREEN) / 2 - kHeight / 2, rect.top);
        EXPECT_EQ(kWidth, rect.right - rect.left);
        EXPECT_EQ(kHeight, rect.bottom - rect.top);
        CRgn shape;
        shape.CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(ERROR, ::GetWindowRgn(d.m_hWnd, shape.GetSafeHandle()))
            << "no key colour in the shipped skin: the whole rectangle, which needs no region";
        d.Click(IDCANCEL);
    }});
}

TEST_F(WizardDialog, MagentaCornersBecomeHolesLikeThePixelScan) {
    // The reference: one GetPixel per pixel and one region per run, as the window's shape is defined.
    CRgn expected;
    auto cutCorners = [&expected](CBitmap& background) {
        BITMAP info = {};
        background.GetBitmap(&info);
        CClientDC screen(nullptr);
        CMemoryDC memory(screen.get());
        CSelectObject select(memory.get(), background.GetSafeHandle());
        HBRUSH magenta = ::CreateSolidBrush(RGB(255, 0, 255));
        for (const RECT& corner : {RECT{0, 0, 20, 12}, RECT{info.bmWidth - 9, 0, info.bmWidth, 30},
                                   RECT{0, info.bmHeight - 5, 7, info.bmHeight}})
            ::FillRect(memory.get(), &corner, magenta);
        ::SetPixel(memory.get(), 300, 200, RGB(255, 0, 255));
        ::DeleteObject(magenta);
        expected.CreateRectRgn(0, 0, 0, 0);
        for (int y = 0; y < info.bmHeight; ++y) {
            for (int x = 0; x < info.bmWidth;) {
                const int start = x;
                while (x < info.bmWidth && ::GetPixel(memory.get(), x, y) != RGB(255, 0, 255)) ++x;
                if (x > start) {
                    CRgn run;
                    run.CreateRectRgn(start, y, x, y + 1);
                    expected.CombineRgn(expected.GetSafeHandle(), run.GetSafeHandle(), RGN_OR);
                }
                ++x;
            }
        }
    };
    Run(0,
        {[&expected](ScriptedDlg& d) {
            CRgn shape;
            shape.CreateRectRgn(0, 0, 0, 0);
            ::GetWindowRgn(d.m_hWnd, shape.GetSafeHandle());
            EXPECT_TRUE(::EqualRgn(shape.GetSafeHandle(), expected.GetSafeHandle()));
            EXPECT_FALSE(::PtInRegion(shape.GetSafeHandle(), 0, 0));
            EXPECT_FALSE(::PtInRegion(shape.GetSafeHandle(), 300, 200));
            EXPECT_TRUE(::PtInRegion(shape.GetSafeHandle(), 301, 200));
            d.Click(IDCANCEL);
        }},
        cutCorners);
}

TEST_F(WizardDialog, RunningStateIgnoresKeysAndCloseAndStartsOneWorker) {
    m_gated.Close();
    GatedPlatform& gated = m_gated;
    const INT_PTR result = Run(0, {
        [](ScriptedDlg& d) {
            d.Click(IDC_ACTION);
            d.Click(IDC_ACTION);  // a second click before the worker has reported anything
        },
        [](ScriptedDlg& d) {
            EXPECT_FALSE(d.Enabled(IDC_ACTION)) << "disabled at the click itself";
            ASSERT_TRUE(d.PumpUntil([&] { return d.Visible(IDC_PROGRESS); })) << "the begin code arrived";
            HWND self = d.m_hWnd;
            ::PostMessageW(self, WM_KEYDOWN, VK_ESCAPE, 0);
            ::PostMessageW(self, WM_KEYDOWN, VK_RETURN, 0);
            ::PostMessageW(self, WM_SYSKEYDOWN, VK_F4, 1 << 29);  // Alt+F4
            ::PostMessageW(self, WM_SYSCOMMAND, SC_CLOSE, 0);
            ::PostMessageW(self, WM_CLOSE, 0, 0);
            d.Click(IDCANCEL);
        },
        [&gated](ScriptedDlg& d) {
            EXPECT_TRUE(::IsWindowVisible(d.m_hWnd)) << "still there";
            EXPECT_FALSE(d.WorkCompleted());
            gated.Open();
            ASSERT_TRUE(d.PumpUntil([&] { return d.WorkCompleted(); }, 20000));
            d.Click(IDOK);
        }});
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(m_succeeded);
    EXPECT_EQ((std::vector<std::wstring>{L"PostMessage 1124 1 0", L"PostMessage 1124 2 1"}),
              m_gated.CallsStartingWith({L"PostMessage"}));
}

TEST_F(WizardDialog, DisabledCancelIsReadableOnItsFace) {
    Run(0, {[](ScriptedDlg& d) {
        d.OnSetupProgress(PROGRESS_INSTALL_BEGIN, 0);
        d.OnSetupProgress(PROGRESS_INSTALL_END, 1);
        HWND cancel = d.GetDlgItem(IDCANCEL);
        ASSERT_FALSE(::IsWindowEnabled(cancel));
        const std::vector<COLORREF> shown = Render(cancel);
        ::SetWindowTextW(cancel, L"");
        const std::vector<COLORREF> face = Render(cancel);
        // The caption's colour stands where it differs most from the face (smoothed edges less);
        // it must stand out from every pixel of the face beneath the caption.
        size_t core = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            if (Contrast(shown[i], face[i]) > Contrast(shown[core], face[core])) core = i;
        for (size_t i = 0; i < shown.size(); ++i) {
            if (shown[i] == face[i]) continue;
            ASSERT_GE(Contrast(shown[core], face[i]), 3.0) << "pixel " << i;
        }
        d.Click(IDOK);
    }});
}

TEST(WizardPictures, MadeAheadOnTheirThreadTheyAreThePicturesMadeWhenAskedFor) {
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    // The scale the thread takes is the test's: the mapping stands in for the screen's.
    static UINT scale = 0;
    auto forScale = [](UINT nId, UINT) {
        const UINT scaled = CBitmapEx::ScaledSetId(nId, scale);
        return scaled ? scaled : nId;
    };
    const UINT ids[] = {IDB_BUTTON_NORMAL, IDB_CHECK_TICKED, IDB_BACKGROUND};
    for (UINT dpi : {96u, 192u}) {
        scale = dpi;
        std::vector<std::vector<DWORD>> ahead;
        {
            CPicturePreload preload;
            preload.Start(module, ids, ARRAYSIZE(ids), forScale);
            CBitmap taken;
            ASSERT_TRUE(CPicturePreload::Take(module, forScale(IDB_BACKGROUND, 0), taken)) << "made ahead at " << dpi;
            for (UINT id : ids) {
                CBitmapEx picture;
                ASSERT_TRUE(picture.LoadForDpi(module, id, dpi)) << id << " at " << dpi;
                ahead.push_back(Pixels(picture.GetSafeHandle()));
                // Each taker gets a copy of its own: the buttons share the push button's pictures.
                CBitmapEx again;
                ASSERT_TRUE(again.LoadForDpi(module, id, dpi));
                EXPECT_NE(picture.GetSafeHandle(), again.GetSafeHandle());
            }
        }
        for (size_t i = 0; i < ARRAYSIZE(ids); ++i) {
            CBitmapEx direct;
            ASSERT_TRUE(direct.LoadForDpi(module, ids[i], dpi));
            EXPECT_TRUE(Pixels(direct.GetSafeHandle()) == ahead[i]) << ids[i] << " at " << dpi;
        }
    }
}

TEST_F(WizardDialog, MovedToAMonitorOfAnotherScaleItIsLaidOutAgainThere) {
    Run(0, {[](ScriptedDlg& d) {
        ASSERT_EQ(96u, d.GetDpi()) << "the test program runs at the prefix's 100 %";
        d.OnSetupProgress(PROGRESS_INSTALL_BEGIN, 0);
        d.OnSetupProgress(PROGRESS_INSTALL_END, 1);
        const std::vector<DWORD> before = Pixels(d.Background());
        // What the platform sends when the window has moved onto a monitor at 150 %.
        RECT suggested = {40, 30, 40 + 876, 30 + 621};
        d.SendMessage(WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));

        EXPECT_EQ(Edges(suggested), Edges(WindowRect(d.m_hWnd))) << "at the suggested rectangle, 150 % of the design";
        EXPECT_EQ(Edges({684, 561, 684 + 150, 561 + 35}), Edges(PlaceOf(d, IDCANCEL))) << "(456, 374), 100 x 23";
        EXPECT_EQ(Edges({828, 17, 828 + 24, 17 + 24}), Edges(PlaceOf(d, IDC_CLOSE))) << "(552, 11), 16 x 16";
        EXPECT_TRUE(d.Visible(IDC_LAUNCH_CHECK)) << "the page keeps what it shows";
        EXPECT_FALSE(d.Visible(IDC_ACTION));
        EXPECT_EQ(-::MulDiv(10, 144, 72), PromptFontHeight(d)) << "10 points at 150 %";
        CBitmap madeFor150;
        ASSERT_TRUE(CPngDecoder::LoadResource(::GetModuleHandleW(nullptr), IDB_BACKGROUND + 2000, madeFor150));
        EXPECT_TRUE(Pixels(d.Background()) == Pixels(madeFor150.GetSafeHandle())) << "the background made for 150 %";

        // And back: the 100 % window, pictures and places.
        suggested = RECT{100, 80, 100 + 584, 80 + 414};
        d.SendMessage(WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&suggested));
        EXPECT_EQ(Edges(suggested), Edges(WindowRect(d.m_hWnd)));
        EXPECT_EQ(Edges({456, 374, 556, 397}), Edges(PlaceOf(d, IDCANCEL)));
        EXPECT_EQ(-::MulDiv(10, 96, 72), PromptFontHeight(d));
        EXPECT_TRUE(Pixels(d.Background()) == before);
        d.Click(IDOK);
    }});
}
