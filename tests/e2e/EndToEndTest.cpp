// setup.exe on the sample payload, end to end under Wine. Each test runs in a fresh prefix.
#include <gtest/gtest.h>

#include <cstdio>

#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/Handles.h"
#include "tests/e2e/InstallWorld.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;
using namespace e2e;

namespace {

class EndToEnd : public InstallWorld {};

}  // namespace

TEST_F(EndToEnd, DefaultInstall) {
    SetWindowsVersion(WindowsVersion::Windows7);
    Install();
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(m_windows.empty());

    const std::vector<std::wstring> expected = Sorted({
        L"close_normal.bmp", L"center.gif", L"Error.png", L"Info.png", L"libeay32.dll", L"mingwm10.dll",
        L"ok_normal.bmp", L"RaidGUI.bmp", L"Raidlogo.ico", L"REReviZuvor.exe", L"setup.ini", L"ssleay32.dll",
        L"Warning.png", L"Images\\banner.png", L"Images\\disk_fail.bmp", L"Images\\disk_ok.bmp",
        L"Uninstall\\install-record.txt", L"Uninstall\\setup.exe", L"Uninstall\\setup.ini", L"Uninstall\\setupCHS.dll",
        L"Uninstall\\setupCHT.dll", L"Uninstall\\setupDEU.dll", L"Uninstall\\setupENU.dll", L"Uninstall\\setupESN.dll",
        L"Uninstall\\setupFRA.dll", L"Uninstall\\setupITA.dll", L"Uninstall\\setupJPN.dll", L"Uninstall\\setupKOR.dll",
        L"Uninstall\\setupNLD.dll", L"Uninstall\\setupPTB.dll", L"Uninstall\\setupRUS.dll", L"Uninstall\\setupSVE.dll"});
    EXPECT_EQ(expected, ListTree(kInstall));

    const std::wstring app = kPayload + L"\\Application\\";
    for (const wchar_t* name : {L"REReviZuvor.exe", L"mingwm10.dll", L"libeay32.dll", L"ssleay32.dll",
                                L"center.gif", L"Raidlogo.ico", L"RaidGUI.bmp"})
        ExpectSameFile(kInstall + L"\\" + name, app + name);
    ExpectSameFile(kInstall + L"\\Images\\banner.png", app + L"Images\\banner.png");
    ExpectSameFile(kInstall + L"\\setup.ini", kPayload + L"\\setup.ini");
    for (const wchar_t* name : {L"setup.exe", L"setup.ini", L"setupENU.dll", L"setupCHT.dll", L"setupCHS.dll",
                                L"setupJPN.dll"})
        ExpectSameFile(kInstall + L"\\Uninstall\\" + name, kPayload + L"\\" + name);

    const HKEY hklm = HKEY_LOCAL_MACHINE;
    EXPECT_EQ(L"\"" + kInstall + L"\\Uninstall\\setup.exe\" delpkg", ReadRegString(hklm, kEntry, L"UninstallString"));
    EXPECT_EQ(L"\"" + kInstall + L"\\Uninstall\\setup.exe\" SilentDel",
              ReadRegString(hklm, kEntry, L"QuietUninstallString"));
    EXPECT_EQ(kAppName, ReadRegString(hklm, kEntry, L"DisplayName"));
    EXPECT_EQ(L"Kestrin Technology Corp.", ReadRegString(hklm, kEntry, L"Publisher"));
    EXPECT_EQ(L"1.0.0.4", ReadRegString(hklm, kEntry, L"DisplayVersion"));
    EXPECT_EQ(kInstall, ReadRegString(hklm, kEntry, L"InstallLocation"));
    EXPECT_EQ(kInstall + L"\\REReviZuvor.exe", ReadRegString(hklm, kEntry, L"DisplayIcon"));
    EXPECT_EQ(1u, ReadRegDword(hklm, kEntry, L"NoModify"));
    EXPECT_EQ(1u, ReadRegDword(hklm, kEntry, L"NoRepair"));
    unsigned long long bytes = 0;
    for (const auto& file : ListTree(kInstall)) {
        if (file != L"Uninstall\\install-record.txt") bytes += ReadTextFile(kInstall + L"\\" + file).size();
    }
    EXPECT_EQ((bytes + 1023) / 1024, ReadRegDword(hklm, kEntry, L"EstimatedSize").value_or(0));
    EXPECT_EQ(L"\"" + kInstall + L"\\REReviZuvor.exe\" min", ReadRegString(hklm, kRun, kAppName));

    // On the all-users desktop, which every account sees, the system account's deployments included.
    EXPECT_FALSE(FileExists(UserDesktopLink()));
    auto desktop = ReadShellLink(DesktopLink());
    ASSERT_TRUE(desktop);
    EXPECT_EQ(kInstall + L"\\REReviZuvor.exe", desktop->target);
    EXPECT_EQ(L"", desktop->arguments);
    auto menuApp = ReadShellLink(MenuFolder() + L"\\" + kAppName + L".lnk");
    ASSERT_TRUE(menuApp);
    EXPECT_EQ(kInstall + L"\\REReviZuvor.exe", menuApp->target);
    EXPECT_EQ(L"", menuApp->arguments);
    auto menuUninstall = ReadShellLink(MenuFolder() + L"\\Uninstall.lnk");
    ASSERT_TRUE(menuUninstall);
    EXPECT_EQ(kInstall + L"\\Uninstall\\setup.exe", menuUninstall->target);
    EXPECT_EQ(L"delpkg", menuUninstall->arguments);

    // Outside service mode: no compatibility mark, and nothing was started.
    EXPECT_TRUE(RegValueNames(HKEY_CURRENT_USER, kPersisted).empty());
    EXPECT_FALSE(FileExists(kInstall + L"\\REReviZuvor.log"));
}

TEST_F(EndToEnd, LaunchAfterSilentInstall) {
    SetIni(L"Customized_Setting", L"LaunchAPInSilentMode", L"1");
    Install();
    const auto log = WaitForLog(kInstall + L"\\REReviZuvor.log", 1);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("start", log[0].event);
    EXPECT_EQ(0u, log[0].details.find("cwd=" + Narrow(kInstall) + " parent="))
        << "started without arguments, in the install folder: " << log[0].details;
    // Through the user's shell, or by setup itself where no shell answers, and the log says which.
    const bool throughShell = HasLine(SetupLogLines(), "Started " + Narrow(kInstall) + "\\REReviZuvor.exe in " +
                                                           Narrow(kInstall) + " through the user's shell");
    const std::string parent = log[0].details.substr(log[0].details.find(" parent=") + 8);
    std::printf("The application was started by %s, %s\n", parent.c_str(),
                throughShell ? "through the user's shell" : "which no shell answered");
    if (throughShell)
        EXPECT_NE("setup.exe", parent);
    else
        EXPECT_EQ("setup.exe", parent);
    HWND window = WaitForWindow(kAppName);
    ASSERT_NE(nullptr, window);
    ::SendMessageW(window, WM_CLOSE, 0, 0);
}

TEST_F(EndToEnd, InstallOverRunningApplication) {
    Install();
    ProcessResult app;
    std::thread running([&] { app = RunProcess(QuoteArgument(kInstall + L"\\REReviZuvor.exe"), 60000); });
    ASSERT_NE(nullptr, WaitForWindow(kAppName));
    WriteTextFile(kInstall + L"\\Images\\stale.bmp", "old");

    SetIni(L"Startup", L"Version", L"2.00.00");
    Install();
    running.join();
    EXPECT_FALSE(app.timedOut) << "the application closed";
    const auto log = ReadLog(kInstall + L"\\REReviZuvor.log");
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("start", log[0].event);
    EXPECT_EQ("close", log[1].event);
    EXPECT_EQ("version=1.0.0.4", log[1].details) << "closed before setup.ini was replaced";
    EXPECT_FALSE(FileExists(kInstall + L"\\Images\\stale.bmp"));
    EXPECT_TRUE(FileExists(kInstall + L"\\Images\\disk_ok.bmp"));
    EXPECT_EQ(L"2.00.00", ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"DisplayVersion"));
}

TEST_F(EndToEnd, ServiceMode) {
    SetWindowsVersion(WindowsVersion::VistaWorkstation);
    Install();
    // The start-up's mark of the program's own path is in the run's log.
    EXPECT_TRUE(HasLine(SetupLogLines(), "Set HKCU\\" + Narrow(kPersisted) + " [c:\\payload\\setup.exe] = 1"));
    const std::wstring serviceLog = kInstall + L"\\XSrvSetup.log";
    ExpectSameFile(kInstall + L"\\XSrvSetup.exe", kPayload + L"\\Application\\XSrvSetup.exe");
    auto log = WaitForLog(serviceLog, 1);
    ASSERT_EQ(1u, log.size());
    const std::string inInstall = " cwd=" + Narrow(kInstall);
    EXPECT_EQ("-i version=1.0.0.4" + inInstall, log[0].details) << "started in the install folder";
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRun, kAppName).has_value());
    EXPECT_EQ(1u, ReadRegDword(HKEY_CURRENT_USER, kPersisted, L"c:\\payload\\setup.exe").value_or(0));
    EXPECT_EQ(1u, ReadRegDword(HKEY_CURRENT_USER, kPersisted, kInstall + L"\\REReviZuvor.exe").value_or(0));
    for (const wchar_t* name : {L"libeay32.dll", L"ssleay32.dll", L"zlib1.dll"})
        ExpectSameFile(kInstall + L"\\" + name, kPayload + L"\\Application\\vista\\" + name);

    SetIni(L"Startup", L"Version", L"2.00.00");
    Install();
    log = WaitForLog(serviceLog, 4);
    ASSERT_EQ(4u, log.size());
    EXPECT_EQ("-k version=1.0.0.4" + inInstall, log[1].details);
    EXPECT_EQ("-u version=1.0.0.4" + inInstall, log[2].details);
    EXPECT_EQ("-i version=2.00.00" + inInstall, log[3].details);
    // The stand-in logs when it runs, not when it was started: allow for the start-up jitter of the
    // processes; without the pauses the calls follow each other within tens of milliseconds.
    EXPECT_GE(log[2].ms - log[1].ms, 900u) << "pause after -k";
    EXPECT_GE(log[3].ms - log[2].ms, 900u) << "pause after -u";
}

TEST_F(EndToEnd, Server2008R2TakesTheVistaLibrariesWithoutService) {
    SetWindowsVersion(WindowsVersion::Server2008R2);
    Install();
    for (const wchar_t* name : {L"libeay32.dll", L"ssleay32.dll", L"zlib1.dll"})
        ExpectSameFile(kInstall + L"\\" + name, kPayload + L"\\Application\\vista\\" + name);
    EXPECT_FALSE(FileExists(kInstall + L"\\XSrvSetup.exe"));
    EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kRun, kAppName).has_value());
    EXPECT_TRUE(RegValueNames(HKEY_CURRENT_USER, kPersisted).empty());
}

TEST_F(EndToEnd, SilentRemoval) {
    const std::vector<std::wstring> before = MachineSnapshot();
    Install();
    WriteTextFile(kInstall + L"\\Cfg.KS", "settings");
    Remove();
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(m_windows.empty());
    // Nothing of the install is left, the running removal program and the install folder included.
    EXPECT_EQ(before, MachineSnapshot());
    EXPECT_FALSE(FolderExists(kInstall));
    EXPECT_EQ(0u, RunningSetupCopies());

    // A file of the user's own stays, with the folders that hold it; so does a Start-menu folder
    // with another file in it.
    Install();
    WriteTextFile(kInstall + L"\\Images\\mine.txt", "the user's");
    WriteTextFile(MenuFolder() + L"\\Readme.txt", "another file");
    Remove();
    EXPECT_EQ((std::vector<std::wstring>{L"Images\\mine.txt"}), ListTree(kInstall));
    EXPECT_EQ((std::vector<std::wstring>{L"Readme.txt"}), ListTree(MenuFolder()));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRun, kAppName).has_value());
    EXPECT_FALSE(FileExists(DesktopLink()));
}

TEST_F(EndToEnd, PlantedProgramIsNeverStarted) {
    ASSERT_TRUE(::CopyFileW((kPayload + L"\\Application\\XSrvSetup.exe").c_str(), L"C:\\Program.exe", FALSE));
    SetWindowsVersion(WindowsVersion::VistaWorkstation);
    SetIni(L"Customized_Setting", L"LaunchAPInSilentMode", L"1");
    Install();
    ASSERT_NE(nullptr, WaitForWindow(kAppName));
    Install();  // releases the first install's service, closes and launches the application again
    ASSERT_NE(nullptr, WaitForWindow(kAppName));
    EXPECT_EQ(0u, RunSetup(kInstall + L"\\Uninstall\\setup.exe", L"SilentDel").exitCode);

    EXPECT_EQ(6u, WaitForLog(kInstall + L"\\XSrvSetup.log", 6).size());
    EXPECT_EQ(4u, ReadLog(kInstall + L"\\REReviZuvor.log").size()) << "start, close, start, close";
    ::Sleep(500);
    EXPECT_FALSE(FileExists(L"C:\\Program.log")) << ReadTextFile(L"C:\\Program.log");
}

TEST_F(EndToEnd, UncopyableApplicationFailsWith1603) {
    Install();
    // The installed executable is in use: open without sharing write access.
    fw::UniqueHandle inUse(::CreateFileW((kInstall + L"\\REReviZuvor.exe").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, inUse.get());
    WriteTextFile(kPayload + L"\\Application\\REReviZuvor.exe", "a newer build");
    Install(1603);
    EXPECT_TRUE(m_boxes.empty()) << "a copy failure shows nothing";
    const std::vector<std::string> log = SetupLogLines();
    EXPECT_EQ(1u, CountStartingWith(log, "Could not move " + Narrow(kInstall) + "\\REReviZuvor.exe aside to " +
                                             Narrow(kInstall) + "\\Uninstall\\Backup\\"));
    EXPECT_TRUE(HasLine(log, "The install was undone"));
    EXPECT_EQ("Exit code 1603", log.back());
    // The earlier install is as it was.
    EXPECT_TRUE(FileExists(MenuFolder() + L"\\Uninstall.lnk"));
    EXPECT_EQ(L"1.0.0.4", ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"DisplayVersion"));
}

TEST_F(EndToEnd, UnusableFolderNameTouchesNothing) {
    const std::vector<std::wstring> before = ListTree(L"C:\\Program Files");
    for (const wchar_t* name : {L"..\\Windows", L"..", L"", L"NUL", L"com1.dir", L"KRT55A.", L"KRT55A "}) {
        SetIni(L"Customized_Setting", L"APPFolderName", name);
        // WritePrivateProfileString drops the blank at the end; the reader would too unless quoted.
        if (std::wstring(name) == L"KRT55A ") SetIni(L"Customized_Setting", L"APPFolderName", L"\"KRT55A \"");
        const auto start = std::chrono::steady_clock::now();
        Install(1603);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << Narrow(name);
        EXPECT_TRUE(m_boxes.empty()) << Narrow(name);
        EXPECT_TRUE(m_windows.empty()) << Narrow(name);
        EXPECT_EQ(before, ListTree(L"C:\\Program Files"));
        EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kEntry));
        EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRun, kAppName).has_value());
        EXPECT_FALSE(FileExists(DesktopLink()));
        // The log of an unusable folder name has the fixed name.
        const std::vector<std::string> log = SetupLogLines(L"KRT21C-setup.log");
        ASSERT_GE(log.size(), 2u);
        EXPECT_TRUE(HasLine(log, "Message not shown (nobody at the screen): [Fail] The install folder in setup.ini "
                                 "is not valid!"))
            << Narrow(name);
        EXPECT_EQ("Exit code 1603", log.back());
    }
    // The windowless removal refuses it alike.
    EXPECT_EQ(1603u, RunSetup(kPayload + L"\\setup.exe", L"SilentDel").exitCode);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(before, ListTree(L"C:\\Program Files"));
}

TEST_F(EndToEnd, ServiceModeWithoutServiceProgramEndsAt1603WithoutWindow) {
    SetWindowsVersion(WindowsVersion::VistaWorkstation);
    ASSERT_TRUE(::DeleteFileW((kPayload + L"\\Application\\XSrvSetup.exe").c_str()));
    const auto start = std::chrono::steady_clock::now();
    Install(1603);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(m_windows.empty());
    EXPECT_FALSE(FileExists(DesktopLink())) << "the install ended before its shortcuts";
    const std::vector<std::string> log = SetupLogLines();
    EXPECT_TRUE(HasLine(log, "Message not shown (nobody at the screen): [Fail] Fail to install the service!"));
    EXPECT_EQ(1u, CountStartingWith(log, "Could not start \"" + Narrow(kInstall) + "\\XSrvSetup.exe\" -i in " +
                                             Narrow(kInstall) + ": error "));
    EXPECT_EQ("Exit code 1603", log.back());
}

TEST_F(EndToEnd, ClimbingNamesTouchNothingOutside) {
    const std::wstring outside = L"C:\\Program Files\\outside.exe";
    ASSERT_TRUE(WriteTextFile(outside, "precious"));
    const std::wstring home = SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\..";
    ASSERT_TRUE(WriteTextFile(home + L"\\Outside.lnk", "precious"));

    // The install refuses each name before it touches anything.
    struct Name {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
    } names[] = {{L"Customized_Setting", L"APPFileName", L"..\\outside.exe"},
                 {L"Customized_Setting", L"APPFileName", L"nul.exe"},
                 {L"Startup", L"AppName", L"..\\Outside"},
                 {L"Startup", L"AppName", L"Kestrin\\Manager"},
                 {L"Startup", L"AppName", L""}};
    for (const Name& n : names) {
        ResetIni();
        SetIni(n.section, n.key, n.value);
        Install(1603);
        EXPECT_TRUE(m_boxes.empty());
        EXPECT_FALSE(FolderExists(kInstall)) << Narrow(n.value);
        EXPECT_FALSE(FolderExists(MenuFolder())) << Narrow(n.value);
        EXPECT_TRUE(RegValueNames(HKEY_LOCAL_MACHINE, kRun).empty()) << "not even the Run key's default value";
        EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kEntry));
    }
    EXPECT_EQ("precious", ReadTextFile(outside));
    EXPECT_EQ("precious", ReadTextFile(home + L"\\Outside.lnk"));
    const std::vector<std::string> log = SetupLogLines();
    EXPECT_TRUE(HasLine(log, "APPFileName \"..\\outside.exe\" of setup.ini refused: not a plain file name"));
    EXPECT_TRUE(HasLine(log, "Message not shown (nobody at the screen): [Fail] The application name in setup.ini is "
                             "not valid!"));

    // The removal of a good installation whose setup.ini was changed afterwards refuses them too.
    ResetIni();
    Install();
    const std::vector<std::wstring> installed = ListTree(kInstall);
    const std::wstring ini = kInstall + L"\\Uninstall\\setup.ini";
    for (const Name& n : names) {
        ASSERT_TRUE(::CopyFileW((kPayload + L"\\setup.ini").c_str(), ini.c_str(), FALSE));
        ASSERT_TRUE(::WritePrivateProfileStringW(n.section, n.key, n.value, ini.c_str()));
        EXPECT_EQ(1603u, RunSetup(kInstall + L"\\Uninstall\\setup.exe", L"SilentDel").exitCode) << Narrow(n.value);
    }
    EXPECT_EQ(installed, ListTree(kInstall));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_TRUE(FileExists(DesktopLink()));
    EXPECT_EQ("precious", ReadTextFile(outside));
    EXPECT_EQ("precious", ReadTextFile(home + L"\\Outside.lnk"));
}

TEST_F(EndToEnd, RemovalWithoutSetupIniTouchesNothing) {
    Install();
    const std::wstring other = L"C:\\Program Files\\Other";
    SetIni(L"Customized_Setting", L"APPFolderName", L"Other");
    SetIni(L"Startup", L"AppName", L"Other Manager");
    Install();
    ASSERT_TRUE(::DeleteFileW((other + L"\\Uninstall\\setup.ini").c_str()));
    const std::vector<std::wstring> first = ListTree(kInstall);
    const std::vector<std::wstring> second = ListTree(other);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(1603u, RunSetup(other + L"\\Uninstall\\setup.exe", L"SilentDel").exitCode);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(m_boxes.empty());
    // Without it the defaults would have named the first installation.
    EXPECT_EQ(first, ListTree(kInstall));
    EXPECT_EQ(second, ListTree(other));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kRun, kAppName).has_value());
    EXPECT_TRUE(FileExists(DesktopLink()));
    EXPECT_TRUE(FileExists(MenuFolder() + L"\\Uninstall.lnk"));
    // Its log is named after the folder the defaults give; it says why nothing happened.
    const std::vector<std::string> log = SetupLogLines();
    EXPECT_TRUE(HasLine(log, "Message not shown (nobody at the screen): [Fail] There is no setup.ini beside the "
                             "removal program: nothing was removed!"));
    EXPECT_EQ("Exit code 1603", log.back());
}

TEST_F(EndToEnd, ProgramHeldOpenKeepsTheEntryAndReadOnlyFilesAreRemoved) {
    Install();
    const std::wstring program = kInstall + L"\\REReviZuvor.exe";
    const std::wstring removal = kInstall + L"\\Uninstall\\setup.exe";
    {
        // Held open without sharing its delete, as a running program or a scanner holds it.
        fw::UniqueHandle held(::CreateFileW(program.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(INVALID_HANDLE_VALUE, held.get());
        EXPECT_EQ(1603u, RunSetup(removal, L"SilentDel").exitCode);
        EXPECT_TRUE(FileExists(program));
        EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kEntry)) << "kept, so that the removal can run again";
        EXPECT_TRUE(FileExists(kInstall + L"\\Uninstall\\setup.exe"));
        // The Run value goes first: a half-removed application is not started at log-on.
        EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRun, kAppName).has_value());
        EXPECT_FALSE(FileExists(kInstall + L"\\mingwm10.dll")) << "the other steps still ran";
        EXPECT_EQ(1u, CountStartingWith(SetupLogLines(), "Could not delete " + Narrow(program) + ": error 32 ("));
    }
    // Released, the removal runs again and completes: nothing is left.
    EXPECT_EQ(0u, RunSetup(removal, L"SilentDel").exitCode);
    EXPECT_FALSE(FolderExists(kInstall));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRun, kAppName).has_value());

    // Read-only installed files are made writable and removed.
    Install();
    ASSERT_TRUE(::SetFileAttributesW(program.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(::SetFileAttributesW((kInstall + L"\\center.gif").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(0u, RunSetup(removal, L"SilentDel").exitCode);
    EXPECT_FALSE(FileExists(program));
    EXPECT_FALSE(FileExists(kInstall + L"\\center.gif"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kEntry));
}

TEST_F(EndToEnd, StoppedApplicationWindowDoesNotHoldUpInstallOrRemoval) {
    Install();
    // The installed application, hung: its window stays, and it handles no message.
    ProcessResult app;
    std::thread running([&] { app = RunProcess(QuoteArgument(kInstall + L"\\REReviZuvor.exe") + L" stopped", 90000); });
    ASSERT_NE(nullptr, WaitForWindow(kAppName));

    auto start = std::chrono::steady_clock::now();
    const ProcessResult install = RunSetup(kPayload + L"\\setup.exe", L"s", 30000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(12));
    const std::vector<std::string> log = SetupLogLines();
    EXPECT_TRUE(HasLine(log, "The window titled \"Kestrin HW RAID Manager\" did not handle WM_CLOSE within 5000 ms: "
                             "left alone"));
    // The program still runs from the file the install replaces: that file moves aside (a running
    // program's file may be renamed) and is deleted at the next restart.
    EXPECT_EQ(0u, install.exitCode);
    EXPECT_EQ(1u, CountStartingWith(log, "Replaced C:\\payload\\Application\\REReviZuvor.exe"));
    EXPECT_EQ(1u, CountStartingWith(log, "In use, deleted at the next restart: " + Narrow(kInstall) + "\\Uninstall\\Backup\\"));

    start = std::chrono::steady_clock::now();
    RunSetup(kInstall + L"\\Uninstall\\setup.exe", L"SilentDel", 30000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(12));
    EXPECT_NE(nullptr, ::FindWindowW(nullptr, kAppName.c_str())) << "left alone";

    if (HWND window = ::FindWindowW(nullptr, kAppName.c_str())) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        fw::UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, pid));
        ::TerminateProcess(process.get(), 0);
    }
    running.join();
}

TEST_F(EndToEnd, LinkedImagesFolderKeepsTheTargetsFiles) {
    Install();
    const std::wstring images = kInstall + L"\\Images";
    const std::wstring elsewhere = L"C:\\elsewhere";
    ASSERT_TRUE(::CreateDirectoryW(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(elsewhere + L"\\keep.bmp", "precious"));

    // A link inside Images is neither emptied nor deleted.
    ASSERT_TRUE(MakeFolderLink(images + L"\\linked", elsewhere));
    Install();
    EXPECT_EQ("precious", ReadTextFile(elsewhere + L"\\keep.bmp"));
    EXPECT_TRUE(::GetFileAttributesW((images + L"\\linked").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_TRUE(FileExists(images + L"\\disk_ok.bmp"));
    EXPECT_TRUE(HasLine(SetupLogLines(), "A link, not deleted: " + Narrow(images) + "\\linked"));

    // Images itself a link: it goes aside as a link, and nothing is copied through it. Where the
    // system cannot move a link as a link (Wine follows every link), the install fails and undoes
    // itself instead.
    ASSERT_TRUE(RemoveFolderLink(images + L"\\linked"));
    RemoveTree(images);
    ASSERT_FALSE(FolderExists(images));
    ASSERT_TRUE(MakeFolderLink(images, elsewhere));
    const ProcessResult linked = RunSetup(kPayload + L"\\setup.exe", L"s");
    EXPECT_EQ("precious", ReadTextFile(elsewhere + L"\\keep.bmp"));
    EXPECT_FALSE(FileExists(elsewhere + L"\\disk_ok.bmp")) << "nothing was copied through the link";
    EXPECT_TRUE(HasLine(SetupLogLines(), "The images folder " + Narrow(images) + " is a link: set aside as a link"));
    if (linked.exitCode == 0) {
        EXPECT_FALSE(::GetFileAttributesW(images.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    } else {
        EXPECT_EQ(1603u, linked.exitCode);
        EXPECT_TRUE(HasLine(SetupLogLines(), "The install was undone"));
    }

    RunSetup(kInstall + L"\\Uninstall\\setup.exe", L"SilentDel");
    EXPECT_EQ("precious", ReadTextFile(elsewhere + L"\\keep.bmp"));
}

TEST_F(EndToEnd, EveryRunIsLogged) {
    Install();
    EXPECT_EQ(0u, RunSetup(kInstall + L"\\Uninstall\\setup.exe", L"SilentDel").exitCode);
    const std::vector<std::string> log = SetupLogLines();
    // Two runs, each opened by its time and closed by its exit code.
    EXPECT_EQ(2u, CountStartingWith(log, "===== "));
    EXPECT_EQ(2u, CountStartingWith(log, "Program "));
    EXPECT_TRUE(HasLine(log, "Command line: \"C:\\payload\\setup.exe\" s"));
    EXPECT_TRUE(HasLine(log, "Road: silent install"));
    EXPECT_TRUE(HasLine(log, "Road: silent removal"));
    EXPECT_EQ(2u, CountStartingWith(log, "Windows 6.1.7601 "));
    EXPECT_EQ(2u, CountStartingWith(log, "Install folder: " + Narrow(kInstall)));
    EXPECT_EQ(2u, CountStartingWith(log, "Exit code 0"));
    EXPECT_EQ("Exit code 0", log.back());
    // The install: one line per installed file, per value and per shortcut.
    EXPECT_EQ(31u, CountStartingWith(log, "Copied C:\\payload\\"));
    EXPECT_EQ(11u, CountStartingWith(log, "Set HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"));
    EXPECT_EQ(3u, CountStartingWith(log, "Created shortcut "));
    EXPECT_TRUE(HasLine(log, "Created shortcut " + Narrow(MenuFolder()) + "\\Uninstall.lnk -> " + Narrow(kInstall) +
                                 "\\Uninstall\\setup.exe delpkg"));
    // The removal: each deleted file, the entry, the value and the shortcuts.
    EXPECT_TRUE(HasLine(log, "Deleted " + Narrow(kInstall) + "\\REReviZuvor.exe"));
    EXPECT_TRUE(HasLine(log, "Deleted HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KRT55A"));
    EXPECT_EQ(3u, std::count_if(log.begin(), log.end(), [](const std::string& line) {
                  return line.rfind("Deleted ", 0) == 0 && line.size() > 4 && line.substr(line.size() - 4) == ".lnk";
              }));
    EXPECT_TRUE(HasLine(log, "Removal completed"));
    // The version from the program's own version block.
    EXPECT_EQ(1u, CountStartingWith(log, "Program C:\\payload\\setup.exe, version 1.0.0.4"));
    EXPECT_EQ(1u, CountStartingWith(log, "Program " + Narrow(kInstall) + "\\Uninstall\\setup.exe, version 1.0.0.4"));
}

TEST_F(EndToEnd, SecondCopyEndsAt1618) {
    fw::UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, L"Global\\KRT21C_INSTALL"));
    ASSERT_TRUE(mutex);
    for (const wchar_t* args : {L"", L"s", L"delpkg"}) {
        const auto start = std::chrono::steady_clock::now();
        const ProcessResult r = RunSetup(kPayload + L"\\setup.exe", args, 20000);
        EXPECT_EQ(1618u, r.exitCode) << Narrow(args);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_TRUE(m_boxes.empty());
        EXPECT_TRUE(m_windows.empty());
    }
    EXPECT_FALSE(FolderExists(kInstall)) << "the silent install did not run";
    const std::vector<std::string> log = SetupLogLines();
    EXPECT_EQ(3u, CountStartingWith(log, "Another copy of setup is running"));
    EXPECT_EQ(3u, CountStartingWith(log, "Exit code 1618"));
}
