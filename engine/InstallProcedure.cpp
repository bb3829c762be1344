#include "engine/InstallProcedure.h"

#include <initializer_list>

#include "base/TextFormat.h"
#include "engine/EarlierInstall.h"
#include "engine/Environment.h"
#include "engine/InstallChanges.h"
#include "engine/InstallFiles.h"
#include "engine/InstallPlan.h"
#include "engine/InstallRegistry.h"
#include "engine/OutsideComponents.h"
#include "engine/SetupLog.h"
#include "engine/SetupMessages.h"
#include "engine/SetupPlatform.h"
#include "engine/Shortcuts.h"

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

bool ServiceProgramIsIn(const wchar_t* pszInstallDir) {
    wchar_t program[MAX_PATH];
    return FormatText(program, L"%s\\%s", pszInstallDir, kServiceSetupFileName) && SetupPlatform().PathExists(program);
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
    // Everything that can be known in advance is checked before the first change.
    CInstallPlan plan;
    if (!CheckSetupNames(config) || !plan.Prepare(pszSetupDir, config)) {
        LogLine({L"Install refused: nothing was touched"});
        FlushSetupLog();
        return false;
    }
    const wchar_t* install = config.szInstallDir;
    CInstallChanges changes(config);
    auto fail = [&](const wchar_t* why) {
        LogLine({L"Install failed: ", why});
        changes.Undo();
        FlushSetupLog();
        return false;
    };

    // An empty install folder (with, at most, an empty "Uninstall": what a run killed before its
    // record could name the folders leaves) is made again and entered in the record.
    wchar_t emptyUninstall[MAX_PATH];
    if (FormatText(emptyUninstall, L"%s\\%s", install, kUninstallFolderName)) os.RemoveFolder(emptyUninstall);
    if (os.RemoveFolder(install)) LogLine({L"Removed the empty install folder ", install});

    // The earlier installation's service is released before its files are replaced; should this
    // install not complete, it is registered again once they are back.
    const bool releaseEarlier = g_bVista && ServiceProgramIsIn(install);
    if (!changes.Begin(pszSetupDir)) {
        LogLine({L"Install failed before its first change: nothing was touched"});
        FlushSetupLog();
        return false;
    }
    if (releaseEarlier && (!changes.Note(RecordKind::ServiceReleased, install) || !ReleaseService(install)))
        return fail(L"the earlier service could not be released");
    CloseRunningApp(config.szAppName);

    ULONGLONG installedBytes = 0;
    if (!InstallFiles(pszSetupDir, config, plan, changes, installedBytes)) return fail(L"a file could not be installed");

    // Registered only once every file is in place, the Run value last of all; the record of the
    // files reaches the disk first.
    if (!changes.MakeDurable()) return fail(L"the install record could not reach the disk");
    if (!RetireEarlierRegistration(config, plan, changes)) return fail(L"the earlier registration could not be taken away");
    if (!WriteUninstallEntry(config, installedBytes, changes)) return fail(L"the uninstall entry could not be written");
    if (g_bVista) {
        if (!changes.Note(RecordKind::ServiceInstalled, install) || !InstallService(install)) {
            ShowFailureMessage(L"Fail to install the service!");
            return fail(L"the service setup program could not be started");
        }
    }

    wchar_t appPath[MAX_PATH];
    wchar_t uninstallPath[1024];
    if (!FormatText(appPath, L"%s\\%s", install, config.szAppFileName) ||
        !FormatText(uninstallPath, L"%s\\%s\\%s", install, kUninstallFolderName, kSetupFileName))
        return fail(L"a shortcut's target path does not fit");
    {
        // One COM scope for all three shortcuts: entering and leaving COM costs more than a shortcut.
        auto com = os.EnterCom();
        if (!CreateDesktopShortcut(appPath, config.szAppName, changes) ||
            !CreateProgramsShortcut(config.szAppName, appPath, config.szAppName, nullptr, changes) ||
            !CreateProgramsShortcut(config.szAppName, uninstallPath, kUninstallFolderName, kRemoveSwitch, changes))
            return fail(L"a shortcut could not be made");
    }
    if (!WriteRunValue(config, changes)) return fail(L"the Run value could not be written");

    if (g_bVista) {
        // The key is shared with every other program's marks: entered when this install made it,
        // and deleted again only when nothing else is in it.
        auto key = changes.OpenKey(HKEY_CURRENT_USER, kCompatAssistantPersistedKey, true);
        if (!key || !key->SetDword(appPath, 1)) LogLine({L"The compatibility mark of ", appPath, L" was left out"});
    }

    // An earlier installation made before records were kept: what it made is now this one's.
    CRecordList adopted;
    const bool adopt = plan.HasEarlier() && !changes.HadRecord();
    if (adopt) {
        SetupConfig earlier = plan.Earlier();
        CopyText(earlier.szInstallDir, install);
        AddUnrecordedInstallEntries(earlier, true, adopted);
    }
    if (!changes.Commit(adopt ? &adopted : nullptr)) return fail(L"the install record could not be completed");
    LogLine({L"Install completed"});
    FlushSetupLog();
    return true;
}
