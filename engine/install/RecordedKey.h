// A registry key opened or created through the install's changes: the data each value replaces
// is entered in the record before it is set.
#pragma once

#include <windows.h>

#include <memory>

#include "engine/platform/SetupPlatform.h"

class CInstallChanges;

// A registry key opened or created through the install's changes.
class CRecordedKey {
public:
    CRecordedKey(CInstallChanges& changes, std::unique_ptr<ISetupRegistryKey> key, const wchar_t* rootedPath,
                 bool created);
    const wchar_t* Path() const { return m_path; }  // "HKLM\..." or "HKCU\..."
    bool SetString(const wchar_t* name, const wchar_t* data);
    bool SetDword(const wchar_t* name, DWORD data);
    bool DeleteValue(const wchar_t* name);  // true when there was none

private:
    // Enters the value's present data in the record; false when it cannot be kept.
    bool RecordEarlierValue(const wchar_t* name, bool& exists);

    CInstallChanges& m_changes;
    std::unique_ptr<ISetupRegistryKey> m_key;
    wchar_t m_path[1024];
    bool m_created;  // its values go with it: none of them needs an entry
};
