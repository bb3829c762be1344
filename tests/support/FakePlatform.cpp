// The recording world: its calls and refusals, its files and folders as a test arranges and reads
// them, and the snapshot that compares two worlds.
#include "tests/support/FakePlatform.h"

#include <algorithm>
#include <cwctype>

std::wstring FakePlatform::Hex(unsigned long value) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%lx", value);
    return text;
}

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

bool FakePlatform::Fail(DWORD error) {
    ::SetLastError(error);
    return false;
}

DWORD FakePlatform::AttributesOf(const Node& node) const {
    return node.attributes | (node.folder ? FILE_ATTRIBUTE_DIRECTORY : (node.attributes ? 0 : FILE_ATTRIBUTE_ARCHIVE));
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

// The appended text as one call line: without its line ends, lines joined by " / ".
std::wstring FakePlatform::AppendedText(const std::string& text) {
    std::wstring out;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') out += L" / ";
        else out += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    if (out.size() >= 3 && out.compare(out.size() - 3, 3, L" / ") == 0) out.resize(out.size() - 3);
    return out;
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

void FakePlatform::AddAttributes(const std::wstring& path, DWORD attributes) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto node = m_nodes.find(Lower(path));
    if (node != m_nodes.end()) node->second.attributes |= attributes;
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

std::vector<std::wstring> FakePlatform::PendingDeletes() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_pendingDeletes;
}
