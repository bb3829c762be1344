#include "engine/record/RegistryDeletion.h"

#include <cwchar>

#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/RegistryPaths.h"
#include "engine/platform/SetupPlatform.h"

bool DeleteNamedKey(const CInstallPlaces& places, const wchar_t* rooted, const wchar_t* done) {
    const wchar_t* leaf = nullptr;
    auto parent = OpenParentKey(rooted, leaf);
    DWORD error = ::GetLastError();
    if (parent && places.IsSharedKey(rooted)) {
        DWORD subKeys = 0;
        DWORD values = 0;
        auto key = OpenRootedKey(rooted);
        if (!key) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
        if (!key->CountContents(&subKeys, &values) || subKeys || values) {
            LogLine({L"Kept ", rooted, L": other programs' entries share it"});
            return true;
        }
    }
    if (parent && parent->DeleteSubKey(leaf)) {
        LogLine({done, rooted});
        return true;
    }
    if (parent) error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return true;
    LogFailure({L"Could not delete ", rooted}, error);
    return false;
}

bool DeleteNamedValue(const wchar_t* rootedKey, const wchar_t* name, const wchar_t* done) {
    auto key = OpenRootedKey(rootedKey);
    if (key && key->DeleteValue(name)) {
        LogLine({done, rootedKey, L" [", name, L"]"});
        return true;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return true;
    LogFailure({L"Could not delete ", rootedKey, L" [", name, L"]"}, error);
    return false;
}
