#include "engine/record/InstallUndo.h"

#include <cwchar>

#include "base/NameCompare.h"
#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/log/SetupMessages.h"
#include "engine/platform/Environment.h"
#include "engine/platform/FileRemoval.h"
#include "engine/platform/RegistryPaths.h"
#include "engine/platform/RunningApplication.h"
#include "engine/platform/ServiceControl.h"
#include "engine/platform/SetupPlatform.h"
#include "engine/record/InstallPlaces.h"
#include "engine/record/InstallRecord.h"
#include "engine/record/RecordedValue.h"
#include "engine/record/RegistryDeletion.h"

namespace {

bool Exists(const wchar_t* path) {
    return SetupPlatform().GetAttributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool UndoFile(const wchar_t* path) {
    const DWORD attributes = SetupPlatform().GetAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        LogLine({L"A folder stands where the install made the file ", path, L": left alone"});
        return true;
    }
    if (DeleteFileEvenReadOnly(path)) {
        LogLine({L"Undone: deleted ", path});
        return true;
    }
    LogFailure({L"Could not undo ", path}, ::GetLastError());
    return false;
}

// The earlier file comes back from the backup folder; without a backup it was never moved.
bool UndoMove(const wchar_t* path, const wchar_t* backup) {
    ISetupPlatform& os = SetupPlatform();
    if (!Exists(backup)) return true;
    if (Exists(path) && !DeleteFileEvenReadOnly(path) && !os.RemoveFolder(path)) {
        LogFailure({L"Could not undo ", path}, ::GetLastError());
        return false;
    }
    if (os.MoveFile(backup, path, MOVEFILE_COPY_ALLOWED)) {
        LogLine({L"Undone: put back ", path});
        return true;
    }
    LogFailure({L"Could not put back ", path, L" from ", backup}, ::GetLastError());
    return false;
}

bool UndoValue(const wchar_t* rootedKey, const wchar_t* name, const wchar_t* earlier) {
    if (std::wcscmp(earlier, kNoEarlierValue) == 0) return DeleteNamedValue(rootedKey, name, L"Undone: deleted ");
    RecordedValue value;
    if (!ParseRecordedValue(earlier, value)) {
        LogLine({L"The earlier data of ", rootedKey, L" [", name, L"] cannot be read from the record"});
        return false;
    }
    auto key = OpenRootedKey(rootedKey);
    if (key && key->SetValue(name, value.type, value.data.get(), value.bytes)) {
        LogLine({L"Undone: put back ", rootedKey, L" [", name, L"]"});
        return true;
    }
    LogFailure({L"Could not undo ", rootedKey, L" [", name, L"]"}, ::GetLastError());
    return false;
}

class CRunUndo {
public:
    CRunUndo(const SetupConfig& config, const CRecordList& list, std::size_t lastBegin, bool serviceReleased)
        : m_places(config), m_list(list), m_lastBegin(lastBegin), m_serviceReleased(serviceReleased) {
        m_places.AddNamesOfEarlierInstalls(list);
    }

    bool Entry(std::size_t index) {
        if (!m_places.Owns(m_list, index)) return true;
        const wchar_t* a = m_list.Field(index, 0);
        wchar_t path[MAX_PATH];
        const bool isPath = m_list.Kind(index) == RecordKind::Folder || m_list.Kind(index) == RecordKind::File ||
                            m_list.Kind(index) == RecordKind::Moved;
        if (isPath) {
            m_places.OwnsPath(a, path);
            if (m_places.IsReachedThroughLink(path)) {
                LogLine({L"Inside a link, left alone: ", path});
                return true;
            }
        }
        switch (m_list.Kind(index)) {
        case RecordKind::Folder:
            if (SetupPlatform().RemoveFolder(path)) LogLine({L"Undone: removed folder ", path});
            return true;  // a folder that holds something else stays
        case RecordKind::File:
            return UndoFile(path);
        case RecordKind::Moved:
            return UndoMove(path, m_list.Field(index, 1));
        case RecordKind::Key:
            return DeleteNamedKey(m_places, a, L"Undone: deleted ");
        case RecordKind::Value:
            if (std::wcscmp(m_list.Field(index, 2), kNoEarlierValue) != 0 && !m_places.MaySetBack(a, m_list.Field(index, 1), m_list.Field(index, 2))) {
                LogLine({L"Left alone, its earlier data starts a program outside the installation: ", a, L" [",
                         m_list.Field(index, 1), L"]"});
                return true;
            }
            return UndoValue(a, m_list.Field(index, 1), m_list.Field(index, 2));
        case RecordKind::ServiceInstalled:
            // Released again before its files go.
            if (!m_serviceReleased && ServiceProgramIsIn(m_places.InstallDir())) ReleaseService(m_places.InstallDir());
            return true;
        case RecordKind::ServiceReleased:
            // The earlier installation's service comes back once its files are back.
            if (ServiceProgramIsIn(m_places.InstallDir()) && !InstallService(m_places.InstallDir()))
                LogLine({L"Could not register the earlier service again"});
            return true;
        default:
            return true;
        }
    }

    // Whether the moved entry's backup lies in a backup folder that this run made: an undo puts
    // back only what its own run moved aside.
    bool IsOwnBackup(std::size_t index) const {
        wchar_t backup[MAX_PATH];
        if (!ResolveFullPath(m_list.Field(index, 1), backup)) return false;
        const wchar_t* slash = std::wcsrchr(backup, L'\\');
        if (!slash) return false;
        const std::size_t folder = static_cast<std::size_t>(slash - backup);
        for (std::size_t i = m_lastBegin + 1; i < m_list.Count(); ++i) {
            wchar_t made[MAX_PATH];
            if (m_list.Kind(i) == RecordKind::Folder && ResolveFullPath(m_list.Field(i, 0), made) &&
                IsInside(made, m_places.BackupRoot()) && EqualsNoCase(backup, folder, made, std::wcslen(made)))
                return true;
        }
        return false;
    }

    bool Run() {
        bool ok = true;
        for (std::size_t i = m_list.Count(); i-- > m_lastBegin + 1;) {
            if (m_list.Kind(i) == RecordKind::Moved && !IsOwnBackup(i)) {
                LogLine({L"Left alone, not moved aside by this run: ", m_list.Field(i, 0), L" | ", m_list.Field(i, 1)});
                continue;
            }
            if (!Entry(i)) ok = false;
        }
        return ok;
    }

private:
    CInstallPlaces m_places;
    const CRecordList& m_list;
    std::size_t m_lastBegin;
    bool m_serviceReleased;
};

}  // namespace

bool UndoUnfinishedInstall(const SetupConfig& config, bool serviceReleased) {
    const wchar_t* install = config.szInstallDir;
    CRecordList list;
    std::size_t lastBegin = 0;
    const RecordState state = LoadInstallRecord(install, list, lastBegin);
    if (state != RecordState::Unfinished) return state != RecordState::Unreadable;

    if (!CRunUndo(config, list, lastBegin, serviceReleased).Run()) {
        LogLine({L"Not everything could be undone: the record keeps it, and the next run of setup tries again"});
        FlushSetupLog();
        return false;
    }
    bool ok = true;
    if (lastBegin > 0) {
        // The installation that was there before this run, as its record listed it.
        ok = RewriteInstallRecord(install, list, 0, lastBegin);
    } else {
        wchar_t record[MAX_PATH];
        if (FormatRecordPath(install, record) && !SetupPlatform().DeleteFile(record)) {
            LogFailure({L"Could not delete the install record ", record}, ::GetLastError());
            ok = false;
        }
        // The folders that held the record can go now.
        CInstallPlaces places(config);
        for (std::size_t i = list.Count(); ok && i-- > lastBegin + 1;) {
            wchar_t folder[MAX_PATH];
            if (list.Kind(i) == RecordKind::Folder && places.OwnsPath(list.Field(i, 0), folder) &&
                SetupPlatform().RemoveFolder(folder))
                LogLine({L"Undone: removed folder ", folder});
        }
    }
    LogLine({ok ? L"The install was undone" : L"The install was undone, but its record could not be put back"});
    FlushSetupLog();
    return ok;
}

bool RecoverInterruptedInstall(const SetupConfig& config) {
    const wchar_t* install = config.szInstallDir;
    if (!install[0]) return true;
    CRecordList list;
    std::size_t lastBegin = 0;
    if (LoadInstallRecord(install, list, lastBegin) != RecordState::Unfinished) return true;
    LogLine({L"An install that did not complete is on record (begun ", list.Field(lastBegin, 0), L" from ",
             list.Field(lastBegin, 1), L"): undoing it first"});
    // As an install does: the half-installed program may run (started from its shortcut), and the
    // service holds the files of the service setup program.
    CloseRunningApp(config.szAppName);
    const bool release = g_bVista && ServiceProgramIsIn(install);
    if (release) ReleaseService(install);
    if (UndoUnfinishedInstall(config, release)) return true;
    LogLine({L"The install that did not complete could not be undone: the failures above name what holds it"});
    FlushSetupLog();
    return false;
}
