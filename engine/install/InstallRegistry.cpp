#include "engine/install/InstallRegistry.h"

#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/log/SetupMessages.h"
#include "engine/platform/Environment.h"
#include "engine/platform/OutsideComponents.h"
#include "engine/platform/RegistryPaths.h"
#include "engine/platform/SetupPlatform.h"

namespace {

// In KiB, rounded up.
DWORD SizeInKiB(ULONGLONG bytes) {
    const ULONGLONG kib = (bytes + 1023) / 1024;
    return kib > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(kib);
}

}  // namespace

bool WriteRunValue(const SetupConfig& config, CInstallChanges& changes) {
    if (g_bVista) return true;
    wchar_t runPath[1024];
    wchar_t runData[MAX_PATH];
    if (!FormatRunKey(runPath) ||
        !FormatText(runData, L"\"%s\\%s\" %s", config.szInstallDir, config.szAppFileName, kAppAutoStartArgument)) {
        LogLine({L"The Run value for ", config.szAppFileName, L" does not fit: not written"});
        return false;
    }
    auto run = changes.OpenKey(HKEY_LOCAL_MACHINE, runPath, false);
    if (!run) {
        LogFailure({L"No Run key HKLM\\", runPath, L": the Run value is left out"}, ::GetLastError());
        return true;
    }
    if (run->SetString(config.szAppName, runData)) return true;
    ShowFailureMessage(SetupPlatform(), L"Fail to write the Run registry key!");
    return false;
}

bool WriteUninstallEntry(const SetupConfig& config, ULONGLONG installedBytes, CInstallChanges& changes) {
    wchar_t entryPath[1024];
    wchar_t uninstallString[1024];
    wchar_t quietUninstallString[1024];
    wchar_t displayIcon[MAX_PATH];
    if (!FormatUninstallEntryKey(config, entryPath) ||
        !FormatText(uninstallString, L"\"%s\\%s\\%s\" %s", config.szInstallDir, kUninstallFolderName,
                    kSetupFileName, kRemoveSwitch) ||
        !FormatText(quietUninstallString, L"\"%s\\%s\\%s\" %s", config.szInstallDir, kUninstallFolderName,
                    kSetupFileName, kSilentRemoveSwitch) ||
        !FormatText(displayIcon, L"%s\\%s", config.szInstallDir, config.szAppFileName)) {
        LogLine({L"The uninstall entry for ", config.szInstallDir, L" does not fit: not written"});
        return false;
    }

    auto entry = changes.OpenKey(HKEY_LOCAL_MACHINE, entryPath + 5, true);
    if (!entry) {
        LogFailure({L"Could not create ", entryPath}, ::GetLastError());
        return false;
    }
    if (!entry->SetString(L"UninstallString", uninstallString)) {
        ShowFailureMessage(SetupPlatform(), L"Fail to write the UninstallString registry key!");
        return false;
    }
    if (!entry->SetString(L"DisplayName", config.szAppName)) {
        ShowFailureMessage(SetupPlatform(), L"Fail to write the DisplayName registry key!");
        return false;
    }
    entry->SetString(L"Publisher", config.szCompanyName);
    if (!entry->SetString(L"DisplayVersion", config.szVersion)) {
        ShowFailureMessage(SetupPlatform(), L"Fail to write the DisplayVersion registry key!");
        return false;
    }
    // What administrators and deployment tools expect besides; failures only logged.
    entry->SetString(L"QuietUninstallString", quietUninstallString);
    entry->SetString(L"InstallLocation", config.szInstallDir);
    entry->SetString(L"DisplayIcon", displayIcon);
    entry->SetDword(L"NoModify", 1);
    entry->SetDword(L"NoRepair", 1);
    entry->SetDword(L"EstimatedSize", SizeInKiB(installedBytes));
    return true;
}
