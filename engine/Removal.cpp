#include "engine/Removal.h"

#include "engine/Environment.h"
#include "engine/FileTables.h"
#include "engine/InstallProcedure.h"
#include "engine/InstallRegistry.h"
#include "engine/OutsideComponents.h"
#include "engine/SetupPlatform.h"
#include "engine/Shortcuts.h"
#include "framework/TextFormat.h"

namespace {

// A file that is gone afterwards, or was never there, is removed.
bool RemoveInstalledFile(const wchar_t* installDir, const wchar_t* name) {
    ISetupPlatform& os = SetupPlatform();
    wchar_t path[MAX_PATH];
    if (!FormatText(path, L"%s\\%s", installDir, name)) return false;
    return os.DeleteFile(path) || !os.PathExists(path);
}

}  // namespace

bool RemoveInstalledFiles(const SetupConfig& config) {
    const wchar_t* install = config.szInstallDir;
    bool ok = RemoveInstalledFile(install, kRuntimeMingw);
    if (!RemoveInstalledFile(install, config.szAppFileName)) ok = false;
    if (!RemoveInstalledFile(install, kAppConfigFileName)) ok = false;
    for (const auto& name : g_szAppImageFiles) {
        if (!RemoveInstalledFile(install, name)) ok = false;
    }
    if (g_bVista && !RemoveInstalledFile(install, kServiceSetupFileName)) ok = false;
    DeleteInstallRegistry(config);
    return ok;
}

bool RunRemoval(const SetupConfig& config) {
    if (!HasUsableInstallDir(config)) return false;
    bool ok = true;
    if (g_bVista && !ReleaseService(config.szInstallDir)) ok = false;
    CloseRunningApp(config.szAppName);
    if (!RemoveInstalledFiles(config)) ok = false;
    if (!DeleteDesktopShortcut(config.szAppName)) ok = false;
    if (!DeleteProgramsShortcut(config.szAppName, config.szAppName, false)) ok = false;
    if (!DeleteProgramsShortcut(config.szAppName, kUninstallFolderName, true)) ok = false;
    return ok;
}
