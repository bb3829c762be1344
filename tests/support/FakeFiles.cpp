// The fake's files and folders: what the engine asks of them through the platform.
#include <algorithm>

#include "tests/support/FakePlatform.h"

namespace {

class FakeAppendFile final : public ISetupAppendFile {
public:
    FakeAppendFile(FakePlatform& os, std::wstring path) : m_os(os), m_path(std::move(path)) {}
    bool Append(const char* data, DWORD size) override { return m_os.AppendTo(m_path, std::string(data, size)); }
    bool Flush() override { return m_os.Record(L"Flush " + m_path); }

private:
    FakePlatform& m_os;
    std::wstring m_path;
};

}  // namespace

bool FakePlatform::AppendTo(const std::wstring& path, const std::string& text) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!Record(L"Append " + path + L": " + AppendedText(text))) return false;
    auto node = m_nodes.find(Lower(path));
    if (node == m_nodes.end()) return Fail(ERROR_FILE_NOT_FOUND);
    node->second.content += text;
    node->second.size = node->second.content.size();
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
