#include "engine/platform/RegistryPaths.h"

#include <cwchar>

#include "base/TextFormat.h"
#include "engine/platform/Environment.h"

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

bool FormatUninstallEntryKey(const SetupConfig& config, wchar_t (&rootedPath)[1024]) {
    return FormatText(rootedPath, L"HKLM\\%sUninstall\\%s", RegistryBasePath(), config.szAppFolderName);
}

bool FormatRunKey(wchar_t (&path)[1024]) {
    return FormatText(path, L"%sRun", RegistryBasePath());
}

std::unique_ptr<ISetupRegistryKey> OpenRootedKey(const wchar_t* rooted) {
    HKEY root = nullptr;
    const wchar_t* path = nullptr;
    if (SplitRootedPath(rooted, root, path)) return SetupPlatform().OpenKey(root, path);
    ::SetLastError(ERROR_INVALID_NAME);
    return nullptr;
}

std::unique_ptr<ISetupRegistryKey> OpenParentKey(const wchar_t* rooted, const wchar_t*& leaf) {
    HKEY root = nullptr;
    const wchar_t* path = nullptr;
    wchar_t parent[1024];
    const wchar_t* slash = std::wcsrchr(rooted, L'\\');
    if (!SplitRootedPath(rooted, root, path) || !slash || slash < path || !CopyText(parent, path)) {
        ::SetLastError(ERROR_INVALID_NAME);
        return nullptr;
    }
    parent[slash - path] = L'\0';
    leaf = slash + 1;
    return SetupPlatform().OpenKey(root, parent);
}
