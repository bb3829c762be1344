#include "engine/InstallRegistry.h"

#include "engine/Environment.h"
#include "engine/OutsideComponents.h"
#include "engine/SetupLog.h"
#include "engine/SetupPlatform.h"
#include "framework/TextFormat.h"

namespace {

const wchar_t* BasePath() {
    return g_bWow64 ? L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\"
                    : L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
}

// Sets one REG_SZ value and logs the outcome with the key, the name and the data.
bool SetLoggedString(ISetupRegistryKey& key, const wchar_t* keyPath, const wchar_t* name, const wchar_t* data) {
    if (key.SetString(name, data)) {
        LogLine({L"Set HKLM\\", keyPath, L" [", name, L"] = ", data});
        return true;
    }
    LogFailure({L"Could not set HKLM\\", keyPath, L" [", name, L"]"}, ::GetLastError());
    return false;
}

void SetLoggedDword(ISetupRegistryKey& key, const wchar_t* keyPath, const wchar_t* name, DWORD data) {
    if (key.SetDword(name, data))
        LogLine({L"Set HKLM\\", keyPath, L" [", name, L"] = ", NumberText(data)});
    else
        LogFailure({L"Could not set HKLM\\", keyPath, L" [", name, L"]"}, ::GetLastError());
}

// In KiB, rounded up.
DWORD SizeInKiB(ULONGLONG bytes) {
    const ULONGLONG kib = (bytes + 1023) / 1024;
    return kib > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(kib);
}

}  // namespace

bool WriteInstallRegistry(const SetupConfig& config, ULONGLONG installedBytes) {
    ISetupPlatform& os = SetupPlatform();
    bool ok = true;

    wchar_t entryPath[1024];
    if (!FormatText(entryPath, L"%sUninstall\\%s", BasePath(), config.szAppFolderName)) {
        LogLine({L"The uninstall entry's key for ", config.szAppFolderName, L" does not fit: not written"});
        return false;
    }

    if (!g_bVista) {
        wchar_t runPath[1024];
        wchar_t runData[MAX_PATH];
        if (!FormatText(runPath, L"%sRun", BasePath()) ||
            !FormatText(runData, L"\"%s\\%s\" %s", config.szInstallDir, config.szAppFileName, kAppAutoStartArgument)) {
            LogLine({L"The Run value for ", config.szAppFileName, L" does not fit: not written"});
            ok = false;
        } else if (auto runKey = os.OpenKey(HKEY_LOCAL_MACHINE, runPath)) {
            if (!SetLoggedString(*runKey, runPath, config.szAppName, runData)) {
                ShowFailureMessage(L"Fail to write the Run registry key!");
                ok = false;
            }
        } else {
            LogFailure({L"No Run key HKLM\\", runPath, L": the Run value is left out"}, ::GetLastError());
        }
    }

    wchar_t uninstallString[1024];
    wchar_t quietUninstallString[1024];
    wchar_t displayIcon[MAX_PATH];
    if (!FormatText(uninstallString, L"\"%s\\%s\\%s\" %s", config.szInstallDir, kUninstallFolderName,
                    kSetupFileName, kRemoveSwitch) ||
        !FormatText(quietUninstallString, L"\"%s\\%s\\%s\" %s", config.szInstallDir, kUninstallFolderName,
                    kSetupFileName, kSilentRemoveSwitch) ||
        !FormatText(displayIcon, L"%s\\%s", config.szInstallDir, config.szAppFileName)) {
        LogLine({L"The uninstall entry's values for ", config.szInstallDir, L" do not fit: not written"});
        return false;
    }

    auto entry = os.CreateKey(HKEY_LOCAL_MACHINE, entryPath);
    if (!entry) {
        LogFailure({L"Could not create HKLM\\", entryPath}, ::GetLastError());
        return false;
    }
    if (!SetLoggedString(*entry, entryPath, L"UninstallString", uninstallString)) {
        ShowFailureMessage(L"Fail to write the UninstallString registry key!");
        return false;
    }
    if (!SetLoggedString(*entry, entryPath, L"DisplayName", config.szAppName)) {
        ShowFailureMessage(L"Fail to write the DisplayName registry key!");
        return false;
    }
    SetLoggedString(*entry, entryPath, L"Publisher", config.szCompanyName);
    if (!SetLoggedString(*entry, entryPath, L"DisplayVersion", config.szVersion)) {
        ShowFailureMessage(L"Fail to write the DisplayVersion registry key!");
        ok = false;
    }
    // What administrators and deployment tools expect besides; failures only logged.
    SetLoggedString(*entry, entryPath, L"QuietUninstallString", quietUninstallString);
    SetLoggedString(*entry, entryPath, L"InstallLocation", config.szInstallDir);
    SetLoggedString(*entry, entryPath, L"DisplayIcon", displayIcon);
    SetLoggedDword(*entry, entryPath, L"NoModify", 1);
    SetLoggedDword(*entry, entryPath, L"NoRepair", 1);
    SetLoggedDword(*entry, entryPath, L"EstimatedSize", SizeInKiB(installedBytes));
    return ok;
}

void DeleteInstallRegistry(const SetupConfig& config) {
    ISetupPlatform& os = SetupPlatform();
    wchar_t path[1024];
    // An empty name would make the delete act on the Uninstall key itself.
    if (config.szAppFolderName[0] && FormatText(path, L"%sUninstall", BasePath())) {
        if (auto uninstall = os.OpenKey(HKEY_LOCAL_MACHINE, path)) {
            if (uninstall->DeleteSubKey(config.szAppFolderName))
                LogLine({L"Deleted HKLM\\", path, L"\\", config.szAppFolderName});
            else
                LogFailure({L"Could not delete HKLM\\", path, L"\\", config.szAppFolderName}, ::GetLastError());
        }
    }
    if (!g_bVista && FormatText(path, L"%sRun", BasePath())) {
        if (auto run = os.OpenKey(HKEY_LOCAL_MACHINE, path)) {
            if (run->DeleteValue(config.szAppName))
                LogLine({L"Deleted HKLM\\", path, L" [", config.szAppName, L"]"});
            else
                LogFailure({L"Could not delete HKLM\\", path, L" [", config.szAppName, L"]"}, ::GetLastError());
        }
    }
}
