// Shared support of the end-to-end tests: setup.exe on the sample payload in C:\\payload, its runs
// with exact exit codes and the message boxes they showed, its log, and a snapshot of everything an
// install touches (the install folder, the Start menu, both desktops and the Uninstall and Run
// keys) to compare a machine before and after.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace e2e {

using testsupport::ProcessResult;
using testsupport::MessageBoxRecord;

extern const std::wstring kPayload;
extern const std::wstring kInstall;
extern const std::wstring kAppName;
extern const std::wstring kEntry;
extern const std::wstring kRun;
extern const std::wstring kPersisted;

struct LogLine {
    unsigned long long ms = 0;
    std::string event;
    std::string details;
};
// A stand-in's log: the milliseconds, the event and its details on each line.
std::vector<LogLine> ReadLog(const std::wstring& path);
// Waits until the log holds at least count lines (its writers run on their own).
std::vector<LogLine> WaitForLog(const std::wstring& path, size_t count, DWORD timeoutMs = 15000);
HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs = 15000);

std::wstring DesktopLink();      // the application's shortcut on the all-users desktop
std::wstring UserDesktopLink();  // where installs made before put it: the running user's own desktop
std::wstring MenuFolder();
// The run log of this user: %TEMP%\<folder name>-setup.log, and its lines without the milliseconds.
std::wstring SetupLogPath(const std::wstring& name = L"KRT55A-setup.log");
std::vector<std::string> SetupLogLines(const std::wstring& name = L"KRT55A-setup.log");
bool HasLine(const std::vector<std::string>& lines, const std::string& wanted);
size_t CountStartingWith(const std::vector<std::string>& lines, const std::string& prefix);

// The host's name of a Windows path that exists, or whose folder exists.
std::wstring HostPath(const std::wstring& path);
// Runs a host command line (the program by its host path, e.g. L"/bin/chmod"); its exit code.
DWORD RunHost(const std::wstring& commandLine);
// Makes link a symbolic link to the folder target with the host's own ln: Wine 8 cannot make
// links through the Windows calls, but reports a host link to a folder as a reparse point.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target);
bool RemoveFolderLink(const std::wstring& link);
std::vector<std::wstring> Sorted(std::vector<std::wstring> names);

// Everything an install touches, one line per file, folder, key and value, sorted.
std::vector<std::wstring> MachineSnapshot();
// The lines of the install record, 0 without one.
size_t RecordLines();
// The processes named setup.exe that are running.
size_t RunningSetupCopies();

class InstallWorld : public ::testing::Test {
protected:
    void SetUp() override;

    void ResetIni();
    void SetIni(const wchar_t* section, const wchar_t* key, const wchar_t* value);
    // Runs a setup.exe, answering and recording its message boxes and noting its windows.
    ProcessResult RunSetup(const std::wstring& program, const std::wstring& args, DWORD timeoutMs = 60000);
    ProcessResult Install(DWORD expectedExit = 0);
    ProcessResult Remove(DWORD expectedExit = 0);
    void ExpectSameFile(const std::wstring& installed, const std::wstring& source);
    // The payload's application holds every image of the install's table (those the sample lacks
    // of the given size): the whole install's record, long enough to stop it anywhere.
    void AddEveryTableImage(size_t bytes);
    // Starts the silent install and kills it (as a power cut or TerminateProcess would) once its
    // record holds at least lines lines; the lines it held then, or 0 when it ended first.
    size_t InstallKilledAt(size_t lines);
    // Whether the install record's last line is "completed".
    bool RecordCompleted();

    std::vector<MessageBoxRecord> m_boxes;
    std::vector<std::wstring> m_windows;
};

}  // namespace e2e
