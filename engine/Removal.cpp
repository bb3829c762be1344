#include "engine/Removal.h"

#include "engine/Environment.h"
#include "engine/FileTables.h"
#include "engine/InstallProcedure.h"
#include "engine/InstallRegistry.h"
#include "engine/OutsideComponents.h"
#include "engine/SetupLog.h"
#include "engine/SetupPlatform.h"
#include "engine/Shortcuts.h"
#include "framework/TextFormat.h"

namespace {

// Deletes one installed file; returns whether it is gone afterwards (or was never there). A link
// or a folder under the name is not what the install put there and is never deleted or followed.
// A read-only file is made writable first, and put back when it still cannot be deleted.
bool RemoveInstalledFile(const wchar_t* installDir, const wchar_t* name) {
    ISetupPlatform& os = SetupPlatform();
    wchar_t path[MAX_PATH];
    if (!FormatText(path, L"%s\\%s", installDir, name)) {
        LogLine({L"The path of ", name, L" in ", installDir, L" does not fit: not deleted"});
        return false;
    }
    const DWORD attributes = os.GetAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
        LogFailure({L"Could not look at ", path}, error);
        return false;
    }
    if (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) {
        LogLine({(attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? L"A link, not deleted: " : L"A folder, not deleted: ",
                 path});
        return false;
    }
    const bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) {
        const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
        os.SetAttributes(path, writable ? writable : FILE_ATTRIBUTE_NORMAL);
    }
    if (os.DeleteFile(path)) {
        LogLine({readOnly ? L"Deleted (it was read-only) " : L"Deleted ", path});
        return true;
    }
    const DWORD error = ::GetLastError();
    if (readOnly) os.SetAttributes(path, attributes);
    LogFailure({L"Could not delete ", path}, error);
    return false;
}

}  // namespace

bool RemoveInstalledFiles(const SetupConfig& config) {
    const wchar_t* install = config.szInstallDir;
    bool ok = RemoveInstalledFile(install, kRuntimeMingw);
    const bool programGone = RemoveInstalledFile(install, config.szAppFileName);
    if (!programGone) ok = false;
    if (!RemoveInstalledFile(install, kAppConfigFileName)) ok = false;
    for (const auto& name : g_szAppImageFiles) {
        if (!RemoveInstalledFile(install, name)) ok = false;
    }
    if (g_bVista && !RemoveInstalledFile(install, kServiceSetupFileName)) ok = false;
    if (programGone)
        DeleteInstallRegistry(config);
    else
        LogLine({L"The program file stays in place: the uninstall entry and the Run value are kept, so that the "
                 L"removal can run again"});
    return ok;
}

bool RunRemoval(const SetupConfig& config) {
    LogLine({L"Removal of ", config.szInstallDir});
    if (!CheckSetupNames(config)) {
        LogLine({L"Removal refused: nothing was touched"});
        FlushSetupLog();
        return false;
    }
    bool ok = true;
    if (g_bVista && !ReleaseService(config.szInstallDir)) ok = false;
    CloseRunningApp(config.szAppName);
    if (!RemoveInstalledFiles(config)) ok = false;
    if (!DeleteDesktopShortcut(config.szAppName)) ok = false;
    if (!DeleteProgramsShortcut(config.szAppName, config.szAppName, false)) ok = false;
    if (!DeleteProgramsShortcut(config.szAppName, kUninstallFolderName, true)) ok = false;
    LogLine({ok ? L"Removal completed" : L"Removal completed with failures"});
    FlushSetupLog();
    return ok;
}

bool RunRemovalFromSetupFolder(const wchar_t* pszSetupDir) {
    SetupConfig config;
    if (!ReadSetupConfig(pszSetupDir, config)) {
        ShowFailureMessage(L"There is no setup.ini beside the removal program: nothing was removed!");
        LogLine({L"Removal refused: nothing was touched"});
        FlushSetupLog();
        return false;
    }
    return RunRemoval(config);
}
