// The install and removal procedures step by step, against the recording platform.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/Environment.h"
#include "engine/FileTables.h"
#include "engine/InstallProcedure.h"
#include "engine/Removal.h"
#include "framework/TextFormat.h"
#include "tests/support/EngineWorld.h"
#include "tests/support/TestSupport.h"

using LineList = std::vector<std::wstring>;
using testsupport::Narrow;

namespace {
const std::wstring kUninstallEntry = L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KRT55A";
const std::wstring kRun = L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kPersisted =
    L"HKCU\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";
const std::wstring kMenu = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Kestrin HW RAID Manager";
const std::wstring kDesktopLink = L"C:\\Users\\tester\\Desktop\\Kestrin HW RAID Manager.lnk";
const std::wstring kService = L"\"C:\\Program Files\\KRT55A\\XSrvSetup.exe\"";
const std::wstring kInInstall = L" [in C:\\Program Files\\KRT55A]";
}  // namespace

TEST_F(EngineWorld, FreshInstallRunsEveryStepInOrder) {
    EXPECT_TRUE(RunInstall(kSetupDir, m_config));
    const std::wstring i = kInstallDir;
    const std::wstring p = kSetupDir;
    const LineList expected = {
        L"RemoveFolder " + i,
        L"FindTopWindow Kestrin HW RAID Manager",
        L"GetAttributes " + i,
        L"CreateFolder " + i,
        L"CreateFolder " + i + L"\\Uninstall",
        L"GetAttributes " + i + L"\\Images",
        L"CreateFolder " + i + L"\\Images",
        L"GetAttributes " + i,
        L"CopyFile " + p + L"setup.exe -> " + i + L"\\Uninstall\\setup.exe",
        L"CopyFile " + p + L"setup.ini -> " + i + L"\\Uninstall\\setup.ini",
        L"CopyFile " + p + L"setup.ini -> " + i + L"\\setup.ini",
        L"CopyFile " + p + L"setupENU.dll -> " + i + L"\\Uninstall\\setupENU.dll",
        L"CopyFile " + p + L"setupCHT.dll -> " + i + L"\\Uninstall\\setupCHT.dll",
        L"CopyFile " + p + L"setupCHS.dll -> " + i + L"\\Uninstall\\setupCHS.dll",
        L"CopyFile " + p + L"setupJPN.dll -> " + i + L"\\Uninstall\\setupJPN.dll",
        L"ListFolder " + i + L"\\Images\\*.*",
        L"ListFolder " + p + L"Application\\Images\\*.*",
        L"CopyFile " + p + L"Application\\Images\\pic.bmp -> " + i + L"\\Images\\pic.bmp",
        L"CopyFile " + p + L"Application\\mingwm10.dll -> " + i + L"\\mingwm10.dll",
        L"CopyFile " + p + L"Application\\REReviZuvor.exe -> " + i + L"\\REReviZuvor.exe",
        L"GetVersionInfo",
        L"CopyFile " + p + L"Application\\libeay32.dll -> " + i + L"\\libeay32.dll",
        L"CopyFile " + p + L"Application\\ssleay32.dll -> " + i + L"\\ssleay32.dll",
        L"CopyFile " + p + L"Application\\center.gif -> " + i + L"\\center.gif",
        L"CopyFile " + p + L"Application\\about_click.bmp -> " + i + L"\\about_click.bmp",
        L"OpenKey " + kRun,
        L"SetString " + kRun + L" [Kestrin HW RAID Manager] = \"" + i + L"\\REReviZuvor.exe\" min",
        L"CloseKey " + kRun,
        L"CreateKey " + kUninstallEntry,
        L"SetString " + kUninstallEntry + L" [UninstallString] = \"" + i + L"\\Uninstall\\setup.exe\" delpkg",
        L"SetString " + kUninstallEntry + L" [DisplayName] = Kestrin HW RAID Manager",
        L"SetString " + kUninstallEntry + L" [Publisher] = Kestrin Technology Corp.",
        L"SetString " + kUninstallEntry + L" [DisplayVersion] = 1.00.00",
        L"SetString " + kUninstallEntry + L" [QuietUninstallString] = \"" + i + L"\\Uninstall\\setup.exe\" SilentDel",
        L"SetString " + kUninstallEntry + L" [InstallLocation] = " + i,
        L"SetString " + kUninstallEntry + L" [DisplayIcon] = " + i + L"\\REReviZuvor.exe",
        L"SetDword " + kUninstallEntry + L" [NoModify] = 1",
        L"SetDword " + kUninstallEntry + L" [NoRepair] = 1",
        L"SetDword " + kUninstallEntry + L" [EstimatedSize] = 2",
        L"CloseKey " + kUninstallEntry,
        L"CoInitialize",
        L"NewShellLink",
        L"ShellLink.SetPath " + i + L"\\REReviZuvor.exe",
        L"GetSpecialFolder 16",
        L"PathExists " + kDesktopLink,
        L"ShellLink.Save " + kDesktopLink,
        L"ShellLink.Release",
        L"NewShellLink",
        L"ShellLink.SetPath " + i + L"\\REReviZuvor.exe",
        L"GetSpecialFolder 23",
        L"PathExists " + kMenu,
        L"CreateFolder " + kMenu,
        L"ShellLink.Save " + kMenu + L"\\Kestrin HW RAID Manager.lnk",
        L"ShellLink.Release",
        L"NewShellLink",
        L"ShellLink.SetPath " + i + L"\\Uninstall\\setup.exe",
        L"ShellLink.SetArguments delpkg",
        L"GetSpecialFolder 23",
        L"PathExists " + kMenu,
        L"PathExists " + kMenu + L"\\Uninstall.lnk",
        L"ShellLink.Save " + kMenu + L"\\Uninstall.lnk",
        L"ShellLink.Release",
        L"CoUninitialize",
    };
    EXPECT_EQ(expected, Sequence());
    // Each of the table's images is copied once, without a probe before it: the payload lacks
    // 117 of them, and their copies fail at once.
    EXPECT_EQ(kAppImageFileCount, Lines({L"CopyFile C:\\payload\\Application\\"}).size() - 5u);
    EXPECT_TRUE(Lines({L"PathExists C:\\payload"}).empty());
}

TEST_F(EngineWorld, EstimatedSizeIsWhatTheInstallCopiedRoundedUpToKiB) {
    m_os.AddFile(std::wstring(kSetupDir) + L"Application\\REReviZuvor.exe", 5000);
    AddInstalled(false);
    m_os.AddFile(std::wstring(kInstallDir) + L"\\leftover.bin", 1 << 20);  // not this install's
    EXPECT_TRUE(RunInstall(kSetupDir, m_config));
    // Thirteen files of 100 bytes and the application of 5000.
    EXPECT_EQ(L"REG_DWORD:7", m_os.Value(kUninstallEntry, L"EstimatedSize"));
    EXPECT_TRUE(Lines({L"ListFolder " + std::wstring(kInstallDir) + L"\\*"}).empty()) << "no second walk";
}

TEST_F(EngineWorld, ServiceModeReinstallReleasesTheOldServiceFirstAndMarksTheApplication) {
    g_bVista = 1;
    m_os.SetVersion(6, 0, VER_NT_WORKSTATION);
    AddInstalled(true);
    m_os.AddWindow(kAppName);
    EXPECT_TRUE(RunInstall(kSetupDir, m_config));
    const std::wstring i = kInstallDir;
    const LineList expected = {
        L"StartProcess show=5 flags=0x20 " + kService + L" -k" + kInInstall,
        L"Pause 1000",
        L"StartProcess show=5 flags=0x20 " + kService + L" -u" + kInInstall,
        L"Pause 1000",
        L"SendCloseMessage Kestrin HW RAID Manager within 5000 ms",
        L"Pause 1000",
        L"CopyFile C:\\payload\\setup.exe -> " + i + L"\\Uninstall\\setup.exe",
        L"CopyFile C:\\payload\\Application\\vista\\libeay32.dll -> " + i + L"\\libeay32.dll",
        L"CopyFile C:\\payload\\Application\\vista\\ssleay32.dll -> " + i + L"\\ssleay32.dll",
        L"CopyFile C:\\payload\\Application\\vista\\zlib1.dll -> " + i + L"\\zlib1.dll",
        L"CopyFile C:\\payload\\Application\\XSrvSetup.exe -> " + i + L"\\XSrvSetup.exe",
        L"CreateKey " + kUninstallEntry,
        L"StartProcess show=5 flags=0x20 " + kService + L" -i" + kInInstall,
        L"ShellLink.Save " + kDesktopLink,
        L"ShellLink.Save " + kMenu + L"\\Kestrin HW RAID Manager.lnk",
        L"ShellLink.Save " + kMenu + L"\\Uninstall.lnk",
        L"CreateKey " + kPersisted,
        L"SetDword " + kPersisted + L" [" + i + L"\\REReviZuvor.exe] = 1",
    };
    EXPECT_EQ(expected, Lines({L"StartProcess", L"Pause", L"SendCloseMessage", L"CopyFile C:\\payload\\setup.exe",
                               L"CopyFile C:\\payload\\Application\\vista", L"CopyFile C:\\payload\\Application\\X",
                               L"CreateKey", L"SetDword " + kPersisted, L"ShellLink.Save"}));
    // Nothing of the Run value in service mode; the old images and shortcuts were replaced.
    EXPECT_TRUE(Lines({L"OpenKey " + kRun}).empty());
    EXPECT_FALSE(m_os.Exists(i + L"\\Images\\old.bmp"));
    EXPECT_TRUE(m_os.Exists(i + L"\\Images\\pic.bmp"));
    EXPECT_EQ((LineList{L"DeleteFile " + kDesktopLink, L"DeleteFile " + kMenu + L"\\Kestrin HW RAID Manager.lnk",
                     L"DeleteFile " + kMenu + L"\\Uninstall.lnk"}),
              Lines({L"DeleteFile C:\\Users", L"DeleteFile C:\\ProgramData"}));
}

TEST_F(EngineWorld, FirstServiceModeInstallRunsNoReleaseAndNoPause) {
    g_bVista = 1;
    EXPECT_TRUE(RunInstall(kSetupDir, m_config));
    EXPECT_EQ((LineList{L"StartProcess show=5 flags=0x20 " + kService + L" -i" + kInInstall}),
              Lines({L"StartProcess", L"Pause"}));
}

TEST_F(EngineWorld, EveryStartedProcessAsksForNormalPriorityAQuotedPathAndTheInstallFolder) {
    g_bVista = 1;
    AddInstalled(true);
    RunInstall(kSetupDir, m_config);
    RunRemoval(m_config);
    const LineList started = Lines({L"StartProcess"});
    ASSERT_EQ(5u, started.size());
    for (const auto& line : started) {
        EXPECT_EQ(0u, line.find(L"StartProcess show=5 flags=0x20 \"C:\\Program Files\\")) << Narrow(line);
        EXPECT_EQ(kInInstall, line.substr(line.size() - kInInstall.size())) << Narrow(line);
    }
}

TEST_F(EngineWorld, ServiceThatCannotStartEndsTheInstallBeforeShortcutsAndMark) {
    g_bVista = 1;
    m_os.Refuse(L"StartProcess show=5 flags=0x20 " + kService + L" -i");
    EXPECT_FALSE(RunInstall(kSetupDir, m_config));
    EXPECT_EQ((LineList{L"MessageBox [Fail] Fail to install the service! type=0x51030"}), Lines({L"MessageBox"}));
    EXPECT_TRUE(Lines({L"NewShellLink", L"ShellLink", L"CreateKey HKCU"}).empty());
    // The files and the entry stay in place.
    EXPECT_TRUE(m_os.Exists(std::wstring(kInstallDir) + L"\\REReviZuvor.exe"));
    EXPECT_TRUE(m_os.KeyExists(kUninstallEntry));
}

TEST_F(EngineWorld, RunningApplicationIsClosedBeforeAnyFileIsCopied) {
    m_os.AddWindow(kAppName);
    RunInstall(kSetupDir, m_config);
    const LineList calls = Sequence();
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(L"FindTopWindow Kestrin HW RAID Manager", calls[1]);
    EXPECT_EQ(L"SendCloseMessage Kestrin HW RAID Manager within 5000 ms", calls[2]);
    EXPECT_EQ(L"Pause 1000", calls[3]);
    EXPECT_EQ(1, m_os.PauseCount());
}

TEST_F(EngineWorld, NoWindowNoPauseAndAnEmptyTitleIsNeverSearched) {
    RunInstall(kSetupDir, m_config);
    EXPECT_EQ(0, m_os.PauseCount());
    EXPECT_TRUE(Lines({L"SendCloseMessage"}).empty());

    m_os.AddWindow(L"");
    m_os.ClearCalls();
    CopyText(m_config.szAppName, L"");
    RunInstall(kSetupDir, m_config);
    EXPECT_TRUE(Lines({L"FindTopWindow", L"SendCloseMessage"}).empty());
}

TEST_F(EngineWorld, InvalidInstallFolderTouchesNothingAndSaysSo) {
    const LineList message = {L"MessageBox [Fail] The install folder in setup.ini is not valid! type=0x51030"};
    m_config.szInstallDir[0] = L'\0';
    EXPECT_FALSE(RunInstall(kSetupDir, m_config));
    EXPECT_EQ(message, m_os.Calls());

    m_os.ClearCalls();
    EXPECT_FALSE(RunRemoval(m_config));
    EXPECT_EQ(message, m_os.Calls());

    CopyText(m_config.szInstallDir, kInstallDir);
    CopyText(m_config.szAppFolderName, L"..");
    m_os.ClearCalls();
    EXPECT_FALSE(RunInstall(kSetupDir, m_config));
    EXPECT_FALSE(RunRemoval(m_config));
    EXPECT_EQ(2u, m_os.Calls().size());
}

TEST_F(EngineWorld, RegistryFailuresShowTheirMessageAndStopWhereTheyMust) {
    struct Case {
        std::wstring refused;
        LineList messages;
        bool installFails;
        LineList lastWrites;  // the entry's value writes that still happened
    } cases[] = {
        {L"SetString " + kRun, {L"MessageBox [Fail] Fail to write the Run registry key! type=0x51030"}, true,
         {L"UninstallString", L"DisplayName", L"Publisher", L"DisplayVersion"}},
        {L"OpenKey " + kRun, {}, false, {L"UninstallString", L"DisplayName", L"Publisher", L"DisplayVersion"}},
        {L"CreateKey " + kUninstallEntry, {}, true, {}},
        {L"SetString " + kUninstallEntry + L" [UninstallString]",
         {L"MessageBox [Fail] Fail to write the UninstallString registry key! type=0x51030"}, true, {}},
        {L"SetString " + kUninstallEntry + L" [DisplayName]",
         {L"MessageBox [Fail] Fail to write the DisplayName registry key! type=0x51030"}, true, {L"UninstallString"}},
        {L"SetString " + kUninstallEntry + L" [Publisher]", {}, false,
         {L"UninstallString", L"DisplayName", L"DisplayVersion"}},
        {L"SetString " + kUninstallEntry + L" [DisplayVersion]",
         {L"MessageBox [Fail] Fail to write the DisplayVersion registry key! type=0x51030"}, true,
         {L"UninstallString", L"DisplayName", L"Publisher"}},
    };
    for (const Case& c : cases) {
        FakePlatform os;
        os.AddFile(L"C:\\payload\\setup.exe");
        os.AddFile(L"C:\\payload\\setup.ini");
        os.AddFile(L"C:\\payload\\Application\\REReviZuvor.exe");
        os.Refuse(c.refused);
        ScopedPlatformOverride use(os);
        EXPECT_EQ(!c.installFails, RunInstall(kSetupDir, m_config)) << c.refused;
        EXPECT_EQ(c.messages, os.CallsStartingWith({L"MessageBox"})) << c.refused;
        LineList written;
        for (const wchar_t* name : {L"UninstallString", L"DisplayName", L"Publisher", L"DisplayVersion"}) {
            if (!os.Value(kUninstallEntry, name).empty()) written.push_back(name);
        }
        EXPECT_EQ(c.lastWrites, written) << c.refused;
        // The install goes on to its shortcuts after every registry failure.
        EXPECT_EQ(3u, os.CallsStartingWith({L"ShellLink.Save"}).size()) << c.refused;
    }
}

TEST_F(EngineWorld, PayloadFileThatCannotBeCopiedFailsTheInstallButAMissingOneDoesNot) {
    m_os.Refuse(L"CopyFile C:\\payload\\Application\\REReviZuvor.exe");
    EXPECT_FALSE(RunInstall(kSetupDir, m_config));
    // Every later step still ran.
    EXPECT_EQ(3u, Lines({L"ShellLink.Save"}).size());
    EXPECT_TRUE(Lines({L"MessageBox"}).empty());

    FakePlatform sparse;
    sparse.AddFile(L"C:\\payload\\setup.exe");
    ScopedPlatformOverride use(sparse);
    EXPECT_TRUE(RunInstall(kSetupDir, m_config));
}

TEST_F(EngineWorld, InstallFolderWhoseParentIsMissingFailsButStillRegisters) {
    CopyText(m_config.szInstallDir, L"D:\\Missing\\KRT55A");
    EXPECT_FALSE(RunInstall(kSetupDir, m_config));
    EXPECT_EQ(1u, Lines({L"CreateKey " + kUninstallEntry}).size());
}

TEST_F(EngineWorld, On64BitWindowsTheRegistryPathsNameWow6432Node) {
    g_bWow64 = 1;
    RunInstall(kSetupDir, m_config);
    const std::wstring base = L"HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\";
    EXPECT_EQ((LineList{L"OpenKey " + base + L"Run", L"CreateKey " + base + L"Uninstall\\KRT55A"}),
              Lines({L"OpenKey", L"CreateKey"}));
    m_os.ClearCalls();
    RunRemoval(m_config);
    EXPECT_EQ((LineList{L"OpenKey " + base + L"Uninstall", L"OpenKey " + base + L"Run"}), Lines({L"OpenKey"}));
}

TEST_F(EngineWorld, PathsThatDoNotFitAreRefusedNotCut) {
    // An install folder of 250 units fits its field, but none of the files fit beside it.
    const std::wstring longDir = L"C:\\Program Files\\" + std::wstring(233, L'd');
    CopyText(m_config.szInstallDir, longDir.c_str());
    CopyText(m_config.szAppFolderName, std::wstring(233, L'd').c_str());
    m_os.AddFolder(longDir);
    m_os.ClearCalls();
    EXPECT_FALSE(RunInstall(kSetupDir, m_config));
    for (const auto& line : m_os.Calls()) {
        const size_t arrow = line.find(L" -> ");
        if (arrow != std::wstring::npos) {
            EXPECT_LE(line.size() - arrow - 4, 259u) << Narrow(line);
        }
    }
    EXPECT_TRUE(Lines({L"CopyFile C:\\payload\\Application\\REReviZuvor.exe"}).empty());
}

TEST_F(EngineWorld, RemovalRunsEveryStepInOrder) {
    AddInstalled(false);
    m_os.AddFile(std::wstring(FakePlatform::kPrograms) + L"\\Kestrin HW RAID Manager\\Readme.txt");
    m_os.AddWindow(kAppName);
    EXPECT_TRUE(RunRemoval(m_config));
    const std::wstring i = kInstallDir;
    const LineList expected = {
        L"FindTopWindow Kestrin HW RAID Manager",
        L"SendCloseMessage Kestrin HW RAID Manager within 5000 ms",
        L"Pause 1000",
        L"DeleteFile " + i + L"\\mingwm10.dll",
        L"DeleteFile " + i + L"\\REReviZuvor.exe",
        L"DeleteFile " + i + L"\\Cfg.KS",
        L"DeleteFile " + i + L"\\center.gif",
        L"OpenKey HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
        L"DeleteSubKey " + kUninstallEntry,
        L"OpenKey " + kRun,
        L"DeleteValue " + kRun + L" [Kestrin HW RAID Manager]",
        L"DeleteFile " + kDesktopLink,
        L"DeleteFile " + kMenu + L"\\Kestrin HW RAID Manager.lnk",
        L"DeleteFile " + kMenu + L"\\Uninstall.lnk",
        L"RemoveFolder " + kMenu,
    };
    EXPECT_EQ(expected, Lines({L"FindTopWindow", L"SendCloseMessage", L"Pause", L"DeleteFile", L"OpenKey",
                               L"DeleteSubKey", L"DeleteValue", L"RemoveFolder", L"StartProcess"}));
    // Every name of the table is looked at, in table order, before its delete.
    const LineList looked = Lines({L"GetAttributes"});
    ASSERT_EQ(3u + kAppImageFileCount, looked.size());
    EXPECT_EQ(L"GetAttributes " + i + L"\\center.gif", looked[3]);
    EXPECT_EQ(L"GetAttributes " + i + L"\\about_click.bmp", looked.back());
    // What the removal leaves in place.
    for (const wchar_t* kept : {L"\\setup.ini", L"\\libeay32.dll", L"\\ssleay32.dll", L"\\Images\\old.bmp",
                                L"\\Uninstall\\setup.exe", L"\\Uninstall\\setup.ini", L"\\Uninstall\\setupENU.dll"})
        EXPECT_TRUE(m_os.Exists(i + kept)) << Narrow(kept);
    EXPECT_TRUE(m_os.Exists(kMenu)) << "the Start-menu folder holds another file";
    EXPECT_FALSE(m_os.KeyExists(kUninstallEntry));
}

TEST_F(EngineWorld, ServiceModeRemovalReleasesTheServiceEvenWithoutItsProgram) {
    g_bVista = 1;
    EXPECT_TRUE(RunRemoval(m_config));
    EXPECT_EQ((LineList{L"StartProcess show=5 flags=0x20 " + kService + L" -k" + kInInstall, L"Pause 1000",
                     L"StartProcess show=5 flags=0x20 " + kService + L" -u" + kInInstall, L"Pause 1000"}),
              Lines({L"StartProcess", L"Pause"}));
    EXPECT_EQ(L"GetAttributes C:\\Program Files\\KRT55A\\XSrvSetup.exe", Lines({L"GetAttributes"}).back());
    EXPECT_TRUE(Lines({L"OpenKey " + kRun, L"DeleteValue"}).empty());
}

TEST_F(EngineWorld, RemovalFailsWhenAnInstalledFileCannotBeDeletedButGoesOn) {
    AddInstalled(false);
    m_os.Refuse(L"DeleteFile C:\\Program Files\\KRT55A\\mingwm10.dll", ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(RunRemoval(m_config));
    // The rest still ran; the program file is gone, so the entry goes too.
    EXPECT_FALSE(m_os.Exists(std::wstring(kInstallDir) + L"\\REReviZuvor.exe"));
    EXPECT_FALSE(m_os.KeyExists(kUninstallEntry));
    EXPECT_FALSE(m_os.Exists(kMenu));
}
