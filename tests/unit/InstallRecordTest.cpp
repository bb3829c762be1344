// The install record against the recording platform: when it reaches the disk, what a record that
// cannot be read or a run's stale backups lead to, values of every type, the shared compatibility
// key, and deletions that cannot be made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/install/InstallProcedure.h"
#include "engine/record/InstallUndo.h"
#include "engine/record/RecordList.h"
#include "tests/support/EngineWorld.h"

using LineList = std::vector<std::wstring>;

namespace {

const std::wstring kInstall = L"C:\\Program Files\\KRT55A";
const std::wstring kRecord = kInstall + L"\\Uninstall\\install-record.txt";
const std::wstring kBackup = kInstall + L"\\Uninstall\\Backup";
const std::wstring kRun = L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kPersisted =
    L"HKCU\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

std::string Line(RecordKind kind, const std::wstring& a, const std::wstring& b = L"") {
    fw::HeapArray<char> text;
    size_t bytes = 0;
    EXPECT_TRUE(CRecordList::FormatLine(kind, a.c_str(), b.c_str(), nullptr, text, bytes));
    return std::string(text.get(), bytes);
}

const std::string kHeading =
    "# What setup changed on this machine, in the order it changed it. Setup reads this file to undo an install "
    "that did not complete and to remove the installation; each line ends with its checksum.\r\n";

size_t Index(const LineList& calls, const std::wstring& prefix, size_t from = 0) {
    for (size_t i = from; i < calls.size(); ++i) {
        if (calls[i].rfind(prefix, 0) == 0) return i;
    }
    return calls.size();
}

}  // namespace

TEST_F(EngineWorld, TheRecordReachesTheDiskBeforeTheFirstChangeTheRegistrationAndTheBackupsGo) {
    AddInstalled(false);
    ASSERT_TRUE(RunInstall(kSetupDir, m_config));
    const LineList calls = m_os.Calls();
    const std::wstring flush = L"Flush " + kRecord;
    const size_t begin = Index(calls, L"Append " + kRecord + L": begin | ");
    const size_t firstFlush = Index(calls, flush, begin);
    EXPECT_LT(firstFlush, Index(calls, L"CopyFile "));
    EXPECT_LT(firstFlush, Index(calls, L"MoveFile "));
    const size_t beforeEntry = Index(calls, flush, firstFlush + 1);
    size_t lastCopy = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].rfind(L"CopyFile ", 0) == 0) lastCopy = i;
    }
    EXPECT_LT(lastCopy, beforeEntry);
    EXPECT_LT(beforeEntry, Index(calls, L"OpenKey HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"));
    // Every line before "completed" on the disk, and "completed" itself before anything moved aside goes.
    const size_t completed = Index(calls, L"Append " + kRecord + L": completed");
    EXPECT_EQ(completed - 1, Index(calls, flush, completed - 1));
    EXPECT_EQ(completed + 1, Index(calls, flush, completed));
    EXPECT_LT(completed, Index(calls, L"DeleteFile " + kBackup));
}

TEST_F(EngineWorld, AnUnreadableRecordIsSetAsideWithEverythingItsRunsMovedAside) {
    AddInstalled(false);
    // An interrupted run whose record was damaged: its moved-aside program must not be lost.
    m_os.AddFile(kBackup + L"\\1\\1");
    m_os.AddTextFile(kRecord, kHeading + Line(RecordKind::Begin, L"yesterday", kSetupDir) +
                                  Line(RecordKind::Moved, kInstall + L"\\REReviZuvor.exe", kBackup + L"\\1\\1") +
                                  "folder | damaged | #00000000\r\n");
    EXPECT_TRUE(RunInstall(kSetupDir, m_config));
    EXPECT_TRUE(m_os.Exists(kBackup + L".damaged\\1\\1"));
    EXPECT_TRUE(m_os.Exists(kRecord + L".damaged"));
    EXPECT_FALSE(m_os.Exists(kBackup));
}

TEST_F(EngineWorld, AnUndoPutsBackOnlyWhatItsOwnRunMovedAside) {
    ASSERT_TRUE(RunInstall(kSetupDir, m_config));
    const LineList installed = m_os.Snapshot();
    // A stale backup that an earlier run left for the next restart, named by this run's line.
    m_os.AddFile(kBackup + L"\\1\\1", 7);
    const std::string record = m_os.Content(kRecord);
    m_os.AddTextFile(kRecord, record + Line(RecordKind::Begin, L"today", kSetupDir) +
                                  Line(RecordKind::Moved, kInstall + L"\\REReviZuvor.exe", kBackup + L"\\1\\1"));
    EXPECT_TRUE(RecoverInterruptedInstall(m_config));
    EXPECT_TRUE(m_os.Exists(kBackup + L"\\1\\1")) << "not put back";
    m_os.DeleteFile((kBackup + L"\\1\\1").c_str());
    m_os.RemoveFolder((kBackup + L"\\1").c_str());
    m_os.RemoveFolder(kBackup.c_str());
    EXPECT_EQ(installed, m_os.Snapshot());
}

TEST_F(EngineWorld, AValueOfAnyTypeIsReplacedAndPutBackExactly) {
    // Another install's Run value under the same name, of a type setup does not write itself.
    const BYTE expandable[] = {'%', 0, 'X', 0, '%', 0, 0, 0};
    m_os.AddKey(kRun);
    ASSERT_TRUE(m_os.CreateKey(HKEY_LOCAL_MACHINE, kRun.c_str() + 5)->SetValue(kAppName, REG_EXPAND_SZ, expandable,
                                                                              sizeof expandable));
    const std::wstring earlier = m_os.Value(kRun, kAppName);
    const LineList before = m_os.Snapshot();
    // The install fails at its very end: what it replaced comes back as it was.
    m_os.Refuse(L"Append " + kRecord + L": completed");
    EXPECT_FALSE(RunInstall(kSetupDir, m_config));
    EXPECT_EQ(L"TYPE2:2500580025000000", earlier);
    EXPECT_EQ(before, m_os.Snapshot());
    m_os.ClearRefusals();
    EXPECT_TRUE(RunInstall(kSetupDir, m_config));
    EXPECT_EQ(0u, m_os.Value(kRun, kAppName).find(L"REG_SZ:\"C:\\Program Files\\KRT55A\\REReviZuvor.exe\" min"));
}

TEST_F(EngineWorld, TheSharedCompatibilityKeyIsTheInstallsOnlyWhenItMadeIt) {
    g_bVista = 1;
    const std::wstring mark = kInstall + L"\\REReviZuvor.exe";
    const std::wstring removalMark = kInstall + L"\\Uninstall\\setup.exe";
    ASSERT_TRUE(RunInstall(kSetupDir, m_config));
    EXPECT_NE(std::string::npos, m_os.Content(kRecord).find("key | " + std::string(kPersisted.begin(), kPersisted.end())));
    // The removal program marks itself as it starts; the removal takes both marks and the key it made.
    m_os.CreateKey(HKEY_CURRENT_USER, kPersisted.c_str() + 5)->SetDword(removalMark.c_str(), 1);
    EXPECT_TRUE(Remove());
    EXPECT_FALSE(m_os.KeyExists(kPersisted));

    // Another program's mark in it: only the install's go.
    m_os.AddKey(kPersisted);
    m_os.CreateKey(HKEY_CURRENT_USER, kPersisted.c_str() + 5)->SetDword(L"C:\\Other\\other.exe", 1);
    ASSERT_TRUE(RunInstall(kSetupDir, m_config));
    EXPECT_EQ(L"REG_DWORD:1", m_os.Value(kPersisted, mark));
    EXPECT_TRUE(Remove());
    EXPECT_EQ(L"", m_os.Value(kPersisted, mark));
    EXPECT_EQ(L"REG_DWORD:1", m_os.Value(kPersisted, L"C:\\Other\\other.exe"));
}

TEST_F(EngineWorld, ADeletionThatCannotBeMadeFailsTheRemovalAndKeepsTheEntry) {
    ASSERT_TRUE(RunInstall(kSetupDir, m_config));
    m_os.Refuse(L"OpenKey " + kRun, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(Remove());
    EXPECT_TRUE(m_os.KeyExists(kUninstallKey));
    EXPECT_NE(L"", m_os.Value(kRun, kAppName));
    m_os.ClearRefusals();
    EXPECT_TRUE(Remove());
    EXPECT_FALSE(m_os.Exists(kInstall));
}
