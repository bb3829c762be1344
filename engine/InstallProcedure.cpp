#include "engine/InstallProcedure.h"

#include <initializer_list>

#include "engine/Environment.h"
#include "engine/InstallFiles.h"
#include "engine/OutsideComponents.h"
#include "engine/SetupPlatform.h"
#include "engine/Shortcuts.h"
#include "framework/TextFormat.h"

namespace {

// The program path is quoted: the install folder holds a blank ("Program Files"), and an
// unquoted path would let a planted C:\Program.exe run instead.
bool FormatServiceCommand(wchar_t (&commandLine)[1024], const wchar_t* installDir, const wchar_t* serviceSwitch) {
    return FormatText(commandLine, L"\"%s\\%s\" %s", installDir, kServiceSetupFileName, serviceSwitch);
}

}  // namespace

bool RunProgram(wchar_t* pszCommandLine, BOOL bShow) {
    // Normal priority: a program at real-time priority could starve the whole system.
    return SetupPlatform().StartProcess(pszCommandLine, bShow ? SW_SHOW : SW_HIDE, NORMAL_PRIORITY_CLASS);
}

bool ReleaseService(const wchar_t* pszInstallDir) {
    bool ok = true;
    for (const wchar_t* serviceSwitch : {kServiceStopSwitch, kServiceRemoveSwitch}) {
        wchar_t commandLine[1024];
        if (!FormatServiceCommand(commandLine, pszInstallDir, serviceSwitch)) {
            ok = false;
            continue;
        }
        RunProgram(commandLine, 1);
        SetupPlatform().Pause(kServiceReleasePauseMs);
    }
    return ok;
}

bool InstallService(const wchar_t* pszInstallDir) {
    wchar_t commandLine[1024];
    return FormatServiceCommand(commandLine, pszInstallDir, kServiceInstallSwitch) && RunProgram(commandLine, 1);
}

void CloseRunningApp(const wchar_t* pszAppName) {
    // An empty title would match some unrelated untitled window.
    if (!pszAppName[0]) return;
    ISetupPlatform& os = SetupPlatform();
    HWND window = os.FindTopWindow(pszAppName);  // borrowed handle
    if (!window) return;
    os.SendCloseMessage(window);
    os.Pause(kAppClosePauseMs);
}

bool HasUsableInstallDir(const SetupConfig& config) {
    return config.szInstallDir[0] != L'\0' && IsUsableFolderName(config.szAppFolderName);
}

bool RunInstall(const wchar_t* pszSetupDir, const SetupConfig& config) {
    ISetupPlatform& os = SetupPlatform();
    if (!HasUsableInstallDir(config)) {
        os.ShowMessageBox(L"The install folder in setup.ini is not valid!", L"Fail", MB_OK | MB_ICONWARNING);
        return false;
    }
    const wchar_t* install = config.szInstallDir;
    bool ok = true;

    os.RemoveFolder(install);

    if (g_bVista) {
        wchar_t serviceProgram[MAX_PATH];
        if (!FormatText(serviceProgram, L"%s\\%s", install, kServiceSetupFileName)) ok = false;
        else if (os.PathExists(serviceProgram) && !ReleaseService(install)) ok = false;
    }

    CloseRunningApp(config.szAppName);

    if (!InstallFiles(pszSetupDir, config)) ok = false;

    if (g_bVista && !InstallService(install)) {
        os.ShowMessageBox(L"Fail to install the service!", L"Fail", MB_OK | MB_ICONWARNING);
        return false;
    }

    wchar_t appPath[MAX_PATH];
    wchar_t uninstallPath[1024];
    const bool appPathFits = FormatText(appPath, L"%s\\%s", install, config.szAppFileName);
    const bool uninstallPathFits =
        FormatText(uninstallPath, L"%s\\%s\\%s", install, kUninstallFolderName, kSetupFileName);
    if (appPathFits) {
        if (!CreateDesktopShortcut(appPath, config.szAppName)) ok = false;
        if (!CreateProgramsShortcut(config.szAppName, appPath, config.szAppName, nullptr)) ok = false;
    } else {
        ok = false;
    }
    if (uninstallPathFits) {
        if (!CreateProgramsShortcut(config.szAppName, uninstallPath, kUninstallFolderName, kRemoveSwitch)) ok = false;
    } else {
        ok = false;
    }

    if (g_bVista && appPathFits) MarkCompatAssistantPersisted(appPath);
    return ok;
}
