// The engine's registry, shortcut, window and process steps on the real platform under Wine.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <chrono>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "base/TextFormat.h"
#include "engine/install/InstallChanges.h"
#include "engine/install/InstallProcedure.h"
#include "engine/install/InstallRegistry.h"
#include "engine/install/Shortcuts.h"
#include "engine/platform/Environment.h"
#include "engine/platform/ProgramStart.h"
#include "engine/platform/RunningApplication.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace {

const wchar_t kEntry[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\UnitTool";
const wchar_t kRun[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class RealPlatformTest : public ::testing::Test {
protected:
    RealPlatformTest() {
        CopyText(m_config.szInstallDir, m_install.path().c_str());
        CopyText(m_config.szAppFileName, L"tool.exe");
        CopyText(m_config.szAppName, L"Unit Tool");
        CopyText(m_config.szCompanyName, L"Unit Maker");
        CopyText(m_config.szAppFolderName, L"UnitTool");
        CopyText(m_config.szVersion, L"3.2.1");
    }
    ~RealPlatformTest() override {
        g_bVista = 0;
        DeleteRegTree(HKEY_LOCAL_MACHINE, kEntry);
        DeleteRegValue(HKEY_LOCAL_MACHINE, kRun, L"Unit Tool");
    }
    ScratchFolder m_install{L"Unit Tool"};
    SetupConfig m_config{};
};

std::wstring Menu() { return SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\Unit Tool"; }

}  // namespace

TEST_F(RealPlatformTest, UninstallEntryAndRunValueHoldQuotedCommandLines) {
    CInstallChanges changes(m_config);
    ASSERT_TRUE(changes.Begin(L"C:\\payload\\"));
    ASSERT_TRUE(WriteUninstallEntry(m_config, 2049, changes));
    ASSERT_TRUE(WriteRunValue(m_config, changes));
    ASSERT_TRUE(changes.Commit(nullptr));
    const std::wstring i = m_install.path();
    EXPECT_EQ(L"\"" + i + L"\\tool.exe\" min", ReadRegString(HKEY_LOCAL_MACHINE, kRun, L"Unit Tool"));
    EXPECT_EQ(L"\"" + i + L"\\Uninstall\\setup.exe\" delpkg",
              ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"UninstallString"));
    EXPECT_EQ(L"\"" + i + L"\\Uninstall\\setup.exe\" SilentDel",
              ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"QuietUninstallString"));
    EXPECT_EQ(L"Unit Tool", ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"DisplayName"));
    EXPECT_EQ(L"Unit Maker", ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"Publisher"));
    EXPECT_EQ(L"3.2.1", ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"DisplayVersion"));
    EXPECT_EQ(i, ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"InstallLocation"));
    EXPECT_EQ(i + L"\\tool.exe", ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"DisplayIcon"));
    EXPECT_EQ(1u, ReadRegDword(HKEY_LOCAL_MACHINE, kEntry, L"NoModify"));
    EXPECT_EQ(1u, ReadRegDword(HKEY_LOCAL_MACHINE, kEntry, L"NoRepair"));
    EXPECT_EQ(3u, ReadRegDword(HKEY_LOCAL_MACHINE, kEntry, L"EstimatedSize"));

    // The stored data carries its terminator.
    fw::UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kEntry, 0, KEY_READ, key.put()));
    DWORD size = 0;
    ::RegQueryValueExW(key.get(), L"DisplayName", nullptr, nullptr, nullptr, &size);
    EXPECT_EQ((9u + 1u) * sizeof(wchar_t), size);
}

TEST_F(RealPlatformTest, UndoPutsBackWhatTheInstallReplacedAndTakesWhatItMade) {
    // What was there before: an entry with another version, a Run value, a file and a desktop
    // shortcut on the all-users desktop, all of an earlier install.
    const std::wstring i = m_install.path();
    ASSERT_TRUE(::CreateDirectoryW((i + L"\\Uninstall").c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(i + L"\\tool.exe", "earlier program"));
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kEntry, L"DisplayVersion", REG_SZ, L"1.0",
                                               4 * sizeof(wchar_t)));
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kRun, L"Unit Tool", REG_SZ, L"earlier",
                                               8 * sizeof(wchar_t)));
    const std::wstring link = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Unit Tool.lnk";
    ASSERT_TRUE(WriteTextFile(link, "earlier link"));
    const std::vector<std::wstring> filesBefore = ListTree(i);

    {
        fw::ComScope com;
        CInstallChanges changes(m_config);
        ASSERT_TRUE(changes.Begin(L"C:\\payload\\"));
        ULONGLONG bytes = 0;
        const std::wstring source = BuildDir() + L"\\tests\\unit\\startup_probe.exe";
        ASSERT_TRUE(changes.CopyIn(source.c_str(), (i + L"\\tool.exe").c_str(), false, bytes));
        ASSERT_TRUE(changes.CopyIn(source.c_str(), (i + L"\\new.exe").c_str(), false, bytes));
        ASSERT_TRUE(WriteUninstallEntry(m_config, 1, changes));
        ASSERT_TRUE(WriteRunValue(m_config, changes));
        ASSERT_TRUE(CreateDesktopShortcut((i + L"\\tool.exe").c_str(), L"Unit Tool", changes));
        ASSERT_TRUE(CreateProgramsShortcut(L"Unit Tool", (i + L"\\tool.exe").c_str(), L"Unit Tool", nullptr, changes));
        EXPECT_EQ(i + L"\\tool.exe", ReadShellLink(link)->target);
        EXPECT_TRUE(changes.Undo());
    }
    EXPECT_EQ(filesBefore, ListTree(i));
    EXPECT_EQ("earlier program", ReadTextFile(i + L"\\tool.exe"));
    EXPECT_EQ("earlier link", ReadTextFile(link));
    EXPECT_FALSE(FolderExists(Menu()));
    EXPECT_EQ(L"1.0", ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"DisplayVersion"));
    EXPECT_EQ(std::vector<std::wstring>{L"DisplayVersion"}, RegValueNames(HKEY_LOCAL_MACHINE, kEntry));
    EXPECT_EQ(L"earlier", ReadRegString(HKEY_LOCAL_MACHINE, kRun, L"Unit Tool"));
    ::DeleteFileW(link.c_str());
}

TEST_F(RealPlatformTest, ShortcutsPointAtTheirTargetsAndGoToTheAllUsersFolders) {
    fw::ComScope com;
    const std::wstring app = m_install / L"tool.exe";
    const std::wstring uninstall = m_install / L"Uninstall\\setup.exe";
    CInstallChanges changes(m_config);
    ASSERT_TRUE(changes.Begin(L"C:\\payload\\"));
    ASSERT_TRUE(CreateDesktopShortcut(app.c_str(), L"Unit Tool", changes));
    ASSERT_TRUE(CreateProgramsShortcut(L"Unit Tool", app.c_str(), L"Unit Tool", nullptr, changes));
    ASSERT_TRUE(CreateProgramsShortcut(L"Unit Tool", uninstall.c_str(), L"Uninstall", L"delpkg", changes));
    ASSERT_TRUE(changes.Commit(nullptr));

    const std::wstring desktopLink = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Unit Tool.lnk";
    EXPECT_FALSE(FileExists(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Unit Tool.lnk"));
    auto desktop = ReadShellLink(desktopLink);
    ASSERT_TRUE(desktop);
    EXPECT_EQ(app, desktop->target);
    EXPECT_EQ(L"", desktop->arguments);
    auto menuApp = ReadShellLink(Menu() + L"\\Unit Tool.lnk");
    ASSERT_TRUE(menuApp);
    EXPECT_EQ(app, menuApp->target);
    auto menuUninstall = ReadShellLink(Menu() + L"\\Uninstall.lnk");
    ASSERT_TRUE(menuUninstall);
    EXPECT_EQ(uninstall, menuUninstall->target);
    EXPECT_EQ(L"delpkg", menuUninstall->arguments);
    ::DeleteFileW(desktopLink.c_str());
    RemoveTree(Menu());
}

TEST_F(RealPlatformTest, CloseRunningAppSendsCloseAndPausesOnlyWhenTheWindowExists) {
    // A window of this thread: the synchronous WM_CLOSE runs its procedure right away.
    HWND window = ::CreateWindowExW(0, L"STATIC", L"Unit Tool Window", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    auto start = std::chrono::steady_clock::now();
    CloseRunningApp(L"Unit Tool Window");
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_GE(elapsed.count(), 990);

    start = std::chrono::steady_clock::now();
    CloseRunningApp(L"Unit Tool Window");
    elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(elapsed.count(), 500);
}

TEST_F(RealPlatformTest, RunProgramReportsWhetherTheProcessStarted) {
    std::wstring commandLine = QuoteArgument(BuildDir() + L"\\tests\\unit\\startup_probe.exe") + L" wow64";
    EXPECT_TRUE(RunProgram(commandLine.data(), 1, m_install.path().c_str()));
    std::wstring missing = QuoteArgument(m_install / L"missing.exe") + L" -i";
    EXPECT_FALSE(RunProgram(missing.data(), 1, m_install.path().c_str()));
}
