#include "engine/InstallRegistry.h"

#include "engine/Environment.h"
#include "engine/OutsideComponents.h"
#include "engine/SetupPlatform.h"
#include "framework/TextFormat.h"

namespace {

const wchar_t* BasePath() {
    return g_bWow64 ? L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"
                    : L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
}

void ShowRegistryFailure(const wchar_t* text) {
    SetupPlatform().ShowMessageBox(text, L"Fail", MB_OK | MB_ICONWARNING);
}

// The installed files' total size in KiB, rounded up: the install folder and its two subfolders.
DWORD InstalledSizeKiB(const SetupConfig& config) {
    ISetupPlatform& os = SetupPlatform();
    ULONGLONG total = 0;
    const wchar_t* folders[] = {config.szInstallDir, nullptr, nullptr};
    wchar_t uninstallDir[MAX_PATH];
    wchar_t imagesDir[MAX_PATH];
    if (FormatText(uninstallDir, L"%s\\%s", config.szInstallDir, kUninstallFolderName)) folders[1] = uninstallDir;
    if (FormatText(imagesDir, L"%s\\%s", config.szInstallDir, kImagesFolderName)) folders[2] = imagesDir;
    for (const wchar_t* folder : folders) {
        wchar_t pattern[MAX_PATH];
        if (!folder || !FormatText(pattern, L"%s\\*.*", folder)) continue;
        for (const SetupFolderEntry& entry : os.ListFolder(pattern)) {
            wchar_t path[MAX_PATH];
            ULONGLONG size = 0;
            if (!entry.isFolder && FormatText(path, L"%s\\%s", folder, entry.name.c_str()) &&
                os.GetFileSize(path, &size))
                total += size;
        }
    }
    const ULONGLONG kib = (total + 1023) / 1024;
    return kib > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(kib);
}

}  // namespace

bool WriteInstallRegistry(const SetupConfig& config) {
    ISetupPlatform& os = SetupPlatform();
    bool ok = true;

    wchar_t entryPath[1024];
    if (!FormatText(entryPath, L"%sUninstall\\%s", BasePath(), config.szAppFolderName)) return false;

    if (!g_bVista) {
        wchar_t runPath[1024];
        wchar_t runData[MAX_PATH];
        if (!FormatText(runPath, L"%sRun", BasePath()) ||
            !FormatText(runData, L"\"%s\\%s\" %s", config.szInstallDir, config.szAppFileName, kAppAutoStartArgument)) {
            ok = false;
        } else if (auto runKey = os.OpenKey(HKEY_LOCAL_MACHINE, runPath)) {
            if (!runKey->SetString(config.szAppName, runData))
                ShowRegistryFailure(L"Fail to write the Run registry key!");
        }
    }

    wchar_t uninstallString[1024];
    wchar_t quietUninstallString[1024];
    wchar_t displayIcon[MAX_PATH];
    if (!FormatText(uninstallString, L"\"%s\\%s\\%s\" %s", config.szInstallDir, kUninstallFolderName,
                    kSetupFileName, kRemoveSwitch) ||
        !FormatText(quietUninstallString, L"\"%s\\%s\\%s\" %s", config.szInstallDir, kUninstallFolderName,
                    kSetupFileName, kSilentRemoveSwitch) ||
        !FormatText(displayIcon, L"%s\\%s", config.szInstallDir, config.szAppFileName))
        return false;

    auto entry = os.CreateKey(HKEY_LOCAL_MACHINE, entryPath);
    if (!entry) return false;
    if (!entry->SetString(L"UninstallString", uninstallString)) {
        ShowRegistryFailure(L"Fail to write the UninstallString registry key!");
        return false;
    }
    if (!entry->SetString(L"DisplayName", config.szAppName)) {
        ShowRegistryFailure(L"Fail to write the DisplayName registry key!");
        return false;
    }
    entry->SetString(L"Publisher", config.szCompanyName);
    if (!entry->SetString(L"DisplayVersion", config.szVersion)) {
        ShowRegistryFailure(L"Fail to write the DisplayVersion registry key!");
        ok = false;
    }
    // What administrators and deployment tools expect besides; silent where they fail.
    entry->SetString(L"QuietUninstallString", quietUninstallString);
    entry->SetString(L"InstallLocation", config.szInstallDir);
    entry->SetString(L"DisplayIcon", displayIcon);
    entry->SetDword(L"NoModify", 1);
    entry->SetDword(L"NoRepair", 1);
    entry->SetDword(L"EstimatedSize", InstalledSizeKiB(config));
    return ok;
}

void DeleteInstallRegistry(const SetupConfig& config) {
    ISetupPlatform& os = SetupPlatform();
    wchar_t path[1024];
    // An empty name would make the delete act on the Uninstall key itself.
    if (config.szAppFolderName[0] && FormatText(path, L"%sUninstall", BasePath())) {
        if (auto uninstall = os.OpenKey(HKEY_LOCAL_MACHINE, path)) uninstall->DeleteSubKey(config.szAppFolderName);
    }
    if (!g_bVista && FormatText(path, L"%sRun", BasePath())) {
        if (auto run = os.OpenKey(HKEY_LOCAL_MACHINE, path)) run->DeleteValue(config.szAppName);
    }
}
