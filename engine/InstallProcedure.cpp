#include "engine/InstallProcedure.h"

#include <initializer_list>

#include "engine/Environment.h"
#include "engine/InstallFiles.h"
#include "engine/OutsideComponents.h"
#include "engine/SetupLog.h"
#include "engine/SetupPlatform.h"
#include "engine/Shortcuts.h"
#include "framework/TextFormat.h"

namespace {

// The program path is quoted: the install folder holds a blank ("Program Files"), and an
// unquoted path would let a planted C:\Program.exe run instead.
bool FormatServiceCommand(wchar_t (&commandLine)[1024], const wchar_t* installDir, const wchar_t* serviceSwitch) {
    if (FormatText(commandLine, L"\"%s\\%s\" %s", installDir, kServiceSetupFileName, serviceSwitch)) return true;
    LogLine({L"The service setup program's command line in ", installDir, L" does not fit: not started"});
    return false;
}

bool RefuseName(const wchar_t* key, const wchar_t* value, const wchar_t* message) {
    LogLine({key, L" \"", value, L"\" of setup.ini refused: not a plain file name"});
    ShowFailureMessage(message);
    return false;
}

}  // namespace

bool RunProgram(wchar_t* pszCommandLine, BOOL bShow, const wchar_t* pszCurrentDir) {
    // Normal priority: a program at real-time priority could starve the whole system.
    if (SetupPlatform().StartProcess(pszCommandLine, bShow ? SW_SHOW : SW_HIDE, NORMAL_PRIORITY_CLASS,
                                     pszCurrentDir)) {
        LogLine({L"Started ", pszCommandLine, L" in ", pszCurrentDir});
        return true;
    }
    LogFailure({L"Could not start ", pszCommandLine, L" in ", pszCurrentDir}, ::GetLastError());
    return false;
}

bool ReleaseService(const wchar_t* pszInstallDir) {
    bool ok = true;
    for (const wchar_t* serviceSwitch : {kServiceStopSwitch, kServiceRemoveSwitch}) {
        wchar_t commandLine[1024];
        if (!FormatServiceCommand(commandLine, pszInstallDir, serviceSwitch)) {
            ok = false;
            continue;
        }
        RunProgram(commandLine, 1, pszInstallDir);
        FlushSetupLog();
        SetupPlatform().Pause(kServiceReleasePauseMs);
    }
    return ok;
}

bool InstallService(const wchar_t* pszInstallDir) {
    wchar_t commandLine[1024];
    return FormatServiceCommand(commandLine, pszInstallDir, kServiceInstallSwitch) &&
           RunProgram(commandLine, 1, pszInstallDir);
}

void CloseRunningApp(const wchar_t* pszAppName) {
    // An empty title would match some unrelated untitled window.
    if (!pszAppName[0]) return;
    ISetupPlatform& os = SetupPlatform();
    HWND window = os.FindTopWindow(pszAppName);  // borrowed handle
    if (!window) return;
    // A window that does not answer must not hold up an install that nobody watches.
    if (os.SendCloseMessage(window, kAppCloseTimeoutMs))
        LogLine({L"Sent WM_CLOSE to the window titled \"", pszAppName, L"\""});
    else
        LogLine({L"The window titled \"", pszAppName, L"\" did not handle WM_CLOSE within ",
                 NumberText(kAppCloseTimeoutMs), L" ms: left alone"});
    FlushSetupLog();
    os.Pause(kAppClosePauseMs);
}

bool CheckSetupNames(const SetupConfig& config) {
    if (!config.szInstallDir[0] || !IsUsableFolderName(config.szAppFolderName)) {
        ShowFailureMessage(L"The install folder in setup.ini is not valid!");
        return false;
    }
    if (!IsPlainFileName(config.szAppFileName))
        return RefuseName(L"APPFileName", config.szAppFileName,
                          L"The application file name in setup.ini is not valid!");
    if (!IsPlainFileName(config.szAppName))
        return RefuseName(L"AppName", config.szAppName, L"The application name in setup.ini is not valid!");
    return true;
}

bool RunInstall(const wchar_t* pszSetupDir, const SetupConfig& config) {
    ISetupPlatform& os = SetupPlatform();
    LogLine({L"Install from ", pszSetupDir});
    if (!CheckSetupNames(config)) {
        LogLine({L"Install refused: nothing was touched"});
        FlushSetupLog();
        return false;
    }
    const wchar_t* install = config.szInstallDir;
    bool ok = true;

    if (os.RemoveFolder(install)) LogLine({L"Removed the empty install folder ", install});

    if (g_bVista) {
        wchar_t serviceProgram[MAX_PATH];
        if (!FormatText(serviceProgram, L"%s\\%s", install, kServiceSetupFileName)) ok = false;
        else if (os.PathExists(serviceProgram) && !ReleaseService(install)) ok = false;
    }

    CloseRunningApp(config.szAppName);

    if (!InstallFiles(pszSetupDir, config)) ok = false;

    if (g_bVista && !InstallService(install)) {
        ShowFailureMessage(L"Fail to install the service!");
        LogLine({L"Install failed: no shortcuts were made"});
        FlushSetupLog();
        return false;
    }

    wchar_t appPath[MAX_PATH];
    wchar_t uninstallPath[1024];
    const bool appPathFits = FormatText(appPath, L"%s\\%s", install, config.szAppFileName);
    const bool uninstallPathFits =
        FormatText(uninstallPath, L"%s\\%s\\%s", install, kUninstallFolderName, kSetupFileName);
    {
        // One COM scope for all three shortcuts: entering and leaving COM costs more than a shortcut.
        auto com = os.EnterCom();
        if (appPathFits) {
            if (!CreateDesktopShortcut(appPath, config.szAppName)) ok = false;
            if (!CreateProgramsShortcut(config.szAppName, appPath, config.szAppName, nullptr)) ok = false;
        } else {
            ok = false;
        }
        if (uninstallPathFits) {
            if (!CreateProgramsShortcut(config.szAppName, uninstallPath, kUninstallFolderName, kRemoveSwitch))
                ok = false;
        } else {
            ok = false;
        }
    }
    if (!appPathFits || !uninstallPathFits) LogLine({L"A shortcut's target path in ", install, L" does not fit"});

    if (g_bVista && appPathFits) MarkCompatAssistantPersisted(appPath);
    LogLine({ok ? L"Install completed" : L"Install completed with failures"});
    FlushSetupLog();
    return ok;
}
