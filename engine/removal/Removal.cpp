#include "engine/removal/Removal.h"

#include <cwchar>

#include "base/NameCompare.h"
#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/log/SetupMessages.h"
#include "engine/platform/Environment.h"
#include "engine/platform/FileRemoval.h"
#include "engine/platform/OutsideComponents.h"
#include "engine/platform/RegistryPaths.h"
#include "engine/platform/RunningApplication.h"
#include "engine/platform/ServiceControl.h"
#include "engine/platform/SetupNames.h"
#include "engine/platform/SetupPlatform.h"
#include "engine/platform/ShortcutPaths.h"
#include "engine/record/InstallPlaces.h"
#include "engine/record/InstallRecord.h"
#include "engine/record/InstallUndo.h"
#include "engine/record/RecordCompaction.h"
#include "engine/record/RegistryDeletion.h"
#include "engine/record/UnrecordedInstall.h"
#include "engine/removal/ProgramRetirement.h"

namespace {

bool IsRefusedWhileInUse(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

// The removal of what a list names: values, then shortcuts, then the installed files, then the
// uninstall entry, and the "Uninstall" folder with the running removal program last. Only the
// installation's own places are touched; a line that names another is left alone.
class CRemoval {
public:
    CRemoval(const SetupConfig& config, const CInstallPlaces& places, const CRecordList& list, const wchar_t* setupDir)
        : m_config(config), m_places(places), m_list(list), m_retirement(config.szAppFolderName) {
        // The running program's folder, without its trailing backslash.
        CopyText(m_setupDir, setupDir);
        const std::size_t length = std::wcslen(m_setupDir);
        if (length && m_setupDir[length - 1] == L'\\') m_setupDir[length - 1] = L'\0';
        if (!FormatText(m_uninstallDir, L"%s\\%s", places.InstallDir(), kUninstallFolderName))
            m_uninstallDir[0] = L'\0';
    }

    bool Run() {
        const wchar_t* install = m_places.InstallDir();
        bool ok = true;
        // The Run value first: a half-removed application is not started at the next log-on.
        for (std::size_t i = m_list.Count(); i-- > 0;) {
            // A value goes with a key the install made, unless others share the key.
            const wchar_t* key = m_list.Field(i, 0);
            if (m_list.Kind(i) == RecordKind::Value &&
                (!m_list.Contains(RecordKind::Key, key, nullptr) || m_places.IsSharedKey(key)) && m_places.Owns(m_list, i))
                ok = DeleteNamedValue(m_list.Field(i, 0), m_list.Field(i, 1), L"Deleted ") && ok;
        }
        // The shortcuts and their Start-menu folder, then the installed files outside "Uninstall".
        ok = DeleteFiles([&](const wchar_t* path) { return !IsSameOrInside(path, install); }) && ok;
        ok = DeleteFiles([&](const wchar_t* path) {
                 return IsInside(path, install) && !IsSameOrInside(path, m_uninstallDir);
             }) && ok;
        RemoveFolders([&](const wchar_t* path) {
            return !EqualsNoCase(path, install) && !IsSameOrInside(path, m_uninstallDir);
        });
        ok = DeleteBackups() && ok;
        if (!ok) {
            // The entry stays, and the record names what is still there, for the next removal.
            KeepWhatIsStillThere(m_places, m_list);
            LogLine({L"Not everything could be removed: the uninstall entry and the record of what is left stay, "
                     L"so that the removal can run again"});
            return false;
        }

        // The uninstall entry, then the removal program's own folder and the install folder.
        for (std::size_t i = m_list.Count(); i-- > 0;) {
            if (m_list.Kind(i) == RecordKind::Key && m_places.Owns(m_list, i))
                ok = DeleteNamedKey(m_places, m_list.Field(i, 0), L"Deleted ") && ok;
        }
        ok = DeleteFiles([&](const wchar_t* path) { return IsInside(path, m_uninstallDir); }) && ok;
        wchar_t record[MAX_PATH];
        if (FormatRecordPath(install, record)) ok = DeleteOne(record) && ok;
        RemoveFolders([&](const wchar_t* path) {
            return EqualsNoCase(path, install) || IsSameOrInside(path, m_uninstallDir);
        });
        // Empty, the installation's folders go whether or not a record names them (a record cut
        // short by a power cut).
        ISetupPlatform& os = SetupPlatform();
        wchar_t menu[MAX_PATH];
        wchar_t link[MAX_PATH];
        if (FormatProgramsLink(m_config.szAppName, m_config.szAppName, menu, link) && os.RemoveFolder(menu))
            LogLine({L"Removed folder ", menu});
        wchar_t images[MAX_PATH];
        if (FormatText(images, L"%s\\%s", install, kImagesFolderName) && os.RemoveFolder(images))
            LogLine({L"Removed folder ", images});
        if (os.RemoveFolder(m_uninstallDir)) LogLine({L"Removed folder ", m_uninstallDir});
        if (os.RemoveFolder(install)) LogLine({L"Removed folder ", install});
        m_retirement.Finish(m_uninstallDir, install);
        return ok;
    }

private:
    template <typename Choose>
    bool DeleteFiles(Choose choose) {
        bool ok = true;
        for (std::size_t i = m_list.Count(); i-- > 0;) {
            const RecordKind kind = m_list.Kind(i);
            wchar_t path[MAX_PATH];
            if ((kind == RecordKind::File || kind == RecordKind::Moved) && ResolveFullPath(m_list.Field(i, 0), path) &&
                choose(path) && m_places.Owns(m_list, i))
                ok = DeleteOne(path) && ok;
        }
        return ok;
    }

    template <typename Choose>
    void RemoveFolders(Choose choose) {
        for (std::size_t i = m_list.Count(); i-- > 0;) {
            wchar_t folder[MAX_PATH];
            // A folder that still holds something (a file of the user's) stays.
            if (m_list.Kind(i) == RecordKind::Folder && ResolveFullPath(m_list.Field(i, 0), folder) && choose(folder) &&
                m_places.Owns(m_list, i) && !m_places.IsReachedThroughLink(folder) &&
                SetupPlatform().RemoveFolder(folder))
                LogLine({L"Removed folder ", folder});
        }
    }

    // What setup left aside in "Uninstall": the backups of runs, and those of unreadable records.
    bool DeleteBackups() {
        bool ok = true;
        for (unsigned n = 0; n <= 100; ++n) {
            wchar_t folder[MAX_PATH];
            const bool fits = n == 0   ? FormatText(folder, L"%s\\%s", m_uninstallDir, kBackupFolderName)
                              : n == 1 ? FormatText(folder, L"%s\\%s.damaged", m_uninstallDir, kBackupFolderName)
                                       : FormatText(folder, L"%s\\%s.damaged-%s", m_uninstallDir, kBackupFolderName,
                                                    NumberText(n));
            if (!fits) break;
            if (SetupPlatform().GetAttributes(folder) == INVALID_FILE_ATTRIBUTES) {
                if (n > 0) break;
                continue;
            }
            ok = DeleteFolderTree(folder) && ok;
        }
        return ok;
    }

    // Deletes one listed file (a resolved path of the installation's places); true when it is gone
    // or was never there. Nothing is deleted through a link: a link in the file's place is
    // removed as a link, and a folder under the name is not what the install made. A file of the
    // running removal program, in use while it runs, leaves the install folder instead.
    bool DeleteOne(const wchar_t* path) {
        if (m_places.IsReachedThroughLink(path)) {
            LogLine({L"Inside a link, not deleted: ", path});
            return true;
        }
        const DWORD attributes = SetupPlatform().GetAttributes(path);
        if (attributes == INVALID_FILE_ATTRIBUTES) return true;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            // It stays, and so do the entry and the record, for the removal to run again once it is gone.
            LogLine({L"A folder, not deleted: ", path});
            return false;
        }
        if (DeleteFileEvenReadOnly(path)) {
            LogLine({(attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? L"Deleted the link " : L"Deleted ", path});
            return true;
        }
        const DWORD error = ::GetLastError();
        const wchar_t* slash = std::wcsrchr(path, L'\\');
        const bool ownFolder =
            slash && EqualsNoCase(path, static_cast<std::size_t>(slash - path), m_setupDir, std::wcslen(m_setupDir));
        if (ownFolder && IsRefusedWhileInUse(error)) return m_retirement.Retire(path);
        LogFailure({(attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? L"A link, left alone: " : L"Could not delete ", path},
                   error);
        return false;
    }

    const SetupConfig& m_config;
    const CInstallPlaces& m_places;
    const CRecordList& m_list;
    CProgramRetirement m_retirement;
    wchar_t m_setupDir[MAX_PATH] = {};
    wchar_t m_uninstallDir[MAX_PATH] = {};
};

}  // namespace

bool RunRemoval(const SetupConfig& config, const wchar_t* pszSetupDir) {
    LogLine({L"Removal of ", config.szInstallDir});
    if (!CheckSetupNames(config)) {
        LogLine({L"Removal refused: nothing was touched"});
        FlushSetupLog();
        return false;
    }
    CRecordList list;
    std::size_t lastBegin = 0;
    RecordState state = LoadInstallRecord(config.szInstallDir, list, lastBegin);
    if (state == RecordState::Unfinished) {
        if (RecoverInterruptedInstall(config))
            state = LoadInstallRecord(config.szInstallDir, list, lastBegin);
        else
            LogLine({L"The removal takes what it can: everything the record lists"});
    }
    bool ok = true;
    if (g_bVista && !ReleaseService(config.szInstallDir)) ok = false;
    CloseRunningApp(config.szAppName);

    bool listed = true;
    if (state == RecordState::Completed || state == RecordState::Unfinished) {
        LogLine({L"Removing what the install record lists"});
    } else {
        // An installation made before records were kept: what such an install made, by name.
        LogLine({state == RecordState::None ? L"No install record" : L"The install record cannot be read",
                 L": removing what an install of ", config.szAppName, L" makes"});
        list.Clear();
        listed = AddUnrecordedInstallEntries(config, HoldsOnlyInstalledFiles(config), list);
    }
    CInstallPlaces places(config);
    places.AddNamesOfEarlierInstalls(list);
    // The application's own configuration file, which no install makes, a damaged record that an
    // install set aside and a record's new text that a kill left unfinished, the entry in any case, and the mark that this removal program set for
    // itself in service mode.
    wchar_t path[MAX_PATH];
    wchar_t entry[1024];
    if (FormatText(path, L"%s\\%s", config.szInstallDir, kAppConfigFileName) &&
        !list.Contains(RecordKind::File, path, nullptr))
        listed = listed && list.Add(RecordKind::File, path);
    for (const wchar_t* pattern : {L"%s\\%s\\%s.damaged", L"%s\\%s\\%s.new"}) {
        if (FormatText(path, pattern, config.szInstallDir, kUninstallFolderName, kInstallRecordFileName))
            listed = listed && list.Add(RecordKind::File, path);
    }
    if (FormatUninstallEntryKey(config, entry) && !list.Contains(RecordKind::Key, entry, nullptr))
        listed = listed && list.Add(RecordKind::Key, entry);
    if (g_bVista && FormatText(path, L"%s\\%s\\%s", config.szInstallDir, kUninstallFolderName, kSetupFileName) &&
        FormatText(entry, L"HKCU\\%s", kCompatAssistantPersistedKey))
        listed = listed && list.Add(RecordKind::Value, entry, path, kNoEarlierValue);
    if (!listed) {
        LogLine({L"Removal refused: out of memory"});
        FlushSetupLog();
        return false;
    }

    if (!CRemoval(config, places, list, pszSetupDir).Run()) ok = false;
    LogLine({ok ? L"Removal completed" : L"Removal completed with failures"});
    FlushSetupLog();
    return ok;
}

bool RunRemovalFromSetupFolder(const wchar_t* pszSetupDir) {
    SetupConfig config;
    if (!ReadSetupConfig(pszSetupDir, config)) {
        ShowFailureMessage(SetupPlatform(), L"There is no setup.ini beside the removal program: nothing was removed!");
        LogLine({L"Removal refused: nothing was touched"});
        FlushSetupLog();
        return false;
    }
    return RunRemoval(config, pszSetupDir);
}
