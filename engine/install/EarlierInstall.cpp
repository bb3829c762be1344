#include "engine/install/EarlierInstall.h"

#include <shlobj.h>

#include "base/NameCompare.h"
#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/FolderWalk.h"
#include "engine/platform/OutsideComponents.h"
#include "engine/platform/RegistryPaths.h"
#include "engine/platform/SetupPlatform.h"
#include "engine/platform/ShortcutPaths.h"

namespace {

bool IsEmptyFolder(const wchar_t* folder) {
    return ForEachFolderEntry(folder, [](const SetupFolderEntry&) { return false; });
}

}  // namespace

bool RetireEarlierRegistration(const SetupConfig& config, const CInstallPlan& plan, CInstallChanges& changes) {
    // A first install has nothing to take away (and asks for no user's folder).
    if (!plan.HasEarlier()) return true;
    const wchar_t* earlierName = nullptr;
    if (IsPlainFileName(plan.Earlier().szAppName) &&
        !EqualsNoCase(plan.Earlier().szAppName, config.szAppName))
        earlierName = plan.Earlier().szAppName;

    wchar_t link[MAX_PATH];
    for (const wchar_t* name : {static_cast<const wchar_t*>(config.szAppName), earlierName}) {
        if (name && FormatDesktopLink(CSIDL_DESKTOPDIRECTORY, name, link) && !changes.Remove(link)) return false;
    }
    if (!earlierName) return true;
    LogLine({L"The earlier installation was named \"", earlierName, L"\": its shortcuts and Run value go"});

    if (FormatDesktopLink(CSIDL_COMMON_DESKTOPDIRECTORY, earlierName, link) && !changes.Remove(link)) return false;
    wchar_t folder[MAX_PATH];
    for (const wchar_t* name : {earlierName, kUninstallFolderName}) {
        if (FormatProgramsLink(earlierName, name, folder, link) && !changes.Remove(link)) return false;
    }
    // The Start-menu folder goes aside with the rest when nothing else is in it; a folder that
    // cannot be moved (another volume) only stays behind, empty.
    if (FormatProgramsLink(earlierName, earlierName, folder, link) &&
        SetupPlatform().GetAttributes(folder) != INVALID_FILE_ATTRIBUTES && IsEmptyFolder(folder))
        changes.Remove(folder);

    wchar_t runPath[1024];
    if (!FormatRunKey(runPath)) return true;
    auto run = changes.OpenKey(HKEY_LOCAL_MACHINE, runPath, false);
    return !run || run->DeleteValue(earlierName);
}
