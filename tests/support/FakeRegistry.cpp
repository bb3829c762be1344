// The fake's registry: keys with their values, as "REG_SZ:<text>", "REG_DWORD:<n>" or "TYPE<n>:<hex>".
#include <algorithm>

#include "tests/support/FakePlatform.h"

namespace {

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

}  // namespace

void FakePlatform::AddKey(const std::wstring& rootedPath) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::wstring parent = Parent(rootedPath);
    if (parent.find(L'\\') != std::wstring::npos) AddKey(parent);
    auto& key = m_keys[Lower(rootedPath)];
    if (key.path.empty()) key.path = rootedPath;
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

bool FakePlatform::GetValue(const std::wstring& key, const std::wstring& name, std::wstring& data) const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_keys.find(Lower(key));
    if (it == m_keys.end()) return false;
    auto value = it->second.values.find(Lower(name));
    if (value == it->second.values.end()) return false;
    data = value->second;
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
