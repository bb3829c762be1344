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
#include "engine/SetupWorker.h"
#include "framework/DeviceContext.h"
#include "res/resource.h"
#include "tests/support/EngineWorld.h"
#include "tests/support/TestSupport.h"
#include "ui/LangSetupDlg.h"

using namespace testsupport;

namespace {

constexpr UINT kRunStep = WM_APP + 1;
constexpr int kWidth = 584;
constexpr int kHeight = 414;

// The worker's platform: the recording fake, whose progress posts also reach the real window,
// and whose first step can be held so that the dialog stays in its Running state.
class GatedPlatform : public FakePlatform {
public:
    GatedPlatform() : m_gate(::CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}
    void Close() { ::ResetEvent(m_gate.get()); }
    void Open() { ::SetEvent(m_gate.get()); }
    bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        FakePlatform::PostMessage(window, message, wParam, lParam);
        return ::PostMessageW(window, message, wParam, lParam) != FALSE;
    }
    bool RemoveFolder(const wchar_t* path) override {
        ::WaitForSingleObject(m_gate.get(), 20000);
        return FakePlatform::RemoveFolder(path);
    }

private:
    fw::UniqueHandle m_gate;
};

// The dialog with its steps: each runs on the dialog's thread once the messages queued before it
// (clicks, keys) have been handled by the modal loop.
class ScriptedDlg : public CLangSetupDlg {
public:
    using Step = std::function<void(ScriptedDlg&)>;

    ScriptedDlg(int bRemove, HMODULE lang, std::vector<Step> steps)
        : CLangSetupDlg(L"C:\\payload\\", bRemove, lang), m_steps(std::move(steps)) {
        SetAppName(L"Kestrin HW RAID Manager");
    }

    BOOL OnInitDialog() override {
        const BOOL result = CLangSetupDlg::OnInitDialog();
        PostMessage(kRunStep);
        return result;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != kRunStep) return CLangSetupDlg::WindowProc(message, wParam, lParam);
        if (m_next < m_steps.size()) {
            m_steps[m_next++](*this);
            if (m_next < m_steps.size()) PostMessage(kRunStep);
        }
        return 0;
    }

    // Handles this thread's messages until done() holds or timeoutMs pass.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
        const DWORD start = ::GetTickCount();
        while (!done()) {
            if (::GetTickCount() - start > timeoutMs) return false;
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            ::Sleep(5);
        }
        return true;
    }

    bool Visible(int id) const { return ::IsWindowVisible(GetDlgItem(id)) != FALSE; }
    bool Enabled(int id) const { return ::IsWindowEnabled(GetDlgItem(id)) != FALSE; }
    std::wstring Text(int id) const {
        wchar_t text[1024] = {};
        ::GetWindowTextW(GetDlgItem(id), text, 1024);
        return text;
    }
    int Progress() const { return static_cast<int>(::SendMessageW(GetDlgItem(IDC_PROGRESS), PBM_GETPOS, 0, 0)); }
    int Check() { return m_chkLaunch.GetCheck(); }
    void Click(int id) { PostMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(id))); }
    bool InstallDone() const { return m_bInstallDone != 0; }
    // Replaces the background before the window takes its shape from it.
    std::function<void(CBitmap&)> m_replaceBackground;

protected:
    void LoadSkinBitmaps() override {
        CLangSetupDlg::LoadSkinBitmaps();
        if (m_replaceBackground) m_replaceBackground(m_hBackground);
    }

private:
    std::vector<Step> m_steps;
    size_t m_next = 0;
};

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

class WizardDialog : public EngineWorld {
protected:
    void SetUp() override {
        AddPayload(m_gated);
        m_lang.reset(::LoadLibraryExW((PayloadDir() + L"\\setupENU.dll").c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(m_lang) << "the English language library of the sample payload";
    }
    INT_PTR Run(int bRemove, std::vector<ScriptedDlg::Step> steps,
                std::function<void(CBitmap&)> replaceBackground = {}) {
        ScriptedDlg dlg(bRemove, m_lang.get(), std::move(steps));
        dlg.m_replaceBackground = std::move(replaceBackground);
        const INT_PTR result = dlg.DoModal();
        m_completed = dlg.WorkCompleted();
        m_succeeded = dlg.WorkSucceeded();
        m_launch = dlg.LaunchChosen();
        return result;
    }

    GatedPlatform m_gated;
    ScopedPlatformOverride m_useGated{m_gated};
    fw::UniqueModule m_lang;
    bool m_completed = false;
    bool m_succeeded = false;
    bool m_launch = false;
};

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
