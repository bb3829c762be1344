#include "engine/EarlierInstall.h"

#include <shlobj.h>

#include "base/NameCompare.h"
#include "base/TextFormat.h"
#include "engine/Environment.h"
#include "engine/FileTables.h"
#include "engine/InstallRegistry.h"
#include "engine/OutsideComponents.h"
#include "engine/SetupLog.h"
#include "engine/SetupPlatform.h"
#include "engine/Shortcuts.h"

namespace {

const wchar_t* const kSharedFiles[] = {kSetupIniFileName, kRuntimeLibeay, kRuntimeSsleay, kRuntimeZlib};

// A name that is not a plain file name (an earlier setup.ini's, refused) names nothing.
bool AddInFolder(CRecordList& list, RecordKind kind, const wchar_t* folder, const wchar_t* name) {
    wchar_t path[MAX_PATH];
    return !IsPlainFileName(name) || !FormatText(path, L"%s\\%s", folder, name) || list.Add(kind, path);
}

bool IsOneOf(const wchar_t* name, std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* candidate : names) {
        if (EqualsNoCase(name, candidate)) return true;
    }
    return false;
}

bool IsInTable(const wchar_t* name) {
    for (const auto& entry : g_szAppImageFiles) {
        if (EqualsNoCase(name, entry)) return true;
    }
    return false;
}

bool IsEmptyFolder(const wchar_t* folder) {
    wchar_t pattern[MAX_PATH];
    if (!FormatText(pattern, L"%s\\*.*", folder)) return false;
    auto walk = SetupPlatform().ListFolder(pattern);
    for (SetupFolderEntry entry; walk->Next(entry);) {
        if (!IsOneOf(entry.name, {L".", L".."})) return false;
    }
    return true;
}

}  // namespace

bool AddUnrecordedInstallEntries(const SetupConfig& config, bool withShared, CRecordList& list) {
    const wchar_t* install = config.szInstallDir;
    wchar_t uninstall[MAX_PATH];
    wchar_t images[MAX_PATH];
    if (!FormatText(uninstall, L"%s\\%s", install, kUninstallFolderName) ||
        !FormatText(images, L"%s\\%s", install, kImagesFolderName))
        return true;
    bool ok = list.Add(RecordKind::Folder, install) && list.Add(RecordKind::Folder, uninstall) &&
              list.Add(RecordKind::Folder, images);
    for (const wchar_t* name : {kRuntimeMingw, static_cast<const wchar_t*>(config.szAppFileName), kAppConfigFileName,
                                kServiceSetupFileName})
        ok = ok && AddInFolder(list, RecordKind::File, install, name);
    for (const auto& name : g_szAppImageFiles) ok = ok && AddInFolder(list, RecordKind::File, install, name);
    if (withShared) {
        for (const wchar_t* name : kSharedFiles) ok = ok && AddInFolder(list, RecordKind::File, install, name);
        wchar_t pattern[MAX_PATH];
        const DWORD attributes = SetupPlatform().GetAttributes(images);
        // A linked images folder is not walked: what is behind it is not the install's.
        const bool linked = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        if (!linked && FormatText(pattern, L"%s\\*.*", images)) {
            auto walk = SetupPlatform().ListFolder(pattern);
            for (SetupFolderEntry entry; ok && walk->Next(entry);) {
                if (!entry.IsFolder() && !entry.IsLink()) ok = AddInFolder(list, RecordKind::File, images, entry.name);
            }
        }
    }
    for (const wchar_t* name : {kSetupFileName, kSetupIniFileName}) ok = ok && AddInFolder(list, RecordKind::File, uninstall, name);
    for (const auto& name : g_szLangLibFiles) ok = ok && AddInFolder(list, RecordKind::File, uninstall, name);

    wchar_t folder[MAX_PATH];
    wchar_t link[MAX_PATH];
    if (FormatProgramsLink(config.szAppName, config.szAppName, folder, link)) {
        ok = ok && list.Add(RecordKind::Folder, folder) && list.Add(RecordKind::File, link);
        if (FormatProgramsLink(config.szAppName, kUninstallFolderName, folder, link))
            ok = ok && list.Add(RecordKind::File, link);
    }
    for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY}) {
        if (FormatDesktopLink(csidl, config.szAppName, link)) ok = ok && list.Add(RecordKind::File, link);
    }
    wchar_t key[1024];
    if (FormatRunKey(key)) {
        wchar_t rooted[1024];
        ok = ok && (!FormatText(rooted, L"HKLM\\%s", key) ||
                    list.Add(RecordKind::Value, rooted, config.szAppName, kNoEarlierValue));
    }
    if (FormatUninstallEntryKey(config, key)) ok = ok && list.Add(RecordKind::Key, key);
    return ok;
}

bool HoldsOnlyInstalledFiles(const SetupConfig& config) {
    wchar_t pattern[MAX_PATH];
    if (!FormatText(pattern, L"%s\\*.*", config.szInstallDir)) return false;
    auto walk = SetupPlatform().ListFolder(pattern);
    for (SetupFolderEntry entry; walk->Next(entry);) {
        const wchar_t* name = entry.name;
        if (IsOneOf(name, {L".", L"..", kUninstallFolderName, kImagesFolderName, kRuntimeMingw, kAppConfigFileName,
                           kServiceSetupFileName, config.szAppFileName, kSetupIniFileName, kRuntimeLibeay,
                           kRuntimeSsleay, kRuntimeZlib}) ||
            IsInTable(name))
            continue;
        LogLine({L"The install folder also holds ", name, L": the files shared with it stay"});
        return false;
    }
    return true;
}

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
