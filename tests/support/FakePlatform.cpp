#include "tests/support/FakePlatform.h"

#include <shlobj.h>

#include <algorithm>
#include <cwctype>

namespace {

std::wstring Hex(unsigned long value) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%lx", value);
    return text;
}

class FakeKey final : public ISetupRegistryKey {
public:
    FakeKey(FakePlatform& os, std::wstring path) : m_os(os), m_path(std::move(path)) {}
    ~FakeKey() override { m_os.Record(L"CloseKey " + m_path); }
    bool SetString(const wchar_t* name, const wchar_t* data) override {
        return m_os.Record(L"SetString " + m_path + L" [" + name + L"] = " + data) &&
               m_os.SetValue(m_path, name, std::wstring(L"REG_SZ:") + data);
    }
    bool SetDword(const wchar_t* name, DWORD data) override {
        return m_os.Record(L"SetDword " + m_path + L" [" + name + L"] = " + std::to_wstring(data)) &&
               m_os.SetValue(m_path, name, L"REG_DWORD:" + std::to_wstring(data));
    }
    bool DeleteValue(const wchar_t* name) override {
        return m_os.Record(L"DeleteValue " + m_path + L" [" + name + L"]") && m_os.RemoveValue(m_path, name);
    }
    bool DeleteSubKey(const wchar_t* name) override {
        return m_os.Record(L"DeleteSubKey " + m_path + L"\\" + name) && m_os.RemoveKey(m_path + L"\\" + name);
    }

private:
    FakePlatform& m_os;
    std::wstring m_path;
};

class FakeComSession final : public ISetupComSession {
public:
    explicit FakeComSession(FakePlatform& os) : m_os(os) { m_os.Record(L"CoInitialize"); }
    ~FakeComSession() override { m_os.Record(L"CoUninitialize"); }

private:
    FakePlatform& m_os;
};

class FakeShellLink final : public ISetupShellLink {
public:
    explicit FakeShellLink(FakePlatform& os) : m_os(os) {}
    ~FakeShellLink() override { m_os.Record(L"ShellLink.Release"); }
    bool SetPath(const wchar_t* target) override { return m_os.Record(std::wstring(L"ShellLink.SetPath ") + target); }
    bool SetArguments(const wchar_t* arguments) override {
        return m_os.Record(std::wstring(L"ShellLink.SetArguments ") + arguments);
    }
    bool Save(const wchar_t* linkPath) override {
        return m_os.Record(std::wstring(L"ShellLink.Save ") + linkPath) && m_os.SaveLink(linkPath);
    }

private:
    FakePlatform& m_os;
};

}  // namespace

FakePlatform::FakePlatform() {
    SetVersion(6, 1, VER_NT_WORKSTATION);
    AddFolder(L"C:\\Program Files");
    AddFolder(kDesktop);
    AddFolder(kPrograms);
    AddKey(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
    AddKey(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    AddKey(L"HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run");
    AddKey(L"HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
}

std::wstring FakePlatform::Lower(const std::wstring& text) {
    std::wstring out = text;
    std::transform(out.begin(), out.end(), out.begin(), [](wchar_t c) { return std::towlower(c); });
    return out;
}

std::wstring FakePlatform::Parent(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring FakePlatform::RootName(HKEY root) {
    if (root == HKEY_LOCAL_MACHINE) return L"HKLM";
    if (root == HKEY_CURRENT_USER) return L"HKCU";
    return L"HK?";
}

void FakePlatform::AddFolder(const std::wstring& path) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::wstring parent = Parent(path);
    if (!parent.empty() && parent.size() > 2) AddFolder(parent);
    m_nodes[Lower(path)] = Node{path, true, 0};
}

void FakePlatform::AddFile(const std::wstring& path, unsigned long long size) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    AddFolder(Parent(path));
    m_nodes[Lower(path)] = Node{path, false, size};
}

void FakePlatform::AddKey(const std::wstring& rootedPath) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::wstring parent = Parent(rootedPath);
    if (parent.find(L'\\') != std::wstring::npos) AddKey(parent);
    auto& key = m_keys[Lower(rootedPath)];
    if (key.path.empty()) key.path = rootedPath;
}

void FakePlatform::AddWindow(const std::wstring& title, bool answers) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_windows[reinterpret_cast<HWND>(static_cast<INT_PTR>(m_nextWindow++))] = Window{title, answers};
}

void FakePlatform::AddAttributes(const std::wstring& path, DWORD attributes) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto node = m_nodes.find(Lower(path));
    if (node != m_nodes.end()) node->second.attributes |= attributes;
}

bool FakePlatform::Fail(DWORD error) {
    ::SetLastError(error);
    return false;
}

DWORD FakePlatform::AttributesOf(const Node& node) const {
    return node.attributes | (node.folder ? FILE_ATTRIBUTE_DIRECTORY : (node.attributes ? 0 : FILE_ATTRIBUTE_ARCHIVE));
}

void FakePlatform::SetVersion(DWORD major, DWORD minor, BYTE productType) {
    m_version = {};
    m_version.dwOSVersionInfoSize = sizeof m_version;
    m_version.dwMajorVersion = major;
    m_version.dwMinorVersion = minor;
    m_version.dwPlatformId = VER_PLATFORM_WIN32_NT;
    m_version.wProductType = productType;
    m_versionFails = false;
}

void FakePlatform::FailVersionQuery() {
    m_versionFails = true;
}

void FakePlatform::Refuse(const std::wstring& prefix, DWORD error) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_refused.emplace_back(prefix, error);
}

void FakePlatform::ClearRefusals() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_refused.clear();
}

bool FakePlatform::Record(const std::wstring& line) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    for (const auto& [prefix, error] : m_refused) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            m_calls.push_back(line + L" [refused]");
            return Fail(error);
        }
    }
    m_calls.push_back(line);
    return true;
}

std::vector<std::wstring> FakePlatform::Calls() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_calls;
}

std::vector<std::wstring> FakePlatform::CallsStartingWith(std::initializer_list<std::wstring> prefixes) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::vector<std::wstring> out;
    for (const auto& line : m_calls) {
        for (const auto& prefix : prefixes) {
            if (line.compare(0, prefix.size(), prefix) == 0) {
                out.push_back(line);
                break;
            }
        }
    }
    return out;
}

void FakePlatform::ClearCalls() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_calls.clear();
}

bool FakePlatform::Exists(const std::wstring& path) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_nodes.count(Lower(path)) != 0;
}

bool FakePlatform::IsFolder(const std::wstring& path) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_nodes.find(Lower(path));
    return it != m_nodes.end() && it->second.folder;
}

std::vector<std::wstring> FakePlatform::Children(const std::wstring& folder) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::vector<std::wstring> names;
    const std::wstring prefix = Lower(folder) + L"\\";
    for (const auto& [key, node] : m_nodes) {
        if (key.compare(0, prefix.size(), prefix) == 0 && key.find(L'\\', prefix.size()) == std::wstring::npos)
            names.push_back(node.path.substr(prefix.size()));
    }
    return names;
}

bool FakePlatform::KeyExists(const std::wstring& rootedPath) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_keys.count(Lower(rootedPath)) != 0;
}

std::wstring FakePlatform::Value(const std::wstring& rootedPath, const std::wstring& name) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto key = m_keys.find(Lower(rootedPath));
    if (key == m_keys.end()) return {};
    auto value = key->second.values.find(Lower(name));
    return value == key->second.values.end() ? std::wstring() : value->second;
}

int FakePlatform::PauseCount() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_pauses;
}

bool FakePlatform::SetValue(const std::wstring& key, const std::wstring& name, const std::wstring& data) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_keys.find(Lower(key));
    if (it == m_keys.end()) return Fail(ERROR_KEY_DELETED);
    it->second.values[Lower(name)] = data;
    return true;
}

bool FakePlatform::RemoveValue(const std::wstring& key, const std::wstring& name) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_keys.find(Lower(key));
    if (it == m_keys.end()) return Fail(ERROR_KEY_DELETED);
    return it->second.values.erase(Lower(name)) != 0 || Fail(ERROR_FILE_NOT_FOUND);
}

bool FakePlatform::RemoveKey(const std::wstring& key) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::wstring lower = Lower(key);
    if (!m_keys.count(lower)) return Fail(ERROR_FILE_NOT_FOUND);
    const std::wstring prefix = lower + L"\\";
    for (const auto& [other, data] : m_keys) {
        if (other.compare(0, prefix.size(), prefix) == 0) return Fail(ERROR_ACCESS_DENIED);  // has subkeys
    }
    m_keys.erase(lower);
    return true;
}

bool FakePlatform::SaveLink(const std::wstring& path) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!IsFolder(Parent(path))) return Fail(static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)));
    m_nodes[Lower(path)] = Node{path, false, 1};
    return true;
}

bool FakePlatform::PathExists(const wchar_t* path) {
    Record(std::wstring(L"PathExists ") + path);
    return Exists(path);
}

bool FakePlatform::CreateFolder(const wchar_t* path) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!Record(std::wstring(L"CreateFolder ") + path)) return false;
    if (Exists(path)) return Fail(ERROR_ALREADY_EXISTS);
    if (!IsFolder(Parent(path))) return Fail(ERROR_PATH_NOT_FOUND);
    m_nodes[Lower(path)] = Node{path, true, 0};
    return true;
}

bool FakePlatform::RemoveFolder(const wchar_t* path) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!Record(std::wstring(L"RemoveFolder ") + path)) return false;
    if (!IsFolder(path)) return Fail(ERROR_FILE_NOT_FOUND);
    if (!Children(path).empty()) return Fail(ERROR_DIR_NOT_EMPTY);
    m_nodes.erase(Lower(path));
    return true;
}

bool FakePlatform::CopyFile(const wchar_t* from, const wchar_t* to, ULONGLONG* copiedBytes) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!Record(std::wstring(L"CopyFile ") + from + L" -> " + to)) return false;
    auto source = m_nodes.find(Lower(from));
    if (source == m_nodes.end()) return Fail(IsFolder(Parent(from)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    if (source->second.folder) return Fail(ERROR_ACCESS_DENIED);
    if (!IsFolder(Parent(to))) return Fail(ERROR_PATH_NOT_FOUND);
    auto target = m_nodes.find(Lower(to));
    if (target != m_nodes.end() && (target->second.folder || (target->second.attributes & FILE_ATTRIBUTE_READONLY)))
        return Fail(ERROR_ACCESS_DENIED);
    m_nodes[Lower(to)] = Node{to, false, source->second.size};
    *copiedBytes = source->second.size;
    return true;
}

bool FakePlatform::DeleteFile(const wchar_t* path) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!Record(std::wstring(L"DeleteFile ") + path)) return false;
    auto node = m_nodes.find(Lower(path));
    if (node == m_nodes.end()) return Fail(ERROR_FILE_NOT_FOUND);
    if (node->second.folder || (node->second.attributes & FILE_ATTRIBUTE_READONLY)) return Fail(ERROR_ACCESS_DENIED);
    m_nodes.erase(node);
    return true;
}

DWORD FakePlatform::GetAttributes(const wchar_t* path) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!Record(std::wstring(L"GetAttributes ") + path)) return INVALID_FILE_ATTRIBUTES;
    auto node = m_nodes.find(Lower(path));
    if (node == m_nodes.end()) {
        ::SetLastError(IsFolder(Parent(path)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    return AttributesOf(node->second);
}

bool FakePlatform::SetAttributes(const wchar_t* path, DWORD attributes) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!Record(std::wstring(L"SetAttributes ") + path + L" = " + Hex(attributes))) return false;
    auto node = m_nodes.find(Lower(path));
    if (node == m_nodes.end()) return Fail(ERROR_FILE_NOT_FOUND);
    node->second.attributes = attributes & ~(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE);
    return true;
}

std::unique_ptr<ISetupFolderWalk> FakePlatform::ListFolder(const wchar_t* pattern) {
    // The walk hands out a snapshot taken now.
    class Walk final : public ISetupFolderWalk {
    public:
        std::vector<SetupFolderEntry> entries;
        std::size_t next = 0;
        bool Next(SetupFolderEntry& entry) override {
            if (next >= entries.size()) return false;
            entry = entries[next++];
            return true;
        }
    };
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto walk = std::make_unique<Walk>();
    if (!Record(std::wstring(L"ListFolder ") + pattern)) return walk;
    const std::wstring folder = Parent(pattern);
    if (!IsFolder(folder)) return walk;
    auto add = [&](const std::wstring& name, DWORD attributes, unsigned long long size) {
        SetupFolderEntry entry = {};
        wcsncpy_s(entry.name, MAX_PATH, name.c_str(), _TRUNCATE);
        entry.attributes = attributes;
        entry.size = size;
        walk->entries.push_back(entry);
    };
    add(L".", FILE_ATTRIBUTE_DIRECTORY, 0);
    add(L"..", FILE_ATTRIBUTE_DIRECTORY, 0);
    for (const auto& name : Children(folder)) {
        const Node& node = m_nodes.at(Lower(folder + L"\\" + name));
        add(name, AttributesOf(node), node.size);
    }
    return walk;
}

bool FakePlatform::GetVersionInfo(OSVERSIONINFOEXW* info) {
    if (!Record(L"GetVersionInfo") || m_versionFails) return false;
    *info = m_version;
    return true;
}

bool FakePlatform::GetSpecialFolder(int csidl, wchar_t (&path)[MAX_PATH]) {
    if (!Record(L"GetSpecialFolder " + std::to_wstring(csidl))) return false;
    const wchar_t* folder = csidl == CSIDL_DESKTOPDIRECTORY ? kDesktop : csidl == CSIDL_COMMON_PROGRAMS ? kPrograms : nullptr;
    if (!folder) return false;
    wcscpy_s(path, folder);
    return true;
}

std::unique_ptr<ISetupRegistryKey> FakePlatform::OpenKey(HKEY root, const wchar_t* path) {
    const std::wstring rooted = RootName(root) + L"\\" + path;
    if (!Record(L"OpenKey " + rooted) || !KeyExists(rooted)) return nullptr;
    return std::make_unique<FakeKey>(*this, rooted);
}

std::unique_ptr<ISetupRegistryKey> FakePlatform::CreateKey(HKEY root, const wchar_t* path) {
    const std::wstring rooted = RootName(root) + L"\\" + path;
    if (!Record(L"CreateKey " + rooted)) return nullptr;
    AddKey(rooted);
    return std::make_unique<FakeKey>(*this, rooted);
}

std::unique_ptr<ISetupComSession> FakePlatform::EnterCom() {
    return std::make_unique<FakeComSession>(*this);
}

std::unique_ptr<ISetupShellLink> FakePlatform::NewShellLink() {
    if (!Record(L"NewShellLink")) return nullptr;
    return std::make_unique<FakeShellLink>(*this);
}

bool FakePlatform::StartProcess(wchar_t* commandLine, WORD showWindow, DWORD creationFlags,
                                const wchar_t* currentFolder) {
    return Record(L"StartProcess show=" + std::to_wstring(showWindow) + L" flags=" + Hex(creationFlags) + L" " +
                  commandLine + L" [in " + (currentFolder ? currentFolder : L"(inherited)") + L"]");
}

HWND FakePlatform::FindTopWindow(const wchar_t* title) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Record(std::wstring(L"FindTopWindow ") + title);
    for (const auto& [window, data] : m_windows) {
        if (data.title == title) return window;
    }
    return nullptr;
}

bool FakePlatform::SendCloseMessage(HWND window, DWORD timeoutMs) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_windows.find(window);
    Record(L"SendCloseMessage " + (it == m_windows.end() ? std::wstring(L"?") : it->second.title) + L" within " +
           std::to_wstring(timeoutMs) + L" ms");
    if (it == m_windows.end()) return Fail(ERROR_INVALID_WINDOW_HANDLE);
    if (!it->second.answers) return Fail(ERROR_TIMEOUT);
    m_windows.erase(it);
    return true;
}

bool FakePlatform::PostMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    return Record(L"PostMessage " + std::to_wstring(message) + L" " + std::to_wstring(wParam) + L" " +
                  std::to_wstring(lParam));
}

void FakePlatform::Pause(DWORD milliseconds) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    ++m_pauses;
    Record(L"Pause " + std::to_wstring(milliseconds));
}

int FakePlatform::ShowMessageBox(const wchar_t* text, const wchar_t* caption, UINT type) {
    Record(std::wstring(L"MessageBox [") + caption + L"] " + text + L" type=" + Hex(type));
    return IDOK;
}
