// The install record as a claim, never a command: a record that names places of other programs,
// backups left for the next restart, an interrupted install whose program runs, links planted in
// the install folder and a record cut short, each with setup.exe on the sample payload.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "base/Handles.h"
#include "engine/record/RecordList.h"
#include "tests/e2e/InstallWorld.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;
using namespace e2e;

namespace {

// Made when first used: kInstall is another file's, built in an order of its own.
std::wstring RecordPath() { return kInstall + L"\\Uninstall\\install-record.txt"; }
const std::wstring kOther = L"C:\\Program Files\\Other";
const std::wstring kUninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string Line(RecordKind kind, const std::wstring& a, const std::wstring& b = L"", const std::wstring& c = L"") {
    fw::HeapArray<char> text;
    size_t bytes = 0;
    EXPECT_TRUE(CRecordList::FormatLine(kind, a.c_str(), b.c_str(), c.c_str(), text, bytes));
    return std::string(text.get(), bytes);
}

std::string ReadAll(const std::wstring& path) {
    std::string text;
    for (const std::string& line : ReadLines(path)) text += line + "\r\n";
    return text;
}

bool SetRegString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& data) {
    fw::UniqueRegKey opened;
    return ::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, opened.put(), nullptr) ==
               ERROR_SUCCESS &&
           ::RegSetValueExW(opened.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// A program that setup.exe could start, which logs any start of its own.
void PlantProgram(const std::wstring& path) {
    ASSERT_TRUE(::CopyFileW((kPayload + L"\\Application\\XSrvSetup.exe").c_str(), path.c_str(), FALSE));
}

class RecordSafety : public InstallWorld {
protected:
    // What the lines name: files, values and keys of others, all there before.
    void AddVictims() {
        ASSERT_TRUE(::CreateDirectoryW(kOther.c_str(), nullptr));
        ASSERT_TRUE(WriteTextFile(kOther + L"\\other.dll", "other"));
        ASSERT_TRUE(WriteTextFile(kOther + L"\\dotdot.dll", "other"));
        ASSERT_TRUE(WriteTextFile(Document(), "a letter"));
        PlantProgram(kOther + L"\\XSrvSetup.exe");
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kRun, L"OtherApp", L"\"" + kOther + L"\\other.exe\""));
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey + L"\\OtherApp", L"DisplayName", L"Other"));
        ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\OtherVendor", L"Setting", L"kept"));
        m_winIni = ReadAll(L"C:\\windows\\win.ini");
        ASSERT_FALSE(m_winIni.empty());
    }
    std::string HostileLines() {
        const std::wstring hklm = L"HKLM\\";
        return Line(RecordKind::File, L"C:\\windows\\win.ini") + Line(RecordKind::File, Document()) +
               Line(RecordKind::File, kOther + L"\\other.dll") +
               Line(RecordKind::File, kInstall + L"\\..\\Other\\dotdot.dll") + Line(RecordKind::Folder, kOther) +
               Line(RecordKind::Moved, kInstall + L"\\Cfg.KS", L"C:\\windows\\win.ini") +
               Line(RecordKind::Value, hklm + kRun, L"OtherApp", L"none") +
               Line(RecordKind::Key, hklm + kUninstallKey + L"\\OtherApp") +
               Line(RecordKind::Key, L"HKLM\\SOFTWARE\\OtherVendor") +
               Line(RecordKind::Value, L"HKLM\\SOFTWARE\\OtherVendor", L"Setting", L"none") +
               Line(RecordKind::ServiceInstalled, kOther) + Line(RecordKind::ServiceReleased, kOther);
    }
    void ExpectVictimsThere() {
        EXPECT_EQ(m_winIni, ReadAll(L"C:\\windows\\win.ini"));
        EXPECT_EQ("a letter", ReadTextFile(Document()));
        EXPECT_EQ("other", ReadTextFile(kOther + L"\\other.dll"));
        EXPECT_EQ("other", ReadTextFile(kOther + L"\\dotdot.dll"));
        EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kRun, L"OtherApp").has_value());
        EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kUninstallKey + L"\\OtherApp", L"DisplayName").has_value());
        EXPECT_EQ(L"kept", ReadRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\OtherVendor", L"Setting"));
        EXPECT_FALSE(FileExists(kOther + L"\\XSrvSetup.log")) << "the planted program was started";
    }
    static std::wstring Document() { return SpecialFolder(CSIDL_PERSONAL) + L"\\letter.txt"; }
    std::string m_winIni;
};

// Starts the installed application in the background; killed when the object goes.
class RunningApp {
public:
    explicit RunningApp(const std::wstring& arguments) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION raw = {};
        std::wstring commandLine = QuoteArgument(kInstall + L"\\REReviZuvor.exe") + L" " + arguments;
        if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, kInstall.c_str(),
                             &startup, &raw)) {
            m_process.reset(raw.hProcess);
            ::CloseHandle(raw.hThread);
        }
        m_shown = WaitForWindow(kAppName) != nullptr;
    }
    ~RunningApp() { Stop(); }
    // Ends it, with the log it keeps beside itself, which is not the install's.
    bool Shown() const { return m_shown; }
    void Stop() {
        if (!m_process) return;
        ::TerminateProcess(m_process.get(), 0);
        ::WaitForSingleObject(m_process.get(), 10000);
        m_process.reset();
        ::DeleteFileW((kInstall + L"\\REReviZuvor.log").c_str());
    }

private:
    fw::UniqueHandle m_process;
    bool m_shown = false;
};

}  // namespace

TEST_F(RecordSafety, RemovalAndUndoLeaveAloneWhatTheRecordNamesOutsideTheInstallation) {
    AddVictims();
    const std::vector<std::wstring> before = MachineSnapshot();

    // A completed record that also names others' places: the removal takes only the installation.
    Install();
    std::string record = ReadAll(RecordPath());
    const size_t completed = record.rfind("completed | #");
    ASSERT_NE(std::string::npos, completed);
    ASSERT_TRUE(WriteTextFile(RecordPath(), record.insert(completed, HostileLines())));
    Remove(0);
    ExpectVictimsThere();
    EXPECT_EQ(before, MachineSnapshot());
    const std::vector<std::string> log = SetupLogLines();
    EXPECT_TRUE(HasLine(log, "Left alone, outside the installation: file C:\\windows\\win.ini"));
    EXPECT_TRUE(HasLine(log, "Left alone, outside the installation: file " + Narrow(kInstall) + "\\..\\Other\\dotdot.dll"));
    EXPECT_TRUE(HasLine(log, "Left alone, outside the installation: value " + Narrow(L"HKLM\\" + kRun) + " | OtherApp"));
    EXPECT_TRUE(HasLine(log, "Left alone, outside the installation: key HKLM\\SOFTWARE\\OtherVendor"));

    // The same lines as a run that did not complete: its undo, by the next install, leaves them too.
    Install();
    ASSERT_TRUE(WriteTextFile(RecordPath(), ReadAll(RecordPath()) + Line(RecordKind::Begin, L"today", kPayload + L"\\") +
                                           HostileLines()));
    Install(0);
    EXPECT_TRUE(RecordCompleted());
    ExpectVictimsThere();
    EXPECT_TRUE(HasLine(SetupLogLines(), "Left alone, outside the installation: service installed " + Narrow(kOther)));
    Remove(0);
    EXPECT_EQ(before, MachineSnapshot());
}

TEST_F(RecordSafety, ALinkAtTheBackupFolderIsNeverWalked) {
    const std::vector<std::wstring> before = MachineSnapshot();
    Install();
    const std::wstring elsewhere = L"C:\\elsewhere";
    ASSERT_TRUE(::CreateDirectoryW(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(elsewhere + L"\\precious.txt", "precious"));
    ASSERT_TRUE(MakeFolderLink(kInstall + L"\\Uninstall\\Backup", elsewhere));

    // Removed as a link where the system allows it; otherwise the install is refused untouched.
    const DWORD install = RunSetup(kPayload + L"\\setup.exe", L"s").exitCode;
    EXPECT_EQ("precious", ReadTextFile(elsewhere + L"\\precious.txt"));
    EXPECT_EQ((std::vector<std::wstring>{L"precious.txt"}), ListTree(elsewhere));
    const DWORD removal = RunSetup(kInstall + L"\\Uninstall\\setup.exe", L"SilentDel").exitCode;
    EXPECT_EQ((std::vector<std::wstring>{L"precious.txt"}), ListTree(elsewhere));
    if (!FolderExists(kInstall + L"\\Uninstall\\Backup")) {
        EXPECT_EQ(0u, install);
        EXPECT_EQ(0u, removal);
        EXPECT_EQ(before, MachineSnapshot());
    } else {
        // Wine follows every link: the link stays, and so does the entry, for a later removal.
        EXPECT_EQ(1603u, removal);
        EXPECT_TRUE(ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"UninstallString").has_value());
        ASSERT_TRUE(RemoveFolderLink(kInstall + L"\\Uninstall\\Backup"));
        Remove(0);
        EXPECT_EQ(before, MachineSnapshot());
    }
}

TEST_F(RecordSafety, BackupsLeftForTheNextRestartDoNotCollideWithTheNextUpgrade) {
    const std::vector<std::wstring> before = MachineSnapshot();
    Install();
    // A program that ignores WM_CLOSE keeps its file: each upgrade moves it aside and leaves it
    // for the next restart.
    RunningApp app(L"stopped");
    ASSERT_TRUE(app.Shown());
    SetIni(L"Startup", L"Version", L"2.00.00");
    Install(0);
    SetIni(L"Startup", L"Version", L"3.00.00");
    Install(0);
    EXPECT_TRUE(RecordCompleted());
    EXPECT_EQ(L"3.00.00", ReadRegString(HKEY_LOCAL_MACHINE, kEntry, L"DisplayVersion"));
    ExpectSameFile(kInstall + L"\\Uninstall\\setup.exe", kPayload + L"\\setup.exe");
    ExpectSameFile(kInstall + L"\\REReviZuvor.exe", kPayload + L"\\Application\\REReviZuvor.exe");
    app.Stop();
    Remove(0);
    EXPECT_EQ(before, MachineSnapshot());
}

TEST_F(RecordSafety, AnInterruptedInstallWhoseProgramRunsIsNoTrap) {
    const std::vector<std::wstring> before = MachineSnapshot();
    // Where the application's program is in place: the line after its copy is being written.
    Install();
    const std::vector<std::string> record = ReadLines(RecordPath());
    const std::string program = "file | " + Narrow(kInstall) + "\\REReviZuvor.exe";
    size_t line = 0;
    while (line < record.size() && record[line].substr(0, record[line].find(" | #")) != program) ++line;
    ASSERT_LT(line, record.size());
    Remove();

    // The user started the half-installed program from its folder: the recovery closes it first.
    ASSERT_NE(0u, InstallKilledAt(line + 2));
    {
        RunningApp app(L"");
        ASSERT_TRUE(app.Shown());
        Install(0);
        EXPECT_TRUE(RecordCompleted());
    }
    Remove();
    ASSERT_EQ(before, MachineSnapshot());

    // One that does not close: the install roads refuse, the removal takes what it can, and a
    // later removal finishes the job.
    ASSERT_NE(0u, InstallKilledAt(line + 2));
    RunningApp hung(L"stopped");
    ASSERT_TRUE(hung.Shown());
    Install(1603);
    EXPECT_EQ(1u, CountStartingWith(SetupLogLines(), "Could not undo " + Narrow(kInstall) + "\\REReviZuvor.exe"));
    EXPECT_TRUE(HasLine(SetupLogLines(),
                        "The install that did not complete could not be undone: the failures above name what holds it"));
    EXPECT_EQ(1603u, RunSetup(kPayload + L"\\setup.exe", L"SilentDel").exitCode);
    // What is left: the program, the log it keeps beside itself, and the record of what is left.
    EXPECT_EQ((std::vector<std::wstring>{L"REReviZuvor.exe", L"REReviZuvor.log", L"Uninstall\\install-record.txt"}),
              ListTree(kInstall));
    hung.Stop();
    EXPECT_EQ(0u, RunSetup(kPayload + L"\\setup.exe", L"SilentDel").exitCode);
    EXPECT_EQ(before, MachineSnapshot());
}

TEST_F(RecordSafety, ARecordCutShortByAPowerCutLeavesNothingBehindTheNextRemoval) {
    const std::vector<std::wstring> before = MachineSnapshot();
    Install();
    // The disk kept the copies but only half the record, cut inside a line.
    const std::string record = ReadAll(RecordPath());
    ASSERT_TRUE(WriteTextFile(RecordPath(), record.substr(0, record.size() / 2 + 3)));
    Install(0);
    EXPECT_TRUE(RecordCompleted());
    Remove(0);
    EXPECT_EQ(before, MachineSnapshot());
}
