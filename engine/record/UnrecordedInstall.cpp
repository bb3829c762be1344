#include "engine/record/UnrecordedInstall.h"

#include <shlobj.h>

#include "base/NameCompare.h"
#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/Environment.h"
#include "engine/platform/FileTables.h"
#include "engine/platform/FolderWalk.h"
#include "engine/platform/OutsideComponents.h"
#include "engine/platform/RegistryPaths.h"
#include "engine/platform/SetupPlatform.h"
#include "engine/platform/ShortcutPaths.h"

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
        const DWORD attributes = SetupPlatform().GetAttributes(images);
        // A linked images folder is not walked: what is behind it is not the install's.
        const bool linked = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        if (!linked) {
            ForEachFolderEntry(images, [&](const SetupFolderEntry& entry) {
                if (!entry.IsFolder() && !entry.IsLink()) ok = ok && AddInFolder(list, RecordKind::File, images, entry.name);
                return ok;
            });
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
    return ForEachFolderEntry(config.szInstallDir, [&](const SetupFolderEntry& entry) {
        const wchar_t* name = entry.name;
        if (IsOneOf(name, {kUninstallFolderName, kImagesFolderName, kRuntimeMingw, kAppConfigFileName,
                           kServiceSetupFileName, config.szAppFileName, kSetupIniFileName, kRuntimeLibeay,
                           kRuntimeSsleay, kRuntimeZlib}) ||
            IsInTable(name))
            return true;
        LogLine({L"The install folder also holds ", name, L": the files shared with it stay"});
        return false;
    });
}
