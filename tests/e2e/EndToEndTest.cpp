// setup.exe on the sample payload, end to end under Wine. Each test runs in a fresh prefix.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/Handles.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace {

const std::wstring kPayload = L"C:\\payload";
const std::wstring kInstall = L"C:\\Program Files\\KRT55A";
const std::wstring kAppName = L"Kestrin HW RAID Manager";
const std::wstring kEntry = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KRT55A";
const std::wstring kRun = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kPersisted =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

struct LogLine {
    unsigned long long ms = 0;
    std::string event;
    std::string details;
};

std::vector<LogLine> ReadLog(const std::wstring& path) {
    std::vector<LogLine> lines;
    for (const std::string& text : ReadLines(path)) {
        LogLine line;
        std::istringstream in(text);
        in >> line.ms >> line.event;
        std::getline(in, line.details);
        if (!line.details.empty() && line.details[0] == ' ') line.details.erase(0, 1);
        lines.push_back(line);
    }
    return lines;
}

// Waits until the log holds at least count lines (its writers run on their own).
std::vector<LogLine> WaitForLog(const std::wstring& path, size_t count, DWORD timeoutMs = 15000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<LogLine> lines = ReadLog(path);
    while (lines.size() < count && std::chrono::steady_clock::now() < end) {
        ::Sleep(50);
        lines = ReadLog(path);
    }
    return lines;
}

HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs = 15000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        HWND window = ::FindWindowW(nullptr, title.c_str());
        if (window || std::chrono::steady_clock::now() > end) return window;
        ::Sleep(50);
    }
}

std::wstring DesktopLink() { return SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + kAppName + L".lnk"; }
std::wstring MenuFolder() { return SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + kAppName; }

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return ::lstrcmpiW(a.c_str(), b.c_str()) < 0; });
    return names;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(PayloadDir().empty()) << "SETUP_TEST_PAYLOAD_DIR is not set";
        RemoveTree(kPayload);
        CopyTree(PayloadDir(), kPayload);
        ASSERT_TRUE(FileExists(kPayload + L"\\setup.exe"));
    }

    void SetIni(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
        ASSERT_TRUE(::WritePrivateProfileStringW(section, key, value, (kPayload + L"\\setup.ini").c_str()));
    }

    // Runs a setup.exe, answering and recording its message boxes and noting its windows.
    ProcessResult RunSetup(const std::wstring& program, const std::wstring& args, DWORD timeoutMs = 60000) {
        MessageBoxWatcher watcher(0xFFFFFFFF);
        ProcessResult result = RunProcess(QuoteArgument(program) + (args.empty() ? L"" : L" " + args), timeoutMs,
                                          [&](DWORD pid) { watcher.WatchProcess(pid); });
        m_boxes = watcher.Boxes();
        m_windows = watcher.OtherWindows();
        EXPECT_TRUE(result.started);
        EXPECT_FALSE(result.timedOut);
        return result;
    }
    ProcessResult Install(DWORD expectedExit = 0) {
        ProcessResult r = RunSetup(kPayload + L"\\setup.exe", L"s");
        EXPECT_EQ(expectedExit, r.exitCode);
        return r;
    }

    void ExpectSameFile(const std::wstring& installed, const std::wstring& source) {
        EXPECT_TRUE(SameFileContents(installed, source)) << Narrow(installed) << " vs " << Narrow(source);
    }

    std::vector<MessageBoxRecord> m_boxes;
    std::vector<std::wstring> m_windows;
};

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
        L"Uninstall\\setup.exe", L"Uninstall\\setup.ini", L"Uninstall\\setupCHS.dll", L"Uninstall\\setupCHT.dll",
        L"Uninstall\\setupENU.dll", L"Uninstall\\setupJPN.dll"});
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
    EXPECT_EQ(L"1.00.00", ReadRegString(hklm, kEntry, L"DisplayVersion"));
    EXPECT_EQ(kInstall, ReadRegString(hklm, kEntry, L"InstallLocation"));
    EXPECT_EQ(kInstall + L"\\REReviZuvor.exe", ReadRegString(hklm, kEntry, L"DisplayIcon"));
    EXPECT_EQ(1u, ReadRegDword(hklm, kEntry, L"NoModify"));
    EXPECT_EQ(1u, ReadRegDword(hklm, kEntry, L"NoRepair"));
    unsigned long long bytes = 0;
    for (const auto& file : ListTree(kInstall)) bytes += ReadTextFile(kInstall + L"\\" + file).size();
    EXPECT_EQ((bytes + 1023) / 1024, ReadRegDword(hklm, kEntry, L"EstimatedSize").value_or(0));
    EXPECT_EQ(L"\"" + kInstall + L"\\REReviZuvor.exe\" min", ReadRegString(hklm, kRun, kAppName));

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
    EXPECT_EQ("", log[0].details) << "started without arguments";
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
    EXPECT_EQ("version=1.00.00", log[1].details) << "closed before setup.ini was replaced";
    EXPECT_FALSE(FileExists(kInstall + L"\\Images\\stale.bmp"));
    EXPECT_TRUE(FileExists(kInstall + L"\\Images\\disk_ok.bmp"));
    EXPECT_EQ(L"2.00.00", ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"DisplayVersion"));
}

TEST_F(EndToEnd, ServiceMode) {
    SetWindowsVersion(WindowsVersion::VistaWorkstation);
    Install();
    const std::wstring serviceLog = kInstall + L"\\XSrvSetup.log";
    ExpectSameFile(kInstall + L"\\XSrvSetup.exe", kPayload + L"\\Application\\XSrvSetup.exe");
    auto log = WaitForLog(serviceLog, 1);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("-i version=1.00.00", log[0].details);
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRun, kAppName).has_value());
    EXPECT_EQ(1u, ReadRegDword(HKEY_CURRENT_USER, kPersisted, L"c:\\payload\\setup.exe").value_or(0));
    EXPECT_EQ(1u, ReadRegDword(HKEY_CURRENT_USER, kPersisted, kInstall + L"\\REReviZuvor.exe").value_or(0));
    for (const wchar_t* name : {L"libeay32.dll", L"ssleay32.dll", L"zlib1.dll"})
        ExpectSameFile(kInstall + L"\\" + name, kPayload + L"\\Application\\vista\\" + name);

    SetIni(L"Startup", L"Version", L"2.00.00");
    Install();
    log = WaitForLog(serviceLog, 4);
    ASSERT_EQ(4u, log.size());
    EXPECT_EQ("-k version=1.00.00", log[1].details);
    EXPECT_EQ("-u version=1.00.00", log[2].details);
    EXPECT_EQ("-i version=2.00.00", log[3].details);
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
    Install();
    WriteTextFile(kInstall + L"\\Cfg.KS", "settings");
    WriteTextFile(MenuFolder() + L"\\Readme.txt", "another file");

    const ProcessResult r = RunSetup(kInstall + L"\\Uninstall\\setup.exe", L"SilentDel");
    EXPECT_EQ(0u, r.exitCode);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(m_windows.empty());

    const std::vector<std::wstring> left = Sorted({
        L"libeay32.dll", L"setup.ini", L"ssleay32.dll", L"Images\\banner.png", L"Images\\disk_fail.bmp",
        L"Images\\disk_ok.bmp", L"Uninstall\\setup.exe", L"Uninstall\\setup.ini", L"Uninstall\\setupCHS.dll",
        L"Uninstall\\setupCHT.dll", L"Uninstall\\setupENU.dll", L"Uninstall\\setupJPN.dll"});
    EXPECT_EQ(left, ListTree(kInstall));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRun, kAppName).has_value());
    EXPECT_FALSE(FileExists(DesktopLink()));
    EXPECT_FALSE(FileExists(MenuFolder() + L"\\" + kAppName + L".lnk"));
    EXPECT_FALSE(FileExists(MenuFolder() + L"\\Uninstall.lnk"));
    EXPECT_TRUE(FileExists(MenuFolder() + L"\\Readme.txt")) << "the folder with another file stays";
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
    // Every later step still ran.
    EXPECT_TRUE(FileExists(MenuFolder() + L"\\Uninstall.lnk"));
    EXPECT_EQ(L"1.00.00", ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"DisplayVersion"));
}

TEST_F(EndToEnd, UnusableFolderNameTouchesNothing) {
    const std::vector<std::wstring> before = ListTree(L"C:\\Program Files");
    for (const wchar_t* name : {L"..\\Windows", L"..", L""}) {
        SetIni(L"Customized_Setting", L"APPFolderName", name);
        Install(1603);
        ASSERT_EQ(1u, m_boxes.size()) << Narrow(name);
        EXPECT_EQ(L"Fail", m_boxes[0].caption);
        EXPECT_EQ(L"The install folder in setup.ini is not valid!", m_boxes[0].text);
        EXPECT_EQ(before, ListTree(L"C:\\Program Files"));
        EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kEntry));
        EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kRun, kAppName).has_value());
        EXPECT_FALSE(FileExists(DesktopLink()));
    }
}

TEST_F(EndToEnd, SecondCopyEndsAt1618) {
    fw::UniqueHandle mutex(::CreateMutexW(nullptr, FALSE, L"KRT21C_INSTALL"));
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
}
