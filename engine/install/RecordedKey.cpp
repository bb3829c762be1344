#include "engine/install/RecordedKey.h"

#include "base/TextFormat.h"
#include "engine/install/InstallChanges.h"
#include "engine/log/SetupLog.h"
#include "engine/record/RecordedValue.h"

namespace {

// Room for an earlier value's data: far more than any value of the install's; a larger one is
// read again at its size.
constexpr DWORD kEarlierValueBytes = 4096;

}  // namespace

CRecordedKey::CRecordedKey(CInstallChanges& changes, std::unique_ptr<ISetupRegistryKey> key, const wchar_t* rootedPath,
                           bool created)
    : m_changes(changes), m_key(std::move(key)), m_created(created) {
    CopyText(m_path, rootedPath);
}

bool CRecordedKey::RecordEarlierValue(const wchar_t* name, bool& exists) {
    exists = false;
    if (m_created) return true;
    DWORD type = REG_NONE;
    DWORD bytes = kEarlierValueBytes;
    fw::HeapArray<BYTE> data(bytes);
    if (!data) return false;
    bool read = m_key->QueryValue(name, &type, data.get(), &bytes);
    if (!read && ::GetLastError() == ERROR_MORE_DATA) {
        // Larger than most: read again at its size.
        data = fw::HeapArray<BYTE>(bytes);
        read = data && m_key->QueryValue(name, &type, data.get(), &bytes);
    }
    if (!read) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return m_changes.Write(RecordKind::Value, m_path, name, kNoEarlierValue);
        LogFailure({L"Could not read ", m_path, L" [", name, L"], which would be replaced"}, error);
        return false;
    }
    exists = true;
    fw::HeapArray<wchar_t> earlier;
    if (!FormatRecordedValue(type, data.get(), bytes, earlier)) return false;
    return m_changes.Write(RecordKind::Value, m_path, name, earlier.get());
}

bool CRecordedKey::SetString(const wchar_t* name, const wchar_t* data) {
    bool exists = false;
    if (!RecordEarlierValue(name, exists)) return false;
    if (m_key->SetString(name, data)) {
        LogLine({L"Set ", m_path, L" [", name, L"] = ", data});
        return true;
    }
    LogFailure({L"Could not set ", m_path, L" [", name, L"]"}, ::GetLastError());
    return false;
}

bool CRecordedKey::SetDword(const wchar_t* name, DWORD data) {
    bool exists = false;
    if (!RecordEarlierValue(name, exists)) return false;
    if (m_key->SetDword(name, data)) {
        LogLine({L"Set ", m_path, L" [", name, L"] = ", NumberText(data)});
        return true;
    }
    LogFailure({L"Could not set ", m_path, L" [", name, L"]"}, ::GetLastError());
    return false;
}

bool CRecordedKey::DeleteValue(const wchar_t* name) {
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    if (!m_key->QueryValue(name, &type, nullptr, &bytes) && ::GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    bool exists = false;
    if (!RecordEarlierValue(name, exists)) return false;
    if (m_key->DeleteValue(name)) {
        LogLine({L"Deleted ", m_path, L" [", name, L"]"});
        return true;
    }
    LogFailure({L"Could not delete ", m_path, L" [", name, L"]"}, ::GetLastError());
    return false;
}
