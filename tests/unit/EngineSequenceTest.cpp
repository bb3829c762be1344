// The install and removal procedures against the recording platform: the order that matters,
// what a refused call leads to, and that a failed install leaves the world as it found it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/TextFormat.h"
#include "engine/install/InstallChanges.h"
#include "engine/install/InstallProcedure.h"
#include "engine/platform/Environment.h"
#include "engine/platform/FileTables.h"
#include "engine/record/InstallUndo.h"
#include "engine/removal/Removal.h"
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
const std::wstring kDesktopLink = L"C:\\Users\\Public\\Desktop\\Kestrin HW RAID Manager.lnk";
const std::wstring kService = L"\"C:\\Program Files\\KRT55A\\XSrvSetup.exe\"";
const std::wstring kInInstall = L" [in C:\\Program Files\\KRT55A]";
const std::wstring kRecord = L"C:\\Program Files\\KRT55A\\Uninstall\\install-record.txt";

// The index of the first call that starts with prefix (and holds part, when given), or npos.
size_t Find(const LineList& calls, const std::wstring& prefix, const std::wstring& part = L"", size_t from = 0) {
    for (size_t i = from; i < calls.size(); ++i) {
        if (calls[i].compare(0, prefix.size(), prefix) == 0 && calls[i].find(part) != std::wstring::npos) return i;
    }
    return std::wstring::npos;
}

size_t FindLast(const LineList& calls, const std::wstring& prefix) {
    size_t last = std::wstring::npos;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].compare(0, prefix.size(), prefix) == 0) last = i;
    }
    return last;
}

}  // namespace

TEST_F(EngineWorld, EveryChangeIsRecordedBeforeItIsMadeAndRegisteredLast) {
    EXPECT_TRUE(RunInstall(kSetupDir, m_config));
    const LineList calls = m_os.Calls();
    const std::wstring append = L"Append " + kRecord + L": ";
    // Each change, and the record's entry that names it: the entry comes first.
    struct Change {
        std::wstring call;
        std::wstring entry;
    };
    std::vector<Change> changes;
    for (const std::wstring& call : calls) {
        if (call.compare(0, 9, L"CopyFile ") == 0) changes.push_back({call, L"file | " + call.substr(call.find(L" -> ") + 4)});
        if (call.compare(0, 15, L"ShellLink.Save ") == 0) changes.push_back({call, L"file | " + call.substr(15)});
        if (call.compare(0, 10, L"CreateKey ") == 0) changes.push_back({call, L"key | " + call.substr(10)});
        if (call.compare(0, 10 + kRun.size(), L"SetString " + kRun) == 0)
            changes.push_back({call, L"value | " + kRun + L" | Kestrin HW RAID Manager | none"});
    }
    ASSERT_EQ(15u + 3u + 1u + 1u, changes.size()) << "copies, shortcuts, the entry's key and the Run value";
    for (const Change& change : changes) {
        const size_t made = Find(calls, change.call);
        const size_t recorded = Find(calls, append, change.entry);
        EXPECT_LT(recorded, made) << Narrow(change.call);
    }
    // The entry, the shortcuts and the Run value only once every file is in place; the Run value
    // last of all, and the record completed after it.
    const size_t lastCopy = FindLast(calls, L"CopyFile ");
    const size_t entry = Find(calls, L"CreateKey " + kUninstallEntry);
    const size_t firstShortcut = Find(calls, L"ShellLink.Save ");
    const size_t run = Find(calls, L"SetString " + kRun);
    EXPECT_LT(lastCopy, entry);
    EXPECT_LT(entry, firstShortcut);
    EXPECT_LT(FindLast(calls, L"ShellLink.Save "), run);
    EXPECT_EQ(FindLast(calls, L"Set"), run);
    EXPECT_EQ(0u, calls[FindLast(calls, L"Append ")].find(append + L"completed | #"));
    // Each of the table's images the payload holds is copied, without a probe before any.
    EXPECT_EQ(2u, Lines({L"CopyFile C:\\payload\\Application\\center.gif",
                         L"CopyFile C:\\payload\\Application\\about_click.bmp"}).size());
    EXPECT_TRUE(Lines({L"PathExists C:\\payload"}).empty());
}

TEST_F(EngineWorld, FailedStepUndoesEverythingItChanged) {
    const std::wstring cases[] = {
        L"CopyFile C:\\payload\\Application\\REReviZuvor.exe",
        L"CreateKey " + kUninstallEntry,
        L"SetString " + kUninstallEntry + L" [DisplayName]",
        L"ShellLink.Save " + kMenu + L"\\Uninstall.lnk",
        L"SetString " + kRun,
        L"Append " + kRecord + L": completed",
    };
    for (const std::wstring& refused : cases) {
        FakePlatform os;
        AddPayload(os);
        ScopedPlatformOverride use(os);
        const LineList before = os.Snapshot();
        os.Refuse(refused);
        EXPECT_FALSE(RunInstall(kSetupDir, m_config)) << Narrow(refused);
        EXPECT_EQ(before, os.Snapshot()) << Narrow(refused);
    }
}

TEST_F(EngineWorld, FailedUpgradePutsTheEarlierInstallAndItsRecordBack) {
    ASSERT_TRUE(RunInstall(kSetupDir, m_config));
    m_os.AddFile(std::wstring(kInstallDir) + L"\\Images\\old.bmp");
    const LineList installed = m_os.Snapshot();
    CopyText(m_config.szVersion, L"2.00.00");
    m_os.Refuse(L"ShellLink.Save " + kMenu + L"\\Uninstall.lnk");
    EXPECT_FALSE(RunInstall(kSetupDir, m_config));
    EXPECT_EQ(installed, m_os.Snapshot());
    EXPECT_TRUE(Lines({L"MessageBox"}).empty());
}

TEST_F(EngineWorld, InterruptedInstallIsUndoneBeforeAnythingElse) {
    const LineList before = m_os.Snapshot();
    {
        // Killed after a folder, a copy and the entry's key: nothing of the run went on to undo it.
        CInstallChanges changes(m_config);
        ASSERT_TRUE(changes.Begin(kSetupDir));
        ULONGLONG bytes = 0;
        ASSERT_TRUE(changes.CopyIn(L"C:\\payload\\setup.exe", L"C:\\Program Files\\KRT55A\\Uninstall\\setup.exe",
                                   true, bytes));
        ASSERT_TRUE(changes.OpenKey(HKEY_LOCAL_MACHINE, kUninstallEntry.c_str() + 5, true));
    }
    // The line being written when it stopped is cut short (a full disk, the kill itself).
    ASSERT_TRUE(m_os.AppendTo(kRecord, "value | HKLM\\SOFTWARE\\Micro"));
    ASSERT_NE(before, m_os.Snapshot());
    EXPECT_TRUE(RecoverInterruptedInstall(m_config));
    EXPECT_EQ(before, m_os.Snapshot());
    // Nothing is left to recover.
    m_os.ClearCalls();
    EXPECT_TRUE(RecoverInterruptedInstall(m_config));
    EXPECT_EQ((LineList{L"ReadWholeFile " + kRecord}), m_os.Calls());
}

TEST_F(EngineWorld, DamagedRecordIsSetAsideAndTheInstallationAdoptedByName) {
    AddInstalled(false);
    m_os.AddTextFile(kRecord, "begin | yesterday\r\nnot an entry\r\n");
    EXPECT_TRUE(RunInstall(kSetupDir, m_config));
    EXPECT_EQ("begin | yesterday\r\nnot an entry\r\n", m_os.Content(kRecord + L".damaged"));
    const std::string record = m_os.Content(kRecord);
    EXPECT_NE(std::string::npos, record.find("file | C:\\Program Files\\KRT55A\\Cfg.KS | #")) << "adopted by name";
    EXPECT_EQ(record.size() - 23, record.find("completed | #", record.size() - 23));
    EXPECT_TRUE(Remove());
    EXPECT_FALSE(m_os.Exists(kInstallDir));
}

TEST_F(EngineWorld, EstimatedSizeIsWhatTheInstallCopiedRoundedUpToKiB) {
    m_os.AddFile(std::wstring(kSetupDir) + L"Application\\REReviZuvor.exe", 5000);
    EXPECT_TRUE(RunInstall(kSetupDir, m_config));
    // Fourteen files of 100 bytes (five language libraries among them) and the application of 5000.
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
        L"StartProcess show=5 flags=0x20 " + kService + L" -i" + kInInstall,
        L"ShellLink.Save " + kDesktopLink,
        L"ShellLink.Save " + kMenu + L"\\Kestrin HW RAID Manager.lnk",
        L"ShellLink.Save " + kMenu + L"\\Uninstall.lnk",
        L"SetDword " + kPersisted + L" [" + i + L"\\REReviZuvor.exe] = 1",
    };
    // The old service is released before anything is replaced, the new one registered once the
    // files and the entry are in place.
    EXPECT_EQ(expected, Lines({L"StartProcess", L"Pause", L"SendCloseMessage", L"CopyFile C:\\payload\\setup.exe",
                               L"CopyFile C:\\payload\\Application\\vista", L"CopyFile C:\\payload\\Application\\X",
                               L"SetDword " + kPersisted, L"ShellLink.Save"}));
    const LineList calls = m_os.Calls();
    EXPECT_LT(Find(calls, L"SetString " + kUninstallEntry), Find(calls, L"StartProcess", L" -i"));
    // Nothing of the Run value in service mode; the old images and the user's own desktop
    // shortcut of the earlier install went, what it made is the new record's.
    EXPECT_TRUE(Lines({L"SetString " + kRun}).empty());
    EXPECT_FALSE(m_os.Exists(i + L"\\Images\\old.bmp"));
    EXPECT_TRUE(m_os.Exists(i + L"\\Images\\pic.bmp"));
    EXPECT_FALSE(m_os.Exists(std::wstring(FakePlatform::kDesktop) + L"\\Kestrin HW RAID Manager.lnk"));
    EXPECT_FALSE(m_os.Exists(i + L"\\Uninstall\\Backup"));
    EXPECT_NE(std::string::npos, m_os.Content(kRecord).find("file | C:\\Program Files\\KRT55A\\Cfg.KS | #"));
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
    Remove();
    const LineList started = Lines({L"StartProcess"});
    ASSERT_EQ(5u, started.size());
    for (const auto& line : started) {
        EXPECT_EQ(0u, line.find(L"StartProcess show=5 flags=0x20 \"C:\\Program Files\\")) << Narrow(line);
        EXPECT_EQ(kInInstall, line.substr(line.size() - kInInstall.size())) << Narrow(line);
    }
}

TEST_F(EngineWorld, ServiceThatCannotStartUndoesTheInstallAfterItsMessage) {
    g_bVista = 1;
    const LineList before = m_os.Snapshot();
    m_os.Refuse(L"StartProcess show=5 flags=0x20 " + kService + L" -i");
    EXPECT_FALSE(RunInstall(kSetupDir, m_config));
    EXPECT_EQ((LineList{L"MessageBox [Fail] Fail to install the service! type=0x51030"}), Lines({L"MessageBox"}));
    EXPECT_TRUE(Lines({L"NewShellLink", L"ShellLink", L"CreateKey HKCU"}).empty());
    EXPECT_EQ(before, m_os.Snapshot());
}

TEST_F(EngineWorld, RunningApplicationIsClosedBeforeAnyChange) {
    m_os.AddWindow(kAppName);
    RunInstall(kSetupDir, m_config);
    const LineList calls = m_os.Calls();
    EXPECT_LT(Find(calls, L"SendCloseMessage Kestrin HW RAID Manager within 5000 ms"), Find(calls, L"CopyFile"));
    EXPECT_EQ(L"Pause 1000", calls[Find(calls, L"SendCloseMessage") + 1]);
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
    EXPECT_FALSE(Remove());
    EXPECT_EQ(message, m_os.Calls());

    CopyText(m_config.szInstallDir, kInstallDir);
    CopyText(m_config.szAppFolderName, L"..");
    m_os.ClearCalls();
    EXPECT_FALSE(RunInstall(kSetupDir, m_config));
    EXPECT_FALSE(Remove());
    EXPECT_EQ(2u, m_os.Calls().size());
}

TEST_F(EngineWorld, RegistryFailuresShowTheirMessageAndAPublisherFailureDoesNot) {
    struct Case {
        std::wstring refused;
        LineList messages;
        bool installFails;
    } cases[] = {
        {L"SetString " + kRun, {L"MessageBox [Fail] Fail to write the Run registry key! type=0x51030"}, true},
        {L"OpenKey " + kRun, {}, false},
        {L"CreateKey " + kUninstallEntry, {}, true},
        {L"SetString " + kUninstallEntry + L" [UninstallString]",
         {L"MessageBox [Fail] Fail to write the UninstallString registry key! type=0x51030"}, true},
        {L"SetString " + kUninstallEntry + L" [DisplayName]",
         {L"MessageBox [Fail] Fail to write the DisplayName registry key! type=0x51030"}, true},
        {L"SetString " + kUninstallEntry + L" [Publisher]", {}, false},
        {L"SetString " + kUninstallEntry + L" [DisplayVersion]",
         {L"MessageBox [Fail] Fail to write the DisplayVersion registry key! type=0x51030"}, true},
    };
    for (const Case& c : cases) {
        FakePlatform os;
        AddPayload(os);
        os.Refuse(c.refused);
        ScopedPlatformOverride use(os);
        EXPECT_EQ(!c.installFails, RunInstall(kSetupDir, m_config)) << Narrow(c.refused);
        EXPECT_EQ(c.messages, os.CallsStartingWith({L"MessageBox"})) << Narrow(c.refused);
    }
}

TEST_F(EngineWorld, MissingPayloadFileOrPathThatDoesNotFitIsRefusedBeforeAnyChange) {
    FakePlatform lacking;
    AddPayload(lacking);
    lacking.Refuse(L"ListFolder C:\\payload\\Application\\*.*");  // as good as an empty folder
    {
        ScopedPlatformOverride use(lacking);
        EXPECT_FALSE(RunInstall(kSetupDir, m_config));
    }
    // An install folder of 250 units fits its field, but none of the files fit beside it.
    const std::wstring longDir = L"C:\\Program Files\\" + std::wstring(233, L'd');
    CopyText(m_config.szInstallDir, longDir.c_str());
    CopyText(m_config.szAppFolderName, std::wstring(233, L'd').c_str());
    EXPECT_FALSE(RunInstall(kSetupDir, m_config));
    for (const FakePlatform* os : {&lacking, &m_os}) {
        EXPECT_TRUE(os->CallsStartingWith({L"Create", L"Copy", L"Move", L"Open", L"Set", L"Delete", L"Remove"}).empty());
    }
}

TEST_F(EngineWorld, On64BitWindowsTheRegistryPathsNameWow6432Node) {
    g_bWow64 = 1;
    RunInstall(kSetupDir, m_config);
    const std::wstring base = L"HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\";
    EXPECT_EQ((LineList{L"CreateKey " + base + L"Uninstall\\KRT55A"}), Lines({L"CreateKey"}));
    EXPECT_EQ(1u, Lines({L"SetString " + base + L"Run [Kestrin HW RAID Manager]"}).size());
    m_os.ClearCalls();
    Remove();
    EXPECT_EQ((LineList{L"DeleteValue " + base + L"Run [Kestrin HW RAID Manager]",
                        L"DeleteSubKey " + base + L"Uninstall\\KRT55A"}),
              Lines({L"DeleteValue", L"DeleteSubKey"}));
}

TEST_F(EngineWorld, RemovalTakesTheRunValueFirstAndTheEntryAndItsOwnFolderLast) {
    const LineList before = m_os.Snapshot();
    ASSERT_TRUE(RunInstall(kSetupDir, m_config));
    m_os.AddFile(std::wstring(kInstallDir) + L"\\Cfg.KS");
    m_os.AddWindow(kAppName);
    m_os.ClearCalls();
    EXPECT_TRUE(Remove());
    const LineList calls = m_os.Calls();
    const std::wstring i = kInstallDir;
    EXPECT_LT(Find(calls, L"FindTopWindow"), Find(calls, L"DeleteValue " + kRun));
    EXPECT_LT(Find(calls, L"DeleteValue " + kRun), Find(calls, L"DeleteFile " + kDesktopLink));
    EXPECT_LT(Find(calls, L"DeleteFile " + kDesktopLink), Find(calls, L"DeleteFile " + i + L"\\REReviZuvor.exe"));
    EXPECT_LT(Find(calls, L"DeleteFile " + i + L"\\Cfg.KS"), Find(calls, L"DeleteSubKey " + kUninstallEntry));
    EXPECT_LT(Find(calls, L"DeleteSubKey " + kUninstallEntry), Find(calls, L"DeleteFile " + i + L"\\Uninstall\\setup.exe"));
    EXPECT_LT(Find(calls, L"DeleteFile " + kRecord), Find(calls, L"RemoveFolder " + i + L"\\Uninstall"));
    EXPECT_EQ(L"RemoveFolder " + i, calls[FindLast(calls, L"RemoveFolder")]);
    EXPECT_EQ(before, m_os.Snapshot());
}

TEST_F(EngineWorld, RemovalOfAnUnrecordedInstallTakesWhatSuchAnInstallMade) {
    AddInstalled(false);
    const std::wstring i = kInstallDir;
    m_os.AddFile(std::wstring(FakePlatform::kPrograms) + L"\\Kestrin HW RAID Manager\\Readme.txt");
    EXPECT_TRUE(Remove());
    EXPECT_FALSE(m_os.Exists(i)) << "nothing else was in it: its shared files went too";
    EXPECT_FALSE(m_os.KeyExists(kUninstallEntry));
    EXPECT_FALSE(m_os.Exists(std::wstring(FakePlatform::kDesktop) + L"\\Kestrin HW RAID Manager.lnk"));
    EXPECT_TRUE(m_os.Exists(kMenu + L"\\Readme.txt")) << "the Start-menu folder holds another file";

    // A file of the user's own beside them: the shared files stay with it.
    AddInstalled(false);
    m_os.AddFile(i + L"\\notes.txt");
    EXPECT_TRUE(Remove());
    EXPECT_EQ((LineList{L"Images", L"libeay32.dll", L"notes.txt", L"setup.ini", L"ssleay32.dll"}), m_os.Children(i));
}

TEST_F(EngineWorld, RemovalThatCannotDeleteAFileKeepsTheEntryAndTheRecordOfWhatIsLeft) {
    ASSERT_TRUE(RunInstall(kSetupDir, m_config));
    const std::wstring program = std::wstring(kInstallDir) + L"\\REReviZuvor.exe";
    m_os.Refuse(L"DeleteFile " + program, ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(Remove());
    EXPECT_TRUE(m_os.KeyExists(kUninstallEntry));
    EXPECT_TRUE(m_os.Exists(std::wstring(kInstallDir) + L"\\Uninstall\\setup.exe"));
    const std::string record = m_os.Content(kRecord);
    EXPECT_NE(std::string::npos, record.find("file | C:\\Program Files\\KRT55A\\REReviZuvor.exe | #"));
    EXPECT_EQ(std::string::npos, record.find("mingwm10.dll"));
    EXPECT_EQ(std::string::npos, record.find(".lnk"));

    m_os.ClearRefusals();
    EXPECT_TRUE(Remove());
    EXPECT_FALSE(m_os.Exists(kInstallDir));
    EXPECT_FALSE(m_os.KeyExists(kUninstallEntry));
}

TEST_F(EngineWorld, RunningRemovalProgramLeavesForAFolderOfItsOwnAndGoesAtTheNextRestart) {
    ASSERT_TRUE(RunInstall(kSetupDir, m_config));
    const std::wstring program = std::wstring(kInstallDir) + L"\\Uninstall\\setup.exe";
    const std::wstring moved = std::wstring(FakePlatform::kTemp) + L"KRT55A-removal-2";
    m_os.AddFolder(std::wstring(FakePlatform::kTemp) + L"KRT55A-removal-1");  // someone else's
    m_os.Refuse(L"DeleteFile " + program, ERROR_ACCESS_DENIED);
    EXPECT_TRUE(Remove());
    EXPECT_FALSE(m_os.Exists(kInstallDir));
    EXPECT_TRUE(m_os.Exists(moved + L"\\setup.exe"));
    EXPECT_EQ(1u, Lines({L"CreatePrivateFolder " + moved}).size());
    EXPECT_EQ((LineList{moved + L"\\setup.exe", moved}), m_os.PendingDeletes());
}

TEST_F(EngineWorld, ServiceModeRemovalReleasesTheServiceEvenWithoutItsProgram) {
    g_bVista = 1;
    EXPECT_TRUE(Remove());
    EXPECT_EQ((LineList{L"StartProcess show=5 flags=0x20 " + kService + L" -k" + kInInstall, L"Pause 1000",
                        L"StartProcess show=5 flags=0x20 " + kService + L" -u" + kInInstall, L"Pause 1000"}),
              Lines({L"StartProcess", L"Pause"}));
}
