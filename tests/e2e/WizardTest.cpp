// The install and removal wizards of setup.exe as a user drives them: the mouse clicks at the
// buttons' places on the screen, or the keyboard alone, under Wine with Xvfb, each test in a
// fresh prefix.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <chrono>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "framework/DeviceContext.h"
#include "framework/GdiObject.h"
#include "res/resource.h"
#include "tests/e2e/InstallWorld.h"
#include "tests/support/TestSupport.h"
#include "tests/support/AccessibleReading.h"

using namespace testsupport;

namespace {

const std::wstring kPayload = L"C:\\payload";
const std::wstring kInstall = L"C:\\Program Files\\KRT55A";
const std::wstring kEntry = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KRT55A";
const std::wstring kAppLog = kInstall + L"\\REReviZuvor.log";
const std::wstring kAppName = L"Kestrin HW RAID Manager";

// Where the wizard's controls stand on the 584 x 414 background (the launch box's and the bar's
// areas without the rows they share).
const RECT kAction = {335, 374, 435, 397};  // Install, Remove and, later, Finish
const RECT kCancel = {456, 374, 556, 397};
const RECT kClose = {552, 11, 568, 27};
const RECT kMinimize = {522, 11, 538, 27};
const RECT kCheck = {215, 206, 233, 224};
const RECT kLaunchCaption = {236, 204, 400, 222};  // the launch box's caption and its focus mark
const RECT kProgress = {215, 175, 554, 201};
POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
const POINT kActionAt = Centre(kAction);
const POINT kCancelAt = Centre(kCancel);
const POINT kCloseAt = Centre(kClose);
const POINT kMinimizeAt = Centre(kMinimize);
const POINT kLaunchCaptionAt = {260, 212};

std::vector<std::string> LogEvents(const std::wstring& path) {
    std::vector<std::string> events;
    for (const std::string& line : ReadLines(path)) events.push_back(line.substr(line.find(' ') + 1));
    return events;
}

class Wizard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(PayloadDir().empty()) << "SETUP_TEST_PAYLOAD_DIR is not set";
        RemoveTree(kPayload);
        CopyTree(PayloadDir(), kPayload);
        ASSERT_TRUE(m_background.LoadBitmap(::GetModuleHandleW(nullptr), IDB_BACKGROUND));
    }
    void TearDown() override {
        if (m_process) {
            ::TerminateProcess(m_process.get(), 999);
            ::WaitForSingleObject(m_process.get(), 5000);
        }
    }

    // Starts a setup.exe and waits until its wizard is on the screen and painted.
    void Start(const std::wstring& program, const std::wstring& args = L"") {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION raw = {};
        std::wstring commandLine = QuoteArgument(program) + (args.empty() ? L"" : L" " + args);
        ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &startup, &raw));
        m_process.reset(raw.hProcess);
        fw::UniqueHandle thread(raw.hThread);
        ASSERT_TRUE(WaitUntil([&] {
            for (HWND window : VisibleWindowsOf(raw.dwProcessId)) {
                RECT rect;
                ::GetWindowRect(window, &rect);
                if (rect.right - rect.left == 584 && rect.bottom - rect.top == 414) {
                    m_window = window;
                    m_origin = {rect.left, rect.top};
                    return true;
                }
            }
            return false;
        })) << "the wizard's window";
        ASSERT_TRUE(WaitUntil([&] { return !Shown({280, 80, 300, 100}); })) << "the background is painted";
    }
    // Waits for the wizard's process to end; its exact exit code.
    DWORD Finish() {
        EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(m_process.get(), 30000));
        DWORD code = 999;
        ::GetExitCodeProcess(m_process.get(), &code);
        m_process.reset();
        return code;
    }
    void Click(POINT at) { ClickAt(m_origin.x + at.x, m_origin.y + at.y); }
    bool Visible(int id) const { return ::IsWindowVisible(::GetDlgItem(m_window, id)) != FALSE; }
    // Something other than the background is on the screen in this area of the wizard: more
    // than a few of its pixels differ (the skin's button areas look like the buttons).
    bool Shown(const RECT& area) {
        const int width = area.right - area.left;
        const int height = area.bottom - area.top;
        CClientDC screen(nullptr);
        CMemoryDC background(screen.get());
        CSelectObject selectBackground(background.get(), m_background.GetSafeHandle());
        CBitmap copy;
        copy.CreateCompatibleBitmap(screen.get(), width, height);
        CMemoryDC seen(screen.get());
        CSelectObject selectCopy(seen.get(), copy.GetSafeHandle());
        ::BitBlt(seen.get(), 0, 0, width, height, screen.get(), m_origin.x + area.left, m_origin.y + area.top,
                 SRCCOPY);
        int differing = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (::GetPixel(seen.get(), x, y) != ::GetPixel(background.get(), area.left + x, area.top + y))
                    ++differing;
            }
        }
        return differing > 3;
    }
    // The wizard's pixels in this area as the screen shows them.
    std::vector<COLORREF> Pixels(const RECT& area) {
        std::vector<COLORREF> pixels;
        CClientDC screen(nullptr);
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                pixels.push_back(::GetPixel(screen.get(), m_origin.x + x, m_origin.y + y));
        return pixels;
    }
    // A key pressed, after which the wizard's pixels in the first area change (the focus mark
    // arrives there) and, when given, those in the second too (the mark leaves).
    bool PressAndSee(WORD vk, const std::vector<WORD>& held, const RECT& arrives, const RECT* leaves) {
        const std::vector<COLORREF> before = Pixels(arrives);
        const std::vector<COLORREF> left = leaves ? Pixels(*leaves) : std::vector<COLORREF>{};
        PressKey(vk, held);
        return WaitUntil([&] { return Pixels(arrives) != before && (!leaves || Pixels(*leaves) != left); }, 3000);
    }
    bool WaitForCompleted() {
        const bool completed = WaitUntil([&] { return Visible(IDOK) && Shown(kAction); }, 30000);
        ::Sleep(300);  // the other controls of the state are painted by then
        return completed;
    }
    // Painting follows the state a little later.
    bool ShownSoon(const RECT& area) {
        return WaitUntil([&] { return Shown(area); }, 3000);
    }
    // Ready: the action and Cancel buttons and the window buttons, nothing else.
    void ExpectReadyPixels() {
        EXPECT_TRUE(ShownSoon(kAction));
        EXPECT_TRUE(ShownSoon(kCancel));
        EXPECT_TRUE(ShownSoon(kClose));
        EXPECT_FALSE(Shown(kCheck));
        EXPECT_FALSE(Shown(kProgress));
    }

    CBitmap m_background;
    fw::UniqueHandle m_process;
    HWND m_window = nullptr;
    POINT m_origin = {};
};

}  // namespace

TEST_F(Wizard, InstallLaunchesReinstallWithoutTickAndRemove) {
    Start(kPayload + L"\\setup.exe");
    ExpectReadyPixels();
    EXPECT_EQ(L"Install", WindowText(::GetDlgItem(m_window, IDC_ACTION)));
    EXPECT_EQ(kAppName + L" Setup", WindowText(m_window)) << "the taskbar's name of the window";
    Click(kActionAt);
    ASSERT_TRUE(WaitForCompleted());
    EXPECT_TRUE(ShownSoon(kCheck)) << "the launch box";
    EXPECT_FALSE(Shown(kProgress)) << "the bar is hidden after an install";
    EXPECT_FALSE(Visible(IDC_ACTION));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_window, IDCANCEL)));
    Click(kActionAt);  // Finish, with the box ticked by default
    EXPECT_EQ(0u, Finish());
    EXPECT_TRUE(FileExists(kInstall + L"\\REReviZuvor.exe"));
    EXPECT_TRUE(FileExists(kInstall + L"\\Uninstall\\setup.exe"));
    EXPECT_EQ(kAppName, ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"DisplayName"));
    ASSERT_TRUE(WaitUntil([] { return ReadLines(kAppLog).size() == 1; }));
    // Started by the user's shell (Wine's desktop answers), not by the elevated setup.
    const std::string started = "start cwd=" + Narrow(kInstall) + " parent=explorer.exe";
    EXPECT_EQ(std::vector<std::string>{started}, LogEvents(kAppLog)) << "started once, without arguments";

    // Again over the running application, this time with the box unticked by its caption.
    Start(kPayload + L"\\setup.exe");
    Click(kActionAt);
    ASSERT_TRUE(WaitForCompleted());
    const std::vector<COLORREF> ticked = Pixels(kCheck);
    Click(kLaunchCaptionAt);
    EXPECT_TRUE(WaitUntil([&] { return Pixels(kCheck) != ticked; }, 3000)) << "the box unticked";
    ::Sleep(300);
    Click(kActionAt);
    EXPECT_EQ(0u, Finish());
    ::Sleep(1000);
    EXPECT_EQ((std::vector<std::string>{started, "close version=1.0.0.4"}), LogEvents(kAppLog)) << "no new start";

    // The removal wizard, as the uninstall entry starts it.
    Start(kInstall + L"\\Uninstall\\setup.exe", L"delpkg");
    ExpectReadyPixels();
    EXPECT_EQ(L"Remove", WindowText(::GetDlgItem(m_window, IDC_ACTION)));
    Click(kActionAt);
    ASSERT_TRUE(WaitForCompleted());
    EXPECT_TRUE(ShownSoon(kProgress)) << "the bar stays after a removal";
    EXPECT_FALSE(Shown(kCheck)) << "no launch box after a removal";
    Click(kActionAt);
    EXPECT_EQ(0u, Finish());
    EXPECT_FALSE(FileExists(kInstall + L"\\REReviZuvor.exe"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kEntry));
    ::Sleep(500);
    EXPECT_EQ(2u, LogEvents(kAppLog).size()) << "nothing started after the removal";
}

TEST_F(Wizard, CancelOrCloseInTheReadyStateInstallsNothing) {
    for (POINT button : {kCancelAt, kCloseAt}) {
        Start(kPayload + L"\\setup.exe");
        Click(button);
        EXPECT_EQ(1602u, Finish());
    }
    // Enter presses the focused button, here Cancel after a Tab; Escape cancels.
    for (const std::vector<WORD>& keys : {std::vector<WORD>{VK_TAB, VK_RETURN}, {VK_ESCAPE}}) {
        Start(kPayload + L"\\setup.exe");
        ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == m_window; }));
        for (WORD key : keys) PressKey(key);
        EXPECT_EQ(1602u, Finish()) << keys.size() << " keys";
    }

    // Dragged by its bare background.
    Start(kPayload + L"\\setup.exe");
    DragMouse({m_origin.x + 300, m_origin.y + 100}, {m_origin.x + 340, m_origin.y + 70});
    RECT moved = {};
    EXPECT_TRUE(WaitUntil([&] {
        ::GetWindowRect(m_window, &moved);
        return moved.left == m_origin.x + 40 && moved.top == m_origin.y - 30;
    }, 5000)) << moved.left - m_origin.x << ", " << moved.top - m_origin.y;
    m_origin = {moved.left, moved.top};
    Click(kCancelAt);
    EXPECT_EQ(1602u, Finish());
    EXPECT_FALSE(FolderExists(kInstall));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kEntry));
}

TEST_F(Wizard, RunningRemovalShowsTheBarAndDisabledButtons) {
    // In service mode the removal first releases the service, with two pauses of a second.
    SetWindowsVersion(WindowsVersion::VistaWorkstation);
    ASSERT_EQ(0u, RunProcess(QuoteArgument(kPayload + L"\\setup.exe") + L" s").exitCode);
    Start(kInstall + L"\\Uninstall\\setup.exe", L"delpkg");
    Click(kActionAt);
    ASSERT_TRUE(WaitUntil([&] { return Visible(IDC_PROGRESS) && Shown(kProgress); }));
    EXPECT_TRUE(Visible(IDC_ACTION));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_window, IDC_ACTION)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_window, IDCANCEL)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_window, IDC_CLOSE)));
    Click(kCloseAt);  // disabled: nothing happens
    EXPECT_EQ(WAIT_TIMEOUT, ::WaitForSingleObject(m_process.get(), 300));
    ASSERT_TRUE(WaitForCompleted());
    Click(kActionAt);
    EXPECT_EQ(0u, Finish());
    EXPECT_FALSE(FileExists(kInstall + L"\\XSrvSetup.exe"));
}

TEST_F(Wizard, FailedInstallEndsOnItsSentenceWith1603) {
    ASSERT_EQ(0u, RunProcess(QuoteArgument(kPayload + L"\\setup.exe") + L" s").exitCode);
    // The installed executable is in use and the payload holds a newer one.
    fw::UniqueHandle inUse(::CreateFileW((kInstall + L"\\REReviZuvor.exe").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, inUse.get());
    WriteTextFile(kPayload + L"\\Application\\REReviZuvor.exe", "a newer build");

    Start(kPayload + L"\\setup.exe");
    Click(kActionAt);
    ASSERT_TRUE(WaitForCompleted());
    EXPECT_EQ(L"Setup did not complete. Every change was undone.", WindowText(::GetDlgItem(m_window, IDC_NOTE)));
    EXPECT_FALSE(Visible(IDC_LAUNCH_CHECK));
    EXPECT_FALSE(Shown(kCheck));
    Click(kActionAt);
    EXPECT_EQ(1603u, Finish());
    ::Sleep(500);
    EXPECT_FALSE(FileExists(kAppLog)) << "nothing was launched";
}

TEST_F(Wizard, RoadsOpenTheirWizard) {
    for (const auto& [args, action] : std::vector<std::pair<std::wstring, std::wstring>>{
             {L"", L"Install"}, {L"/silent", L"Install"}, {L"//s", L"Install"}, {L"other words", L"Install"},
             {L"SilentDel delpkg", L"Remove"}, {L"delpkg", L"Remove"}, {L"-DelPkg", L"Remove"},
             {L"s delpkg", L"Remove"}}) {
        Start(kPayload + L"\\setup.exe", args);
        EXPECT_EQ(action, WindowText(::GetDlgItem(m_window, IDC_ACTION))) << Narrow(args);
        Click(kCancelAt);
        EXPECT_EQ(1602u, Finish()) << Narrow(args);
    }
    EXPECT_FALSE(FolderExists(kInstall));

    // Without any language library the wizard roads end at once without a window; the silent
    // install refuses a payload whose removal program would have no words.
    for (const auto& file : ListTree(kPayload)) {
        if (file.rfind(L"setup", 0) == 0 && file.size() > 4 && file.substr(file.size() - 4) == L".dll")
            ::DeleteFileW((kPayload + L"\\" + file).c_str());
    }
    for (const wchar_t* args : {L"", L"delpkg"}) {
        MessageBoxWatcher watcher(0xFFFFFFFF);
        const ProcessResult r = RunProcess(QuoteArgument(kPayload + L"\\setup.exe") + L" " + args, 20000,
                                           [&](DWORD pid) { watcher.WatchProcess(pid); });
        EXPECT_EQ(1603u, r.exitCode) << Narrow(args);
        EXPECT_TRUE(watcher.Boxes().empty());
        EXPECT_TRUE(watcher.OtherWindows().empty());
    }
    EXPECT_EQ(1603u, RunProcess(QuoteArgument(kPayload + L"\\setup.exe") + L" s").exitCode);
    EXPECT_FALSE(FolderExists(kInstall));
}

TEST_F(Wizard, KeyboardAloneInstallsAndFinishesWithoutLaunch) {
    // In service mode the install first releases the service, with two pauses of a second: time
    // to press keys while it runs.
    SetWindowsVersion(WindowsVersion::VistaWorkstation);
    ASSERT_EQ(0u, RunProcess(QuoteArgument(kPayload + L"\\setup.exe") + L" s").exitCode);
    Start(kPayload + L"\\setup.exe");
    ASSERT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == m_window; })) << "the wizard has the keyboard";

    // Tab, Tab: the focus mark goes to Cancel and back to Install; Enter installs.
    EXPECT_TRUE(PressAndSee(VK_TAB, {}, kCancel, &kAction));
    EXPECT_TRUE(PressAndSee(VK_TAB, {}, kAction, &kCancel));
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return Visible(IDC_PROGRESS); })) << "Enter started the install";
    // While it runs no key ends or changes anything.
    for (WORD key : {VK_ESCAPE, VK_SPACE, VK_RETURN, VK_TAB}) PressKey(key);
    PressKey(VK_F4, {VK_MENU});
    EXPECT_EQ(WAIT_TIMEOUT, ::WaitForSingleObject(m_process.get(), 300));
    ASSERT_TRUE(WaitForCompleted());

    // The last page: Shift+Tab and Tab move the mark between Finish and the launch box's
    // caption; Space unticks the box; Enter finishes with nothing started.
    EXPECT_TRUE(PressAndSee(VK_TAB, {VK_SHIFT}, kLaunchCaption, &kAction));
    EXPECT_TRUE(PressAndSee(VK_TAB, {}, kAction, &kLaunchCaption));
    EXPECT_TRUE(PressAndSee(VK_TAB, {}, kLaunchCaption, &kAction));
    EXPECT_TRUE(PressAndSee(VK_SPACE, {}, kCheck, nullptr)) << "the box unticked";
    PressKey(VK_RETURN);
    EXPECT_EQ(0u, Finish());
    EXPECT_TRUE(FileExists(kInstall + L"\\REReviZuvor.exe"));
    ::Sleep(1000);
    EXPECT_FALSE(FileExists(kAppLog)) << "nothing was started";
}

TEST_F(Wizard, SecondStartBringsTheOpenWizardToTheFront) {
    Start(kPayload + L"\\setup.exe");
    const HWND first = m_window;
    Click(kMinimizeAt);
    ASSERT_TRUE(WaitUntil([&] { return ::IsIconic(first) != FALSE; })) << "minimised";

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(1618u, RunProcess(QuoteArgument(kPayload + L"\\setup.exe"), 20000).exitCode);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    // Restored: out of the minimised state, and back at its size and place.
    RECT rect = {};
    EXPECT_TRUE(WaitUntil([&] {
        ::GetWindowRect(first, &rect);
        return !::IsIconic(first) && rect.left == m_origin.x && rect.top == m_origin.y &&
               rect.right - rect.left == 584 && ::GetForegroundWindow() == first;
    }, 3000)) << "restored and in the foreground";

    // And still working.
    ASSERT_TRUE(WaitUntil([&] { return Shown(kAction); }));
    Click(kActionAt);
    ASSERT_TRUE(WaitForCompleted());
    Click(kActionAt);
    EXPECT_EQ(0u, Finish());
    EXPECT_TRUE(FileExists(kInstall + L"\\REReviZuvor.exe"));
}

TEST_F(Wizard, RemovalWizardLeavesNothingOfTheInstall) {
    const std::vector<std::wstring> before = e2e::MachineSnapshot();
    ASSERT_EQ(0u, RunProcess(QuoteArgument(kPayload + L"\\setup.exe") + L" s").exitCode);
    Start(kInstall + L"\\Uninstall\\setup.exe", L"delpkg");
    Click(kActionAt);
    ASSERT_TRUE(WaitForCompleted());
    Click(kActionAt);
    EXPECT_EQ(0u, Finish());
    EXPECT_EQ(before, e2e::MachineSnapshot());
    EXPECT_EQ(0u, e2e::RunningSetupCopies());
}

TEST_F(Wizard, RemovalWizardSpeaksTheUsersLanguage) {
    // Every language library of the payload went into "Uninstall" with the removal program.
    ASSERT_EQ(0u, RunProcess(QuoteArgument(kPayload + L"\\setup.exe") + L" s").exitCode);
    ASSERT_TRUE(StartProcessInLocale("de_DE.UTF-8", QuoteArgument(kInstall + L"\\Uninstall\\setup.exe") + L" delpkg"));
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = ::FindWindowW(nullptr, (kAppName + L" Installation").c_str())); }));
    EXPECT_EQ(L"Entfernen", WindowText(::GetDlgItem(window, IDC_ACTION)));
    EXPECT_EQ(L"Abbrechen", WindowText(::GetDlgItem(window, IDCANCEL)));
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(window); }));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kEntry)) << "cancelled: nothing removed";
}

TEST_F(Wizard, AToolInAnotherProcessHearsEveryControlsNameRoleAndState) {
    fw::ComScope com;
    Start(kPayload + L"\\setup.exe");
    const Heard window = Hear(m_window);
    EXPECT_EQ(kAppName + L" Setup", window.name);
    EXPECT_EQ(ROLE_SYSTEM_DIALOG, window.role);
    const struct {
        int id;
        const wchar_t* name;
        long role;
    } controls[] = {{IDC_ACTION, L"Install", ROLE_SYSTEM_PUSHBUTTON},
                    {IDCANCEL, L"Cancel", ROLE_SYSTEM_PUSHBUTTON},
                    {IDC_CLOSE, L"Close", ROLE_SYSTEM_PUSHBUTTON},
                    {IDC_MINIMIZE, L"Minimize", ROLE_SYSTEM_PUSHBUTTON},
                    {IDC_PROMPT, L"Click Install to start the installation. Click Cancel to leave the wizard.",
                     ROLE_SYSTEM_STATICTEXT}};
    for (const auto& control : controls) {
        const Heard heard = Hear(::GetDlgItem(m_window, control.id));
        EXPECT_EQ(control.name, heard.name) << control.id;
        EXPECT_EQ(control.role, heard.role) << control.id;
        EXPECT_EQ(0, heard.state & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE)) << control.id;
    }
    EXPECT_NE(0, Hear(::GetDlgItem(m_window, IDC_ACTION)).state & STATE_SYSTEM_FOCUSED);

    Click(kActionAt);
    ASSERT_TRUE(WaitForCompleted());
    const HWND box = ::GetDlgItem(m_window, IDC_LAUNCH_CHECK);
    Heard heard = Hear(box);
    EXPECT_EQ(L"Launch the application now", heard.name);
    EXPECT_EQ(ROLE_SYSTEM_CHECKBUTTON, heard.role);
    EXPECT_EQ(STATE_SYSTEM_CHECKED, heard.state & (STATE_SYSTEM_CHECKED | STATE_SYSTEM_INVISIBLE));
    Click(kLaunchCaptionAt);
    EXPECT_TRUE(WaitUntil([&] { return !(Hear(box).state & STATE_SYSTEM_CHECKED); }, 3000)) << "unticked";
    EXPECT_NE(0, Hear(::GetDlgItem(m_window, IDCANCEL)).state & STATE_SYSTEM_UNAVAILABLE);
    Click(kActionAt);
    EXPECT_EQ(0u, Finish());
}
