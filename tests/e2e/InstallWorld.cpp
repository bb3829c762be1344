#include "tests/e2e/InstallWorld.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>

#include "base/Handles.h"
#include "engine/platform/FileTables.h"

using namespace testsupport;

namespace e2e {

const std::wstring kPayload = L"C:\\payload";
const std::wstring kInstall = L"C:\\Program Files\\KRT55A";
const std::wstring kAppName = L"Kestrin HW RAID Manager";
const std::wstring kEntry = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KRT55A";
const std::wstring kRun = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kPersisted =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

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
std::vector<LogLine> WaitForLog(const std::wstring& path, size_t count, DWORD timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<LogLine> lines = ReadLog(path);
    while (lines.size() < count && std::chrono::steady_clock::now() < end) {
        ::Sleep(50);
        lines = ReadLog(path);
    }
    return lines;
}

HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        HWND window = ::FindWindowW(nullptr, title.c_str());
        if (window || std::chrono::steady_clock::now() > end) return window;
        ::Sleep(50);
    }
}

std::wstring DesktopLink() { return SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\" + kAppName + L".lnk"; }
std::wstring UserDesktopLink() { return SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\" + kAppName + L".lnk"; }

// The run log of this user: %TEMP%\<folder name>-setup.log.
std::wstring SetupLogPath(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return temp + name;
}

// The text of the log's lines, without the milliseconds in front of each.
std::vector<std::string> SetupLogLines(const std::wstring& name) {
    std::vector<std::string> lines;
    for (const std::string& line : ReadLines(SetupLogPath(name))) lines.push_back(line.size() > 7 ? line.substr(7) : "");
    return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& wanted) {
    return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

size_t CountStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(),
                                             [&](const std::string& line) { return line.rfind(prefix, 0) == 0; }));
}

// The host's name of a Windows path that exists, or whose folder exists.
std::wstring HostPath(const std::wstring& path) {
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<UnixNameFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) return {};
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const char* whole = unixName(path.c_str());
        return whole ? Widen(whole) : std::wstring();
    }
    const size_t slash = path.find_last_of(L'\\');
    const char* folder = unixName(path.substr(0, slash).c_str());
    return folder ? Widen(folder) + L"/" + path.substr(slash + 1) : std::wstring();
}

// Makes link a symbolic link to the folder target with the host's own ln: Wine 8 cannot make
// links through the Windows calls, but reports a host link to a folder as a reparse point.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
    const ProcessResult r =
        RunProcess(L"Z:\\bin\\ln -s " + QuoteArgument(HostPath(target)) + L" " + QuoteArgument(HostPath(link)));
    // Wine may answer from its memory of the folder for a moment after a host-side change.
    for (int i = 0; r.exitCode == 0 && i < 40; ++i) {
        const DWORD attributes = ::GetFileAttributesW(link.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        ::Sleep(50);
    }
    return false;
}

bool RemoveFolderLink(const std::wstring& link) {
    if (RunProcess(L"Z:\\bin\\rm " + QuoteArgument(HostPath(link))).exitCode != 0) return false;
    for (int i = 0; i < 40; ++i) {
        if (::GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
        ::Sleep(50);
    }
    return false;
}

std::wstring MenuFolder() { return SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + kAppName; }

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return ::lstrcmpiW(a.c_str(), b.c_str()) < 0; });
    return names;
}



DWORD RunHost(const std::wstring& commandLine) {
    // The program by its host path on Wine's Z: drive, in Windows' spelling.
    std::wstring line = L"Z:" + commandLine;
    std::replace(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(std::min(line.find(L' '), line.size())),
                 L'/', L'\\');
    return RunProcess(line).exitCode;
}

namespace {

void SnapshotTree(const std::wstring& label, const std::wstring& root, std::vector<std::wstring>& out) {
    if (!FolderExists(root)) return;
    out.push_back(label + L"\\");
    WIN32_FIND_DATAW data;
    fw::UniqueFindHandle find(::FindFirstFileW((root + L"\\*").c_str(), &data));
    if (!find) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            SnapshotTree(label + L"\\" + name, root + L"\\" + name, out);
        else
            out.push_back(label + L"\\" + name + L" " + std::to_wstring(data.nFileSizeLow) +
                          ((data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? L" read-only" : L""));
    } while (::FindNextFileW(find.get(), &data));
}

void SnapshotKey(const std::wstring& path, std::vector<std::wstring>& out) {
    fw::UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
    out.push_back(L"HKLM\\" + path);
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        DWORD type = 0;
        BYTE data[4096];
        DWORD bytes = sizeof data;
        if (::RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, data, &bytes) != ERROR_SUCCESS) break;
        std::wstring text = type == REG_DWORD ? std::to_wstring(*reinterpret_cast<DWORD*>(data))
                                              : std::wstring(reinterpret_cast<wchar_t*>(data), bytes / 2);
        out.push_back(L"HKLM\\" + path + L" [" + name + L"] = " + text);
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (::RegEnumKeyExW(key.get(), i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        SnapshotKey(path + L"\\" + name, out);
    }
}

}  // namespace

std::vector<std::wstring> MachineSnapshot() {
    std::vector<std::wstring> out;
    SnapshotTree(L"Program Files", L"C:\\Program Files\\KRT55A", out);
    SnapshotTree(L"Start menu", SpecialFolder(CSIDL_COMMON_PROGRAMS), out);
    SnapshotTree(L"All users' desktop", SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY), out);
    SnapshotTree(L"Desktop", SpecialFolder(CSIDL_DESKTOPDIRECTORY), out);
    SnapshotKey(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", out);
    SnapshotKey(kRun, out);
    std::sort(out.begin(), out.end());
    return out;
}

size_t RecordLines() {
    // Read as setup shares it while it appends.
    fw::UniqueHandle file(::CreateFileW((kInstall + L"\\Uninstall\\install-record.txt").c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return 0;
    }
    static char buffer[1 << 20];
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return 0;
    return static_cast<size_t>(std::count(buffer, buffer + read, '\n'));
}

size_t RunningSetupCopies() {
    size_t count = 0;
    fw::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        if (::lstrcmpiW(entry.szExeFile, L"setup.exe") == 0) ++count;
    }
    return count;
}

void InstallWorld::SetUp() {
    ASSERT_FALSE(PayloadDir().empty()) << "SETUP_TEST_PAYLOAD_DIR is not set";
    RemoveTree(kPayload);
    CopyTree(PayloadDir(), kPayload);
    ASSERT_TRUE(FileExists(kPayload + L"\\setup.exe"));
}

void InstallWorld::ResetIni() {
    ASSERT_TRUE(::CopyFileW((PayloadDir() + L"\\setup.ini").c_str(), (kPayload + L"\\setup.ini").c_str(), FALSE));
}

void InstallWorld::SetIni(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    ASSERT_TRUE(::WritePrivateProfileStringW(section, key, value, (kPayload + L"\\setup.ini").c_str()));
}

ProcessResult InstallWorld::RunSetup(const std::wstring& program, const std::wstring& args, DWORD timeoutMs) {
    MessageBoxWatcher watcher(0xFFFFFFFF);
    const std::wstring commandLine = QuoteArgument(program) + (args.empty() ? L"" : L" " + args);
    ProcessResult result = RunProcess(commandLine, timeoutMs, [&](DWORD pid) { watcher.WatchProcess(pid); });
    if (!result.started && FileExists(program)) {
        // Seen once on a loaded machine: Wine refused to start a program that was there. Once more.
        std::printf("%s could not be started (error %lu): once more\n", Narrow(program).c_str(), result.startError);
        ::Sleep(500);
        result = RunProcess(commandLine, timeoutMs, [&](DWORD pid) { watcher.WatchProcess(pid); });
    }
    m_boxes = watcher.Boxes();
    m_windows = watcher.OtherWindows();
    EXPECT_TRUE(result.started) << Narrow(program) << " could not be started: error " << result.startError;
    EXPECT_FALSE(result.timedOut);
    return result;
}

ProcessResult InstallWorld::Install(DWORD expectedExit) {
    ProcessResult r = RunSetup(kPayload + L"\\setup.exe", L"s");
    EXPECT_EQ(expectedExit, r.exitCode);
    return r;
}

ProcessResult InstallWorld::Remove(DWORD expectedExit) {
    ProcessResult r = RunSetup(kInstall + L"\\Uninstall\\setup.exe", L"SilentDel");
    EXPECT_EQ(expectedExit, r.exitCode);
    return r;
}

void InstallWorld::AddEveryTableImage(size_t bytes) {
    for (const auto& name : g_szAppImageFiles) {
        const std::wstring path = kPayload + L"\\Application\\" + name;
        if (!FileExists(path)) {
            ASSERT_TRUE(WriteTextFile(path, std::string(bytes, 'i')));
        }
    }
}

size_t InstallWorld::InstallKilledAt(size_t lines) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION raw = {};
    std::wstring commandLine = QuoteArgument(kPayload + L"\\setup.exe") + L" s";
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &raw))
        return 0;
    fw::UniqueHandle process(raw.hProcess);
    fw::UniqueHandle thread(raw.hThread);
    size_t held = 0;
    while (::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
        held = RecordLines();
        if (held >= lines && ::TerminateProcess(process.get(), 9)) {
            ::WaitForSingleObject(process.get(), 10000);
            return held;
        }
    }
    return 0;
}

bool InstallWorld::RecordCompleted() {
    const std::vector<std::string> record = ReadLines(kInstall + L"\\Uninstall\\install-record.txt");
    return !record.empty() && record.back().rfind("completed | #", 0) == 0;
}

void InstallWorld::ExpectSameFile(const std::wstring& installed, const std::wstring& source) {
    EXPECT_TRUE(SameFileContents(installed, source)) << Narrow(installed) << " vs " << Narrow(source);
}

}  // namespace e2e
