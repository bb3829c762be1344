#include "engine/install/InstallProcedure.h"

#include <initializer_list>

#include "base/TextFormat.h"
#include "engine/install/EarlierInstall.h"
#include "engine/install/InstallChanges.h"
#include "engine/install/InstallFiles.h"
#include "engine/install/InstallPlan.h"
#include "engine/install/InstallRegistry.h"
#include "engine/install/Shortcuts.h"
#include "engine/log/SetupLog.h"
#include "engine/log/SetupMessages.h"
#include "engine/platform/Environment.h"
#include "engine/platform/OutsideComponents.h"
#include "engine/platform/RunningApplication.h"
#include "engine/platform/ServiceControl.h"
#include "engine/platform/SetupNames.h"
#include "engine/platform/SetupPlatform.h"
#include "engine/record/UnrecordedInstall.h"

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
            ShowFailureMessage(SetupPlatform(), L"Fail to install the service!");
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
