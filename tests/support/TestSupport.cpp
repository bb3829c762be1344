#include "tests/support/TestSupport.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/Handles.h"

namespace testsupport {

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                          nullptr);
    return out;
}

std::wstring UnixToWindowsPath(const std::string& unixPath) {
    std::wstring path = L"Z:" + Widen(unixPath);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

std::wstring PathFromEnvironment(const char* variable) {
    const char* value = std::getenv(variable);
    if (!value || !*value) return {};
    return UnixToWindowsPath(value);
}

std::wstring BuildDir() { return PathFromEnvironment("SETUP_TEST_BUILD_DIR"); }
std::wstring PayloadDir() { return PathFromEnvironment("SETUP_TEST_PAYLOAD_DIR"); }
std::wstring ProductDir() { return PathFromEnvironment("SETUP_TEST_PRODUCT_DIR"); }

ScratchFolder::ScratchFolder(const std::wstring& hint) {
    static std::atomic<int> counter{0};
    ::CreateDirectoryW(L"C:\\tests", nullptr);
    for (;;) {
        m_path = L"C:\\tests\\" + hint + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 std::to_wstring(counter++);
        if (::CreateDirectoryW(m_path.c_str(), nullptr)) break;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(m_path);
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteTextFile(const std::wstring& path, const std::string& utf8) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << utf8;
    return static_cast<bool>(out);
}

std::string ReadTextFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadTextFile(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

bool SameFileContents(const std::wstring& a, const std::wstring& b) {
    return FileExists(a) && FileExists(b) && ReadTextFile(a) == ReadTextFile(b);
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
    ::CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW data;
    fw::UniqueFindHandle find(::FindFirstFileW((from + L"\\*").c_str(), &data));
    if (!find) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(from + L"\\" + name, to + L"\\" + name);
        else
            ::CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
    } while (::FindNextFileW(find.get(), &data));
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    {
        fw::UniqueFindHandle find(::FindFirstFileW((path + L"\\*").c_str(), &data));
        if (find) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring child = path + L"\\" + name;
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                // A link is removed itself; what it points at is not entered.
                if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                    ::RemoveDirectoryW(child.c_str()) || ::DeleteFileW(child.c_str());
                else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(child);
                else
                    ::DeleteFileW(child.c_str());
            } while (::FindNextFileW(find.get(), &data));
        }
    }
    ::RemoveDirectoryW(path.c_str());
}

namespace {
void ListTreeInto(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& out) {
    WIN32_FIND_DATAW data;
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    fw::UniqueFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find) return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = relative.empty() ? name : relative + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListTreeInto(root, child, out);
        else
            out.push_back(child);
    } while (::FindNextFileW(find.get(), &data));
}
}  // namespace

std::vector<std::wstring> ListTree(const std::wstring& root) {
    std::vector<std::wstring> files;
    ListTreeInto(root, L"", files);
    std::sort(files.begin(), files.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::lstrcmpiW(a.c_str(), b.c_str()) < 0;
    });
    return files;
}

ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs, const std::function<void(DWORD)>& onStart) {
    ProcessResult result;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION raw = {};
    std::wstring buffer = commandLine;
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &raw)) {
        result.startError = ::GetLastError();
        return result;
    }
    fw::UniqueProcessInformation process{fw::UniqueHandle(raw.hProcess), fw::UniqueHandle(raw.hThread)};
    result.started = true;
    result.pid = raw.dwProcessId;
    if (onStart) onStart(raw.dwProcessId);
    if (::WaitForSingleObject(process.process.get(), timeoutMs) != WAIT_OBJECT_0) {
        result.timedOut = true;
        ::TerminateProcess(process.process.get(), 999);
        ::WaitForSingleObject(process.process.get(), 5000);
    }
    ::GetExitCodeProcess(process.process.get(), &result.exitCode);
    return result;
}

std::wstring QuoteArgument(const std::wstring& arg) {
    return L"\"" + arg + L"\"";
}

bool StartProcessInLocale(const std::string& lcAll, const std::wstring& commandLine) {
    const char* wine = std::getenv("WINE");
    const std::string loader = wine && *wine ? wine : "/usr/lib/wine/wine64";
    // Wine starts a Unix program given by its Z: path; env sets the language for the loader.
    std::wstring buffer =
        L"Z:\\usr\\bin\\env LC_ALL=" + Widen(lcAll) + L" " + Widen(loader) + L" " + commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION raw = {};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &raw))
        return false;
    // Wine starts a Unix program without a Windows process of its own: it gives no process handle
    // and leaves whatever its stack held in the thread's field. Closing that value would close
    // some other handle of this process (a registry key, the current folder), so only what came
    // with a process handle is closed.
    if (raw.hProcess) {
        ::CloseHandle(raw.hProcess);
        if (raw.hThread) ::CloseHandle(raw.hThread);
    }
    return true;
}

const char* WindowsVersionName(WindowsVersion version) {
    switch (version) {
    case WindowsVersion::VistaWorkstation: return "vista";
    case WindowsVersion::Server2008: return "win2008";
    case WindowsVersion::Windows7: return "win7";
    case WindowsVersion::Server2008R2: return "win2008r2";
    case WindowsVersion::XP: return "winxp";
    }
    return "win7";
}

void SetWindowsVersion(WindowsVersion version) {
    // winecfg refuses XP in a 64-bit prefix; Wine's own Version value still gives it.
    const std::wstring name = Widen(WindowsVersionName(version));
    if (version == WindowsVersion::XP) {
        RunProcess(L"winecfg.exe -v win7");
        fw::UniqueRegKey key;
        ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine", 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                          nullptr);
        ::RegSetValueExW(key.get(), L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"winxp"),
                         6 * sizeof(wchar_t));
        return;
    }
    RunProcess(L"winecfg.exe -v " + name);
}

namespace {
std::optional<std::vector<BYTE>> ReadRegRaw(HKEY root, const std::wstring& path, const std::wstring& name,
                                            DWORD wantedType) {
    fw::UniqueRegKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != wantedType)
        return std::nullopt;
    std::vector<BYTE> data(size);
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    return data;
}
}  // namespace

std::optional<std::wstring> ReadRegString(HKEY root, const std::wstring& path, const std::wstring& name) {
    auto raw = ReadRegRaw(root, path, name, REG_SZ);
    if (!raw) return std::nullopt;
    std::wstring text(reinterpret_cast<const wchar_t*>(raw->data()), raw->size() / sizeof(wchar_t));
    // The stored terminator is part of the data; keep the text before it.
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

std::optional<DWORD> ReadRegDword(HKEY root, const std::wstring& path, const std::wstring& name) {
    auto raw = ReadRegRaw(root, path, name, REG_DWORD);
    if (!raw || raw->size() != sizeof(DWORD)) return std::nullopt;
    DWORD value;
    std::copy(raw->begin(), raw->end(), reinterpret_cast<BYTE*>(&value));
    return value;
}

bool RegKeyExists(HKEY root, const std::wstring& path) {
    fw::UniqueRegKey key;
    return ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::vector<std::wstring> RegValueNames(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    fw::UniqueRegKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD length = 16384;
        if (::RegEnumValueW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void DeleteRegValue(HKEY root, const std::wstring& path, const std::wstring& name) {
    fw::UniqueRegKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_WRITE, key.put()) == ERROR_SUCCESS)
        ::RegDeleteValueW(key.get(), name.c_str());
}

void DeleteRegTree(HKEY root, const std::wstring& path) {
    ::RegDeleteTreeW(root, path.c_str());
    ::RegDeleteKeyW(root, path.c_str());
}

std::optional<ShellLinkInfo> ReadShellLink(const std::wstring& linkPath) {
    fw::ComScope com;
    fw::ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return std::nullopt;
    fw::ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.put_void()))) return std::nullopt;
    if (FAILED(file->Load(linkPath.c_str(), STGM_READ))) return std::nullopt;
    wchar_t target[MAX_PATH] = {};
    wchar_t arguments[1024] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return std::nullopt;
    link->GetArguments(arguments, 1024);
    return ShellLinkInfo{target, arguments};
}

std::wstring SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE);
    return path;
}

MessageBoxWatcher::MessageBoxWatcher(DWORD pid) : m_pid(pid), m_thread([this] { Loop(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_thread.join();
}

void MessageBoxWatcher::WatchProcess(DWORD pid) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pid = pid;
}

std::vector<MessageBoxRecord> MessageBoxWatcher::Boxes() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_boxes;
}

std::vector<std::wstring> MessageBoxWatcher::OtherWindows() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_others;
}

void MessageBoxWatcher::Loop() {
    for (;;) {
        DWORD pid;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop) return;
            pid = m_pid;
        }
        for (HWND box = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); box;
             box = ::FindWindowExW(nullptr, box, L"#32770", nullptr)) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(box, &owner);
            if ((pid != 0 && owner != pid) || !::IsWindowVisible(box)) continue;
            std::lock_guard<std::mutex> lock(m_mutex);
            if (std::find(m_answered.begin(), m_answered.end(), box) != m_answered.end()) continue;
            wchar_t caption[512] = {};
            wchar_t text[2048] = {};
            ::GetWindowTextW(box, caption, 512);
            ::GetDlgItemTextW(box, 0xFFFF, text, 2048);
            m_boxes.push_back({caption, text, owner, static_cast<DWORD>(::GetWindowLongPtrW(box, GWL_EXSTYLE)),
                               ::GetForegroundWindow() == box});
            m_answered.push_back(box);
            // Press the first button the box has (OK for an OK box).
            HWND button = ::FindWindowExW(box, nullptr, L"Button", nullptr);
            if (button)
                ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                               reinterpret_cast<LPARAM>(button));
        }
        if (pid != 0) {
            for (HWND window : VisibleWindowsOf(pid)) {
                wchar_t className[256] = {};
                ::GetClassNameW(window, className, 256);
                std::lock_guard<std::mutex> lock(m_mutex);
                if (std::wstring(className) != L"#32770" &&
                    std::find(m_others.begin(), m_others.end(), className) == m_others.end())
                    m_others.push_back(className);
            }
        }
        ::Sleep(20);
    }
}

std::vector<HWND> VisibleWindowsOf(DWORD pid) {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{pid, {}};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == s->pid && ::IsWindowVisible(window)) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        ::Sleep(20);
    }
}

void SendMouse(int x, int y, DWORD flags) {
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((x * 65535 + width / 2) / (width - 1));
    input.mi.dy = static_cast<LONG>((y * 65535 + height / 2) / (height - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof input);
}

void ClickAt(int x, int y) {
    SendMouse(x, y, MOUSEEVENTF_MOVE);
    ::Sleep(100);  // the hover state comes first, as with a hand on the mouse
    SendMouse(x, y, MOUSEEVENTF_LEFTDOWN);
    ::Sleep(50);
    SendMouse(x, y, MOUSEEVENTF_LEFTUP);
}

void DragMouse(POINT from, POINT to) {
    SendMouse(from.x, from.y, MOUSEEVENTF_MOVE);
    ::Sleep(100);
    SendMouse(from.x, from.y, MOUSEEVENTF_LEFTDOWN);
    ::Sleep(100);
    for (int step = 1; step <= 10; ++step) {
        SendMouse(from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10, MOUSEEVENTF_MOVE);
        ::Sleep(30);
    }
    SendMouse(to.x, to.y, MOUSEEVENTF_LEFTUP);
}

void PressKey(WORD vk, const std::vector<WORD>& held) {
    std::vector<INPUT> inputs;
    auto key = [&inputs](WORD code, DWORD flags) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = code;
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (WORD modifier : held) key(modifier, 0);
    key(vk, 0);
    key(vk, KEYEVENTF_KEYUP);
    for (auto it = held.rbegin(); it != held.rend(); ++it) key(*it, KEYEVENTF_KEYUP);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(screen, x, y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

std::wstring WindowText(HWND window) {
    wchar_t text[2048] = {};
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
    return text;
}

}  // namespace testsupport
