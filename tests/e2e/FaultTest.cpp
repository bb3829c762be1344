// An install that completes or leaves the machine as it was, and a removal that leaves nothing of
// it: setup.exe on the sample payload with faults forced from outside, the machine compared before
// and after. Each test runs in a fresh prefix.
#include <gtest/gtest.h>

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

class Faults : public InstallWorld {
protected:
    // The payload as built, again: each case of a test spoils it in its own way.
    void FreshPayload() {
        RemoveTree(kPayload);
        CopyTree(PayloadDir(), kPayload);
    }
};

// A small volume mounted over the prefix's Program Files by the host, unmounted however the test ends.
class SmallVolume {
public:
    SmallVolume(const std::wstring& folder, unsigned long long kib) : m_host(HostPath(folder)) {
        m_mounted = RunHost(L"/bin/mount -t tmpfs -o size=" + std::to_wstring(kib) + L"k tmpfs " +
                            QuoteArgument(m_host)) == 0;
    }
    ~SmallVolume() {
        if (m_mounted && RunHost(L"/bin/umount " + QuoteArgument(m_host)) != 0)
            RunHost(L"/bin/umount -l " + QuoteArgument(m_host));
    }
    bool Mounted() const { return m_mounted; }

private:
    std::wstring m_host;
    bool m_mounted = false;
};

}  // namespace

TEST_F(Faults, FullVolumeMidCopyLeavesTheMachineAsItWas) {
    // Room for the uninstall copy of setup.exe and a few more files, not for the whole payload.
    WIN32_FILE_ATTRIBUTE_DATA setup;
    ASSERT_TRUE(::GetFileAttributesExW((kPayload + L"\\setup.exe").c_str(), GetFileExInfoStandard, &setup));
    SmallVolume volume(L"C:\\Program Files", setup.nFileSizeLow / 1024 + 64);
    ASSERT_TRUE(volume.Mounted());
    const std::vector<std::wstring> before = MachineSnapshot();
    Install(1603);
    const std::vector<std::string> log = SetupLogLines();
    EXPECT_EQ(1u, CountStartingWith(log, "Could not copy ")) << "the volume filled part way";
    EXPECT_TRUE(HasLine(log, "The install was undone"));
    EXPECT_EQ(before, MachineSnapshot());
}

TEST_F(Faults, UnusableInstallFolderOrMissingPayloadFileTouchesNothing) {
    struct Case {
        const wchar_t* spoiled;  // removed from the payload, or made a file in the install folder's place
        std::string logged;
    };
    auto lacks = [](const std::string& file) {
        return "The payload lacks C:\\payload\\" + file + ": nothing was touched";
    };
    // Every file the install cannot do without, each refused before the first change.
    const std::vector<Case> cases = {
        {nullptr, "The install folder's place " + Narrow(kInstall) + " is taken by a file: nothing was touched"},
        {L"setup.exe", lacks("setup.exe")},
        {L"setup.ini", lacks("setup.ini")},
        {L"setupENU.dll", lacks("setupENU.dll")},
        {L"setupCHT.dll", lacks("setupCHT.dll")},
        {L"setupCHS.dll", lacks("setupCHS.dll")},
        {L"setupJPN.dll", lacks("setupJPN.dll")},
        {L"Application\\REReviZuvor.exe", lacks("Application\\REReviZuvor.exe")},
        {L"Application\\mingwm10.dll", lacks("Application\\mingwm10.dll")},
        {L"Application\\libeay32.dll", lacks("Application\\libeay32.dll")},
        {L"Application\\ssleay32.dll", lacks("Application\\ssleay32.dll")},
        // The system's variant: from "vista" on Windows Server 2008, zlib1.dll with them.
        {L"Application\\vista\\libeay32.dll", lacks("Application\\vista\\libeay32.dll")},
        {L"Application\\vista\\ssleay32.dll", lacks("Application\\vista\\ssleay32.dll")},
        {L"Application\\vista\\zlib1.dll", lacks("Application\\vista\\zlib1.dll")},
    };
    for (const Case& c : cases) {
        FreshPayload();
        const std::wstring spoiled = c.spoiled ? c.spoiled : L"";
        if (spoiled == cases[11].spoiled) SetWindowsVersion(WindowsVersion::Server2008);
        // Without setup.exe the payload's program runs under another name.
        const std::wstring program = kPayload + (spoiled == L"setup.exe" ? L"\\install.exe" : L"\\setup.exe");
        if (spoiled == L"setup.exe") {
            ASSERT_TRUE(::CopyFileW((kPayload + L"\\setup.exe").c_str(), program.c_str(), FALSE));
        }
        if (c.spoiled) {
            ASSERT_TRUE(::DeleteFileW((kPayload + L"\\" + c.spoiled).c_str()));
        } else {
            ASSERT_TRUE(WriteTextFile(kInstall, "in the way"));
        }
        const std::vector<std::wstring> before = MachineSnapshot();
        EXPECT_EQ(1603u, RunSetup(program, L"s").exitCode) << c.logged;
        EXPECT_EQ(before, MachineSnapshot()) << c.logged;
        EXPECT_TRUE(HasLine(SetupLogLines(), c.logged)) << c.logged;
        ::DeleteFileW(kInstall.c_str());
    }
}

TEST_F(Faults, KilledInstallIsUndoneByTheNextRun) {
    // Images of the install's table that the sample lacks make the copy last long enough to stop it.
    for (const wchar_t* name : {L"speed_left.gif", L"speed_right.gif", L"tray_show.png", L"tray_close.png",
                                L"tray_about.png", L"Raidlogo.png", L"NormalRaid.png", L"NormalDisk.png",
                                L"Controller.png", L"Delete.png", L"AdvancedInfo.png", L"AbnormalRaid.png"})
        ASSERT_TRUE(WriteTextFile(kPayload + L"\\Application\\" + name, std::string(8 << 20, 'i')));
    const std::vector<std::wstring> before = MachineSnapshot();

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION raw = {};
    std::wstring commandLine = QuoteArgument(kPayload + L"\\setup.exe") + L" s";
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &raw));
    fw::UniqueHandle process(raw.hProcess);
    fw::UniqueHandle thread(raw.hThread);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!FileExists(kInstall + L"\\center.gif") && std::chrono::steady_clock::now() < end) ::Sleep(1);
    ::TerminateProcess(process.get(), 9);  // as a kill or a power cut: nothing of the program runs on
    ::WaitForSingleObject(process.get(), 10000);
    ASSERT_TRUE(FileExists(kInstall + L"\\Uninstall\\install-record.txt"));
    EXPECT_FALSE(RecordCompleted());

    // The next run undoes it first, then installs.
    Install(0);
    EXPECT_EQ(1u, CountStartingWith(SetupLogLines(), "An install that did not complete is on record (begun "));
    EXPECT_TRUE(RecordCompleted());
    ExpectSameFile(kInstall + L"\\REReviZuvor.exe", kPayload + L"\\Application\\REReviZuvor.exe");
    ExpectSameFile(kInstall + L"\\Controller.png", kPayload + L"\\Application\\Controller.png");
    EXPECT_TRUE(FileExists(DesktopLink()));
    EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"UninstallString").has_value());
    Remove();
    EXPECT_EQ(before, MachineSnapshot());
}

TEST_F(Faults, UpgradeFromAnotherAppNameLeavesOneSetAndOneRemovalTakesBoth) {
    const std::vector<std::wstring> before = MachineSnapshot();
    const std::wstring earlier = L"Kestrin RAID Manager 1";
    SetIni(L"Startup", L"AppName", earlier.c_str());
    SetIni(L"Customized_Setting", L"APPFileName", L"Manager1.exe");
    ASSERT_TRUE(::CopyFileW((kPayload + L"\\Application\\REReviZuvor.exe").c_str(),
                            (kPayload + L"\\Application\\Manager1.exe").c_str(), FALSE));
    Install();
    ASSERT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kRun, earlier).has_value());

    ResetIni();
    Install();
    EXPECT_EQ(std::vector<std::wstring>{kAppName}, RegValueNames(HKEY_LOCAL_MACHINE, kRun));
    EXPECT_FALSE(FolderExists(SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + earlier));
    EXPECT_FALSE(FileExists(SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\" + earlier + L".lnk"));
    EXPECT_EQ((std::vector<std::wstring>{kAppName + L".lnk", L"Uninstall.lnk"}), Sorted(ListTree(MenuFolder())));

    Remove();
    EXPECT_EQ(before, MachineSnapshot()) << "nothing of either install is left";
}

TEST_F(Faults, FailedUpgradePutsTheEarlierInstallBack) {
    const std::vector<std::wstring> original = MachineSnapshot();
    Install();
    const std::vector<std::wstring> installed = MachineSnapshot();
    SetIni(L"Startup", L"Version", L"2.00.00");
    SetIni(L"Startup", L"AppName", L"Kestrin RAID Manager 2");
    {
        // Late in the copy, a file that cannot be moved aside: held open without sharing its delete.
        fw::UniqueHandle held(::CreateFileW((kInstall + L"\\RaidGUI.bmp").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(INVALID_HANDLE_VALUE, held.get());
        Install(1603);
        EXPECT_TRUE(HasLine(SetupLogLines(), "The install was undone"));
    }
    EXPECT_EQ(installed, MachineSnapshot());
    EXPECT_TRUE(RecordCompleted());
    Remove();
    EXPECT_EQ(original, MachineSnapshot()) << "still removable";
}

TEST_F(Faults, ReadOnlyMediaGiveWritableFilesThatALaterInstallReplaces) {
    // Media such as a CD-ROM hand out read-only files.
    for (const std::wstring& file : ListTree(kPayload + L"\\Application"))
        ASSERT_TRUE(::SetFileAttributesW((kPayload + L"\\Application\\" + file).c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(::GetFileAttributesW((kPayload + L"\\Application\\center.gif").c_str()) & FILE_ATTRIBUTE_READONLY);
    Install();
    for (const std::wstring& file : ListTree(kInstall))
        EXPECT_FALSE(::GetFileAttributesW((kInstall + L"\\" + file).c_str()) & FILE_ATTRIBUTE_READONLY) << Narrow(file);
    Install();
}

TEST_F(Faults, LateFailureUndoesEverythingAndLaunchesNothing) {
    SetIni(L"Customized_Setting", L"LaunchAPInSilentMode", L"1");
    // A file where the Start-menu folder belongs: the install fails at its shortcuts.
    ASSERT_TRUE(WriteTextFile(MenuFolder(), "in the way"));
    const std::vector<std::wstring> before = MachineSnapshot();
    Install(1603);
    EXPECT_EQ(before, MachineSnapshot());
    ::Sleep(500);
    EXPECT_EQ(nullptr, ::FindWindowW(nullptr, kAppName.c_str())) << "nothing was started";
    EXPECT_EQ(0u, CountStartingWith(SetupLogLines(), "Started "));
}

TEST_F(Faults, RemovalOfAnInstallMadeWithoutARecordLeavesNothing) {
    const std::vector<std::wstring> before = MachineSnapshot();
    Install();
    // As installs made before records were kept left it: no record, four language libraries, and
    // the desktop shortcut on the user's own desktop.
    ASSERT_TRUE(::DeleteFileW((kInstall + L"\\Uninstall\\install-record.txt").c_str()));
    for (const wchar_t* lang : {L"KOR", L"FRA", L"DEU", L"ITA", L"RUS", L"ESN", L"SVE", L"NLD", L"PTB"})
        ASSERT_TRUE(::DeleteFileW((kInstall + L"\\Uninstall\\setup" + lang + L".dll").c_str()));
    ASSERT_TRUE(::MoveFileW(DesktopLink().c_str(), UserDesktopLink().c_str()));
    Remove();
    EXPECT_EQ(before, MachineSnapshot());
}

TEST_F(Faults, RunningRemovalProgramLeavesAndIsGoneAfterTheNextRestart) {
    Install();
    Remove();
    EXPECT_FALSE(FolderExists(kInstall));
    EXPECT_EQ(0u, RunningSetupCopies());
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring moved = std::wstring(temp) + L"KRT55A-removal-1";
    EXPECT_TRUE(FileExists(moved + L"\\setup.exe")) << "the removal program could only leave the install folder";
    EXPECT_EQ(0u, RunProcess(L"wineboot.exe -r", 60000).exitCode);
    EXPECT_TRUE(WaitUntil([&] { return !FolderExists(moved); }, 10000));
}
