#include "engine/RegistryPaths.h"

#include <cwchar>

#include "engine/Environment.h"

const wchar_t* RegistryBasePath() {
    return g_bWow64 ? L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"
                    : L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
}

const wchar_t* RegistryRootName(HKEY root) {
    return root == HKEY_CURRENT_USER ? L"HKCU" : L"HKLM";
}

bool SplitRootedPath(const wchar_t* rooted, HKEY& root, const wchar_t*& path) {
    if (std::wcsncmp(rooted, L"HKLM\\", 5) == 0)
        root = HKEY_LOCAL_MACHINE;
    else if (std::wcsncmp(rooted, L"HKCU\\", 5) == 0)
        root = HKEY_CURRENT_USER;
    else
        return false;
    path = rooted + 5;
    return *path != L'\0';
}
