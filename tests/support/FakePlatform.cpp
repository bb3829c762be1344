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

// A value's data as the fake keeps it: "REG_SZ:<text>" for a terminated string, "REG_DWORD:<n>",
// else "TYPE<n>:<hex bytes>".
std::wstring StoredValue(DWORD type, const BYTE* data, DWORD bytes) {
    if (type == REG_DWORD && bytes == 4) {
        DWORD number = 0;
        std::copy(data, data + 4, reinterpret_cast<BYTE*>(&number));
        return L"REG_DWORD:" + std::to_wstring(number);
    }
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data);
    const size_t units = bytes / 2;
    if (type == REG_SZ && bytes % 2 == 0 && units > 0 && text[units - 1] == 0 && std::wcslen(text) == units - 1)
        return std::wstring(L"REG_SZ:") + text;
    std::wstring stored = L"TYPE" + std::to_wstring(type) + L":";
    for (DWORD i = 0; i < bytes; ++i) {
        wchar_t hex[3];
        swprintf(hex, 3, L"%02x", data[i]);
        stored += hex;
    }
    return stored;
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
    bool SetValue(const wchar_t* name, DWORD type, const BYTE* data, DWORD bytes) override {
        const std::wstring stored = StoredValue(type, data, bytes);
        return m_os.Record(L"SetValue " + m_path + L" [" + name + L"] = " + stored) &&
               m_os.SetValue(m_path, name, stored);
    }
    bool QueryValue(const wchar_t* name, DWORD* type, BYTE* data, DWORD* bytes) override {
        std::wstring stored;
        if (!m_os.Record(L"QueryValue " + m_path + L" [" + name + L"]")) return false;
        if (!m_os.GetValue(m_path, name, stored)) {
            ::SetLastError(ERROR_FILE_NOT_FOUND);
            return false;
        }
        std::vector<BYTE> raw;
        if (stored.rfind(L"REG_DWORD:", 0) == 0) {
            *type = REG_DWORD;
            const DWORD number = static_cast<DWORD>(std::stoul(stored.substr(10)));
            raw.assign(reinterpret_cast<const BYTE*>(&number), reinterpret_cast<const BYTE*>(&number) + 4);
        } else if (stored.rfind(L"REG_SZ:", 0) == 0) {
            *type = REG_SZ;
            const std::wstring text = stored.substr(7);
            raw.assign(reinterpret_cast<const BYTE*>(text.c_str()),
                       reinterpret_cast<const BYTE*>(text.c_str() + text.size() + 1));
        } else {
            // "TYPE<n>:<hex>"
            const size_t colon = stored.find(L':');
            *type = static_cast<DWORD>(std::stoul(stored.substr(4, colon - 4)));
            for (size_t i = colon + 1; i + 1 < stored.size(); i += 2)
                raw.push_back(static_cast<BYTE>(std::stoul(stored.substr(i, 2), nullptr, 16)));
        }
        const DWORD room = *bytes;
        *bytes = static_cast<DWORD>(raw.size());
        if (!data) return true;
        if (raw.size() > room) {
            ::SetLastError(ERROR_MORE_DATA);
            return false;
        }
        std::copy(raw.begin(), raw.end(), data);
        return true;
    }
    bool CountContents(DWORD* subKeys, DWORD* values) override {
        return m_os.Record(L"CountContents " + m_path) && m_os.CountContents(m_path, *subKeys, *values);
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

class FakeAppendFile final : public ISetupAppendFile {
public:
    FakeAppendFile(FakePlatform& os, std::wstring path) : m_os(os), m_path(std::move(path)) {}
    bool Append(const char* data, DWORD size) override { return m_os.AppendTo(m_path, std::string(data, size)); }
    bool Flush() override { return m_os.Record(L"Flush " + m_path); }

private:
    FakePlatform& m_os;
    std::wstring m_path;
};

// The appended text as one call line: without its line ends, lines joined by " / ".
std::wstring AppendedText(const std::string& text) {
    std::wstring out;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') out += L" / ";
        else out += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    if (out.size() >= 3 && out.compare(out.size() - 3, 3, L" / ") == 0) out.resize(out.size() - 3);
    return out;
}

}  // namespace

FakePlatform::FakePlatform() {
    SetVersion(6, 1, VER_NT_WORKSTATION);
    AddFolder(L"C:\\Program Files");
    AddFolder(kDesktop);
    AddFolder(kCommonDesktop);
    AddFolder(std::wstring(kTemp).substr(0, std::wcslen(kTemp) - 1));
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

void FakePlatform::AddTextFile(const std::wstring& path, const std::string& content) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    AddFile(path, content.size());
    m_nodes[Lower(path)].content = content;
}

std::string FakePlatform::Content(const std::wstring& path) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto node = m_nodes.find(Lower(path));
    return node == m_nodes.end() ? std::string() : node->second.content;
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

std::vector<std::wstring> FakePlatform::Snapshot() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::vector<std::wstring> lines;
    for (const auto& [key, node] : m_nodes) {
        lines.push_back(node.path + (node.folder ? L"\\" : L" " + std::to_wstring(node.size) + L" " +
                                                              Hex(node.attributes) + L" " + AppendedText(node.content)));
    }
    for (const auto& [lower, key] : m_keys) {
        lines.push_back(key.path);
        for (const auto& [name, data] : key.values) lines.push_back(key.path + L" [" + name + L"] = " + data);
    }
    return lines;
}

int FakePlatform::PauseCount() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_pauses;
}

bool FakePlatform::GetValue(const std::wstring& key, const std::wstring& name, std::wstring& data) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_keys.find(Lower(key));
    if (it == m_keys.end()) return false;
    auto value = it->second.values.find(Lower(name));
    if (value == it->second.values.end()) return false;
    data = value->second;
    return true;
}

bool FakePlatform::AppendTo(const std::wstring& path, const std::string& text) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!Record(L"Append " + path + L": " + AppendedText(text))) return false;
    auto node = m_nodes.find(Lower(path));
    if (node == m_nodes.end()) return Fail(ERROR_FILE_NOT_FOUND);
    node->second.content += text;
    node->second.size = node->second.content.size();
    return true;
}

bool FakePlatform::SetValue(const std::wstring& key, const std::wstring& name, const std::wstring& data) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_keys.find(Lower(key));
    if (it == m_keys.end()) return Fail(ERROR_KEY_DELETED);
    it->second.values[Lower(name)] = data;
    return true;
}

bool FakePlatform::CountContents(const std::wstring& key, DWORD& subKeys, DWORD& values) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_keys.find(Lower(key));
    if (it == m_keys.end()) return Fail(ERROR_KEY_DELETED);
    const std::wstring prefix = Lower(key) + L"\\";
    subKeys = 0;
    for (const auto& [other, data] : m_keys) {
        if (other.compare(0, prefix.size(), prefix) == 0 && other.find(L'\\', prefix.size()) == std::wstring::npos)
            ++subKeys;
    }
    values = static_cast<DWORD>(it->second.values.size());
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
    // A link goes as a link, whatever its target holds (the fake's view of it goes with it).
    if (AttributesOf(m_nodes[Lower(path)]) & FILE_ATTRIBUTE_REPARSE_POINT) return EraseTree(path);
    if (!Children(path).empty()) return Fail(ERROR_DIR_NOT_EMPTY);
    m_nodes.erase(Lower(path));
    return true;
}

bool FakePlatform::EraseTree(const std::wstring& path) {
    const std::wstring lower = Lower(path);
    for (auto it = m_nodes.begin(); it != m_nodes.end();) {
        const bool inside = it->first.size() > lower.size() && it->first[lower.size()] == L'\\' &&
                            it->first.compare(0, lower.size(), lower) == 0;
        it = (it->first == lower || inside) ? m_nodes.erase(it) : std::next(it);
    }
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
    Node copy{to, false, source->second.size};
    copy.content = source->second.content;
    m_nodes[Lower(to)] = copy;
    *copiedBytes = source->second.size;
    return true;
}

bool FakePlatform::DeleteFile(const wchar_t* path) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!Record(std::wstring(L"DeleteFile ") + path)) return false;
    auto node = m_nodes.find(Lower(path));
    if (node == m_nodes.end()) return Fail(ERROR_FILE_NOT_FOUND);
    if (node->second.attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EraseTree(path);
    if (node->second.folder || (node->second.attributes & FILE_ATTRIBUTE_READONLY)) return Fail(ERROR_ACCESS_DENIED);
    m_nodes.erase(node);
    return true;
}

bool FakePlatform::MoveFile(const wchar_t* from, const wchar_t* to, DWORD flags) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!Record(std::wstring(L"MoveFile ") + from + L" -> " + (to ? to : L"(deleted)") + L" flags=" + Hex(flags)))
        return false;
    auto source = m_nodes.find(Lower(from));
    if (source == m_nodes.end()) return Fail(ERROR_FILE_NOT_FOUND);
    if (!to) {
        if (!(flags & MOVEFILE_DELAY_UNTIL_REBOOT)) return Fail(ERROR_INVALID_PARAMETER);
        m_pendingDeletes.push_back(from);
        return true;
    }
    if (flags & MOVEFILE_DELAY_UNTIL_REBOOT) return Fail(ERROR_INVALID_PARAMETER);
    if (!IsFolder(Parent(to))) return Fail(ERROR_PATH_NOT_FOUND);
    if (Exists(to)) {
        if (!(flags & MOVEFILE_REPLACE_EXISTING) || IsFolder(to)) return Fail(ERROR_ALREADY_EXISTS);
        m_nodes.erase(Lower(to));
    }
    // A folder moves with everything in it.
    const std::wstring prefix = Lower(from) + L"\\";
    std::vector<std::pair<std::wstring, Node>> moved;
    for (auto it = m_nodes.begin(); it != m_nodes.end();) {
        if (it->first == Lower(from) || it->first.compare(0, prefix.size(), prefix) == 0) {
            Node node = it->second;
            node.path = to + node.path.substr(std::wcslen(from));
            moved.emplace_back(Lower(node.path), node);
            it = m_nodes.erase(it);
        } else {
            ++it;
        }
    }
    for (auto& [key, node] : moved) m_nodes[key] = node;
    return true;
}

std::vector<std::wstring> FakePlatform::PendingDeletes() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_pendingDeletes;
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

std::unique_ptr<ISetupAppendFile> FakePlatform::OpenAppendFile(const wchar_t* path) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!Record(std::wstring(L"OpenAppendFile ") + path)) return nullptr;
    auto node = m_nodes.find(Lower(path));
    if (node == m_nodes.end()) {
        if (!IsFolder(Parent(path))) {
            Fail(ERROR_PATH_NOT_FOUND);
            return nullptr;
        }
        m_nodes[Lower(path)] = Node{path, false, 0};
    } else if (node->second.folder || (node->second.attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        Fail(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return std::make_unique<FakeAppendFile>(*this, path);
}

bool FakePlatform::ReadWholeFile(const wchar_t* path, DWORD maxBytes, fw::HeapArray<char>& data) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!Record(std::wstring(L"ReadWholeFile ") + path)) return false;
    auto node = m_nodes.find(Lower(path));
    if (node == m_nodes.end()) return Fail(IsFolder(Parent(path)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    if (node->second.folder) return Fail(ERROR_ACCESS_DENIED);
    const std::string& content = node->second.content;
    if (content.size() > maxBytes) return Fail(ERROR_FILE_TOO_LARGE);
    fw::HeapArray<char> buffer(content.size() + 1);
    std::copy(content.begin(), content.end(), buffer.get());
    data = std::move(buffer);
    return true;
}

bool FakePlatform::WriteNewFile(const wchar_t* path, const char* data, DWORD size) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!Record(std::wstring(L"WriteNewFile ") + path)) return false;
    if (!IsFolder(Parent(path))) return Fail(ERROR_PATH_NOT_FOUND);
    Node node{path, false, size};
    node.content.assign(data, size);
    m_nodes[Lower(path)] = node;
    return true;
}

bool FakePlatform::CreatePrivateFolder(const wchar_t* path) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!Record(std::wstring(L"CreatePrivateFolder ") + path)) return false;
    if (Exists(path)) return Fail(ERROR_ALREADY_EXISTS);
    if (!IsFolder(Parent(path))) return Fail(ERROR_PATH_NOT_FOUND);
    m_nodes[Lower(path)] = Node{path, true, 0};
    return true;
}

bool FakePlatform::GetTempFolder(wchar_t (&path)[MAX_PATH]) {
    if (!Record(L"GetTempFolder")) return false;
    wcscpy_s(path, kTemp);
    return true;
}

bool FakePlatform::GetVersionInfo(OSVERSIONINFOEXW* info) {
    if (!Record(L"GetVersionInfo") || m_versionFails) return false;
    *info = m_version;
    return true;
}

bool FakePlatform::GetSpecialFolder(int csidl, wchar_t (&path)[MAX_PATH]) {
    if (!Record(L"GetSpecialFolder " + std::to_wstring(csidl))) return false;
    const wchar_t* folder = csidl == CSIDL_DESKTOPDIRECTORY          ? kDesktop
                            : csidl == CSIDL_COMMON_DESKTOPDIRECTORY ? kCommonDesktop
                            : csidl == CSIDL_COMMON_PROGRAMS         ? kPrograms
                                                                     : nullptr;
    if (!folder) return false;
    wcscpy_s(path, folder);
    return true;
}

std::unique_ptr<ISetupRegistryKey> FakePlatform::OpenKey(HKEY root, const wchar_t* path) {
    const std::wstring rooted = RootName(root) + L"\\" + path;
    if (!Record(L"OpenKey " + rooted)) return nullptr;
    if (!KeyExists(rooted)) {
        Fail(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
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
