#include "engine/Removal.h"

#include <cwchar>

#include "base/TextFormat.h"
#include "engine/EarlierInstall.h"
#include "engine/Environment.h"
#include "engine/InstalledState.h"
#include "engine/InstallProcedure.h"
#include "engine/InstallRecord.h"
#include "engine/InstallRegistry.h"
#include "engine/InstallUndo.h"
#include "engine/OutsideComponents.h"
#include "engine/RegistryPaths.h"
#include "engine/RunningProgram.h"
#include "engine/SetupLog.h"
#include "engine/SetupMessages.h"
#include "engine/SetupPlatform.h"

namespace {

// Whether path lies inside folder (at any depth).
bool IsInside(const wchar_t* path, const wchar_t* folder) {
    const std::size_t length = std::wcslen(folder);
    if (length == 0 || std::wcslen(path) <= length || path[length] != L'\\') return false;
    return ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, path, static_cast<int>(length), folder,
                            static_cast<int>(length)) == CSTR_EQUAL;
}

bool IsRefusedWhileInUse(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

// The removal of what a list names: values, then shortcuts, then the installed files, then the
// uninstall entry, and the "Uninstall" folder with the running removal program last.
class CRemoval {
public:
    CRemoval(const SetupConfig& config, const CRecordList& list, const wchar_t* setupDir)
        : m_config(config), m_list(list), m_linkChecked(list.Count() + 1), m_retirement(config.szAppFolderName) {
        // The running program's folder, without its trailing backslash.
        CopyText(m_setupDir, setupDir);
        const std::size_t length = std::wcslen(m_setupDir);
        if (length && m_setupDir[length - 1] == L'\\') m_setupDir[length - 1] = L'\0';
        if (!FormatText(m_uninstallDir, L"%s\\%s", config.szInstallDir, kUninstallFolderName))
            m_uninstallDir[0] = L'\0';
    }

    bool Run() {
        const wchar_t* install = m_config.szInstallDir;
        bool ok = true;
        // The Run value first: a half-removed application is not started at the next log-on.
        for (std::size_t i = m_list.Count(); i-- > 0;) {
            if (m_list.Kind(i) == RecordKind::Value && !m_list.Contains(RecordKind::Key, m_list.Field(i, 0), nullptr))
                ok = DeleteNamedValue(m_list.Field(i, 0), m_list.Field(i, 1), L"Deleted ") && ok;
        }
        // The shortcuts and their Start-menu folder, then the installed files outside "Uninstall".
        ok = DeleteFiles([&](const wchar_t* path) { return !IsInside(path, install); }) && ok;
        ok = DeleteFiles([&](const wchar_t* path) {
                 return IsInside(path, install) && !IsInside(path, m_uninstallDir);
             }) && ok;
        RemoveFolders([&](const wchar_t* path) {
            return ::lstrcmpiW(path, install) != 0 && ::lstrcmpiW(path, m_uninstallDir) != 0 &&
                   !IsInside(path, m_uninstallDir);
        });
        if (!ok) {
            // The entry stays, and the record names what is still there, for the next removal.
            KeepWhatIsStillThere(install, m_list);
            LogLine({L"Not everything could be removed: the uninstall entry and the record of what is left stay, "
                     L"so that the removal can run again"});
            return false;
        }

        // The uninstall entry, then the removal program's own folder and the install folder.
        for (std::size_t i = m_list.Count(); i-- > 0;) {
            if (m_list.Kind(i) == RecordKind::Key) ok = DeleteNamedKey(m_list.Field(i, 0), L"Deleted ") && ok;
        }
        ok = DeleteFiles([&](const wchar_t* path) { return IsInside(path, m_uninstallDir); }) && ok;
        wchar_t backup[MAX_PATH];
        if (FormatText(backup, L"%s\\%s", m_uninstallDir, kBackupFolderName)) DeleteBackupFolder(backup);
        wchar_t record[MAX_PATH];
        if (FormatRecordPath(install, record)) ok = DeleteOne(record) && ok;
        RemoveFolders([](const wchar_t*) { return true; });
        m_retirement.Finish(m_uninstallDir, install);
        return ok;
    }

private:
    template <typename Choose>
    bool DeleteFiles(Choose choose) {
        bool ok = true;
        for (std::size_t i = m_list.Count(); i-- > 0;) {
            const RecordKind kind = m_list.Kind(i);
            if ((kind == RecordKind::File || kind == RecordKind::Moved) && choose(m_list.Field(i, 0)))
                ok = DeleteOne(m_list.Field(i, 0)) && ok;
        }
        return ok;
    }

    template <typename Choose>
    void RemoveFolders(Choose choose) {
        for (std::size_t i = m_list.Count(); i-- > 0;) {
            const wchar_t* folder = m_list.Field(i, 0);
            // A folder that still holds something (a file of the user's) stays.
            if (m_list.Kind(i) == RecordKind::Folder && choose(folder) && SetupPlatform().RemoveFolder(folder))
                LogLine({L"Removed folder ", folder});
        }
    }

    // Deletes one listed file; true when it is gone or was never there. A folder or a link under
    // the name is not what the install made: it stays, and nothing inside a linked folder is
    // deleted. A file of the running removal program, in use while it runs, leaves the install
    // folder instead.
    bool DeleteOne(const wchar_t* path) {
        for (std::size_t i = 0; i < m_list.Count(); ++i) {
            if (m_list.Kind(i) == RecordKind::Folder && IsLinkedFolder(i) && IsInside(path, m_list.Field(i, 0))) {
                LogLine({L"Inside a link, not deleted: ", path});
                return true;
            }
        }
        const DWORD attributes = SetupPlatform().GetAttributes(path);
        if (attributes == INVALID_FILE_ATTRIBUTES) return true;
        if (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) {
            // It stays, and so do the entry and the record, for the removal to run again once it is gone.
            LogLine({(attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? L"A link, not deleted: " : L"A folder, not deleted: ",
                     path});
            return false;
        }
        if (DeleteFileEvenReadOnly(path)) {
            LogLine({L"Deleted ", path});
            return true;
        }
        const DWORD error = ::GetLastError();
        const wchar_t* slash = std::wcsrchr(path, L'\\');
        const bool ownFolder = slash && static_cast<std::size_t>(slash - path) == std::wcslen(m_setupDir) &&
                               ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, path,
                                                static_cast<int>(slash - path), m_setupDir,
                                                static_cast<int>(slash - path)) == CSTR_EQUAL;
        if (ownFolder && IsRefusedWhileInUse(error)) return m_retirement.Retire(path);
        LogFailure({L"Could not delete ", path}, error);
        return false;
    }

    // Whether the listed folder at index is now a link; asked once per folder.
    bool IsLinkedFolder(std::size_t index) {
        if (index >= m_linkChecked.size()) return false;
        if (m_linkChecked[index] == 0) {
            const DWORD attributes = SetupPlatform().GetAttributes(m_list.Field(index, 0));
            m_linkChecked[index] =
                (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) ? 2 : 1;
        }
        return m_linkChecked[index] == 2;
    }

    const SetupConfig& m_config;
    const CRecordList& m_list;
    fw::HeapArray<unsigned char> m_linkChecked;  // per entry: 0 not asked, 1 a folder, 2 a link
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
        if (!RecoverInterruptedInstall(config)) {
            LogLine({L"Removal refused: an install that did not complete is still on record"});
            FlushSetupLog();
            return false;
        }
        state = LoadInstallRecord(config.szInstallDir, list, lastBegin);
    }
    bool ok = true;
    if (g_bVista && !ReleaseService(config.szInstallDir)) ok = false;
    CloseRunningApp(config.szAppName);

    bool listed = true;
    if (state == RecordState::Completed) {
        LogLine({L"Removing what the install record lists"});
    } else {
        // An installation made before records were kept: what such an install made, by name.
        LogLine({state == RecordState::None ? L"No install record" : L"The install record cannot be read",
                 L": removing what an install of ", config.szAppName, L" makes"});
        list.Clear();
        listed = AddUnrecordedInstallEntries(config, HoldsOnlyInstalledFiles(config), list);
    }
    // The application's own configuration file, which no install makes, a damaged record that an
    // install set aside, and the entry in any case.
    wchar_t path[MAX_PATH];
    wchar_t entry[1024];
    if (FormatText(path, L"%s\\%s", config.szInstallDir, kAppConfigFileName) &&
        !list.Contains(RecordKind::File, path, nullptr))
        listed = listed && list.Add(RecordKind::File, path);
    if (FormatText(path, L"%s\\%s\\%s.damaged", config.szInstallDir, kUninstallFolderName, kInstallRecordFileName))
        listed = listed && list.Add(RecordKind::File, path);
    if (FormatUninstallEntryKey(config, entry) && !list.Contains(RecordKind::Key, entry, nullptr))
        listed = listed && list.Add(RecordKind::Key, entry);
    if (!listed) {
        LogLine({L"Removal refused: out of memory"});
        FlushSetupLog();
        return false;
    }

    if (!CRemoval(config, list, pszSetupDir).Run()) ok = false;
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
    return RunRemoval(config, pszSetupDir);
}
