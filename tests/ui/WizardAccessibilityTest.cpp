// What an assistive tool hears of the wizard, read back through the platform's accessibility
// interface in this process (AccessibleObjectFromWindow; under Wine the same answers reach other
// processes, which the end-to-end test shows): every control's name, role and state, the check
// of the launch box as it changes, the bar's value, and the focus as it moves.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "engine/worker/SetupWorker.h"
#include "res/resource.h"
#include "tests/support/AccessibleReading.h"
#include "tests/ui/ScriptedWizard.h"

using namespace uitest;
using testsupport::Hear;
using testsupport::Heard;

namespace {

Heard HearControl(ScriptedDlg& d, int id) {
    return Hear(d.GetDlgItem(id));
}

// The focus as the platform announces it: each EVENT_OBJECT_FOCUS, with what the tool then hears.
std::vector<std::pair<HWND, Heard>> g_focusEvents;
std::vector<HWND> g_stateChanges;

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object != OBJID_CLIENT || child != CHILDID_SELF) return;
    if (event == EVENT_OBJECT_STATECHANGE) {
        g_stateChanges.push_back(window);
        return;
    }
    IAccessible* accessible = nullptr;
    VARIANT self = {};
    if (FAILED(::AccessibleObjectFromEvent(window, object, child, &accessible, &self)) || !accessible) return;
    g_focusEvents.emplace_back(window, Hear(accessible));
    accessible->Release();
}

class WinEventHook {
public:
    WinEventHook()
        : m_hook(::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, nullptr, &OnEvent,
                                   ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT)) {
        g_focusEvents.clear();
        g_stateChanges.clear();
    }
    ~WinEventHook() {
        if (m_hook) ::UnhookWinEvent(m_hook);
    }
    explicit operator bool() const { return m_hook != nullptr; }

private:
    HWINEVENTHOOK m_hook;
};

constexpr long kShownAndUsable = STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE;

}  // namespace

TEST_F(WizardDialog, AssistiveToolsHearEveryControlsNameRoleAndState) {
    Run(0, {[](ScriptedDlg& d) {
        const Heard window = Hear(d.m_hWnd);
        EXPECT_EQ(L"Kestrin HW RAID Manager Setup", window.name);
        EXPECT_EQ(ROLE_SYSTEM_DIALOG, window.role);

        const Heard install = HearControl(d, IDC_ACTION);
        EXPECT_EQ(L"Install", install.name);
        EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, install.role);
        EXPECT_EQ(STATE_SYSTEM_FOCUSED | STATE_SYSTEM_DEFAULT,
                  install.state & (STATE_SYSTEM_FOCUSED | STATE_SYSTEM_DEFAULT | kShownAndUsable));
        const Heard cancel = HearControl(d, IDCANCEL);
        EXPECT_EQ(L"Cancel", cancel.name);
        EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, cancel.role);
        EXPECT_EQ(0, cancel.state & (STATE_SYSTEM_DEFAULT | kShownAndUsable));
        // The window's own buttons are pictures: their tooltips' words name them.
        for (auto [id, words] : {std::pair{IDC_CLOSE, L"Close"}, std::pair{IDC_MINIMIZE, L"Minimize"}}) {
            const Heard button = HearControl(d, id);
            EXPECT_EQ(words, button.name);
            EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, button.role);
            EXPECT_EQ(words, d.Text(id)) << "the window text, which tools of other kinds read";
        }
        const Heard prompt = HearControl(d, IDC_PROMPT);
        EXPECT_EQ(L"Click Install to start the installation. Click Cancel to leave the wizard.", prompt.name);
        EXPECT_EQ(ROLE_SYSTEM_STATICTEXT, prompt.role);
        EXPECT_EQ(STATE_SYSTEM_READONLY, prompt.state & (STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE));
        const Heard box = HearControl(d, IDC_LAUNCH_CHECK);
        EXPECT_EQ(ROLE_SYSTEM_CHECKBUTTON, box.role);
        EXPECT_NE(0, box.state & STATE_SYSTEM_INVISIBLE) << "not offered before the install";

        d.OnSetupProgress(PROGRESS_INSTALL_BEGIN, 0);
        for (int i = 0; i < 9; ++i) d.OnTimer(CLangSetupDlg::kProgressTimerId);
        const Heard bar = HearControl(d, IDC_PROGRESS);
        EXPECT_EQ(ROLE_SYSTEM_PROGRESSBAR, bar.role);
        EXPECT_EQ(L"Starting to copy files", bar.name) << "the sentence above it";
        EXPECT_EQ(L"45%", bar.value);
        EXPECT_EQ(0, bar.state & STATE_SYSTEM_INVISIBLE);
        EXPECT_NE(0, HearControl(d, IDCANCEL).state & STATE_SYSTEM_UNAVAILABLE) << "no cancel while it runs";
        d.OnSetupProgress(PROGRESS_INSTALL_END, 1);
        d.Click(IDCANCEL);
    }});
}

TEST_F(WizardDialog, LaunchBoxAnnouncesItsCheckAndTheFocusMovesAsAStandardControls) {
    WinEventHook hook;
    ASSERT_TRUE(hook);
    const INT_PTR result = Run(0, {
        [](ScriptedDlg& d) {
            d.OnSetupProgress(PROGRESS_INSTALL_BEGIN, 0);
            d.OnSetupProgress(PROGRESS_INSTALL_END, 1);
            const Heard box = HearControl(d, IDC_LAUNCH_CHECK);
            EXPECT_EQ(L"Launch the application now", box.name);
            EXPECT_EQ(STATE_SYSTEM_CHECKED, box.state & (STATE_SYSTEM_CHECKED | kShownAndUsable));
            const Heard finish = HearControl(d, IDOK);
            EXPECT_EQ(L"Finish", finish.name);
            EXPECT_NE(0, finish.state & STATE_SYSTEM_DEFAULT);
            g_focusEvents.clear();
            g_stateChanges.clear();
            // Tab from Finish to the launch box, as the keyboard does it.
            ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        },
        [](ScriptedDlg& d) {
            const HWND box = d.GetDlgItem(IDC_LAUNCH_CHECK);
            ASSERT_TRUE(d.PumpUntil([&] { return !g_focusEvents.empty() && g_focusEvents.back().first == box; }))
                << "the platform announces the box's focus";
            EXPECT_EQ(L"Launch the application now", g_focusEvents.back().second.name);
            EXPECT_EQ(ROLE_SYSTEM_CHECKBUTTON, g_focusEvents.back().second.role);
            EXPECT_NE(0, g_focusEvents.back().second.state & STATE_SYSTEM_FOCUSED);
            ::PostMessageW(box, WM_KEYDOWN, VK_SPACE, 0);
            ::PostMessageW(box, WM_KEYUP, VK_SPACE, 0);
        },
        [](ScriptedDlg& d) {
            const HWND box = d.GetDlgItem(IDC_LAUNCH_CHECK);
            ASSERT_TRUE(d.PumpUntil([&] { return !g_stateChanges.empty(); })) << "the new check is announced";
            EXPECT_EQ(box, g_stateChanges.back());
            EXPECT_EQ(0, d.Check());
            EXPECT_EQ(0, HearControl(d, IDC_LAUNCH_CHECK).state & STATE_SYSTEM_CHECKED);
            d.Click(IDOK);
        }});
    EXPECT_EQ(IDOK, result);
    EXPECT_FALSE(m_launch);
}
