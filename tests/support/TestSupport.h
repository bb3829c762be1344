// Test support for programs that run under Wine: paths from the build, scratch folders,
// processes with exact exit codes, the prefix's Windows version, registry and shortcut readers,
// and a watcher that answers message boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& text);

// A Unix path as Wine's Z: drive shows it.
std::wstring UnixToWindowsPath(const std::string& unixPath);
// A Unix path passed by the test runner in an environment variable; empty when unset.
std::wstring PathFromEnvironment(const char* variable);
std::wstring BuildDir();      // the x86_64 build
std::wstring PayloadDir();    // the assembled sample payload
std::wstring ProductDir();    // the i686 build

// A folder of its own under C:\tests, removed with everything in it when the object ends.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& hint = L"t");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& path() const { return m_path; }  // no trailing backslash
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
bool WriteTextFile(const std::wstring& path, const std::string& utf8);
std::string ReadTextFile(const std::wstring& path);
std::vector<std::string> ReadLines(const std::wstring& path);
bool SameFileContents(const std::wstring& a, const std::wstring& b);
void CopyTree(const std::wstring& from, const std::wstring& to);
void RemoveTree(const std::wstring& path);
// Every file below root, as paths relative to it, sorted.
std::vector<std::wstring> ListTree(const std::wstring& root);

struct ProcessResult {
    bool started = false;
    bool timedOut = false;
    DWORD exitCode = 0;
    DWORD pid = 0;
    DWORD startError = 0;  // when it could not be started
};
// Runs commandLine and waits for it; the exact Windows exit code, which wine64's own status cuts.
// onStart, when given, learns the new process's id before the wait.
ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 60000,
                         const std::function<void(DWORD)>& onStart = {});
std::wstring QuoteArgument(const std::wstring& arg);
// Starts a program of this prefix in another interface language (an LC_ALL value such as
// "de_DE.UTF-8"). The language is a property of the Wine process, taken from the Unix side, so
// the program is started through the Unix env and wine64; Wine gives no process to wait for
// then: the caller waits for what the program leaves behind.
bool StartProcessInLocale(const std::string& lcAll, const std::wstring& commandLine);

// The Windows version that the prefix reports to processes started afterwards.
enum class WindowsVersion { VistaWorkstation, Server2008, Windows7, Server2008R2, XP };
void SetWindowsVersion(WindowsVersion version);
const char* WindowsVersionName(WindowsVersion version);

std::optional<std::wstring> ReadRegString(HKEY root, const std::wstring& path, const std::wstring& name);
std::optional<DWORD> ReadRegDword(HKEY root, const std::wstring& path, const std::wstring& name);
bool RegKeyExists(HKEY root, const std::wstring& path);
std::vector<std::wstring> RegValueNames(HKEY root, const std::wstring& path);
void DeleteRegValue(HKEY root, const std::wstring& path, const std::wstring& name);
void DeleteRegTree(HKEY root, const std::wstring& path);

struct ShellLinkInfo {
    std::wstring target;
    std::wstring arguments;
};
std::optional<ShellLinkInfo> ReadShellLink(const std::wstring& linkPath);
std::wstring SpecialFolder(int csidl);

// Answers every visible message box (#32770) of the watched processes by pressing its first
// button, and records what each said; also records every other visible top-level window.
struct MessageBoxRecord {
    std::wstring caption;
    std::wstring text;
    DWORD pid = 0;
    DWORD exStyle = 0;
    bool foreground = false;  // the foreground window when it was found
};
class MessageBoxWatcher {
public:
    // pid 0 watches every process; otherwise only that one (this process by default).
    explicit MessageBoxWatcher(DWORD pid = ::GetCurrentProcessId());
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;
    void WatchProcess(DWORD pid);
    std::vector<MessageBoxRecord> Boxes();
    // Class names of the other visible top-level windows seen.
    std::vector<std::wstring> OtherWindows();

private:
    void Loop();
    std::mutex m_mutex;
    std::vector<MessageBoxRecord> m_boxes;
    std::vector<std::wstring> m_others;
    std::vector<HWND> m_answered;
    DWORD m_pid;
    bool m_stop = false;
    std::thread m_thread;
};

// Top-level windows that a process shows.
std::vector<HWND> VisibleWindowsOf(DWORD pid);

// Polls done() every 20 ms until it holds or timeoutMs pass; returns its last answer.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 15000);
// One mouse event at (x, y) of the screen (MOUSEEVENTF_MOVE and/or button flags), as the device sends it.
void SendMouse(int x, int y, DWORD flags);
// A left click with the mouse at (x, y) of the screen, as a user's: the pointer moves there and
// the button goes down and up.
void ClickAt(int x, int y);
// The left button pressed at from, moved to to in small steps and let go there.
void DragMouse(POINT from, POINT to);
// A key pressed and let go on the keyboard, with the modifier keys held (VK_SHIFT, VK_MENU ...),
// as the device sends it to the foreground window.
void PressKey(WORD vk, const std::vector<WORD>& held = {});
// The colour of the screen at (x, y).
COLORREF ScreenPixel(int x, int y);
// The text of a window of any process (WM_GETTEXT, which reaches controls of other processes).
std::wstring WindowText(HWND window);

}  // namespace testsupport
