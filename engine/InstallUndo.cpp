#include "engine/InstallUndo.h"

#include <cwchar>

#include "base/TextFormat.h"
#include "engine/InstalledState.h"
#include "engine/InstallProcedure.h"
#include "engine/InstallRecord.h"
#include "engine/OutsideComponents.h"
#include "engine/RegistryPaths.h"
#include "engine/SetupLog.h"
#include "engine/SetupMessages.h"
#include "engine/SetupPlatform.h"

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
    if (Exists(path) && !DeleteFileEvenReadOnly(path)) {
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
    HKEY root = nullptr;
    const wchar_t* path = nullptr;
    if (!SplitRootedPath(rootedKey, root, path)) return false;
    const bool none = std::wcscmp(earlier, kNoEarlierValue) == 0;
    if (none) return DeleteNamedValue(rootedKey, name, L"Undone: deleted ");
    auto key = SetupPlatform().OpenKey(root, path);
    if (!key) {
        LogFailure({L"Could not open ", rootedKey, L" to put back [", name, L"]"}, ::GetLastError());
        return false;
    }
    bool ok = false;
    if (std::wcsncmp(earlier, L"sz:", 3) == 0) {
        ok = key->SetString(name, earlier + 3);
    } else if (std::wcsncmp(earlier, L"dword:", 6) == 0) {
        ok = key->SetDword(name, static_cast<DWORD>(std::wcstoul(earlier + 6, nullptr, 10)));
    }
    if (ok) {
        LogLine({L"Undone: put back ", rootedKey, L" [", name, L"]"});
        return true;
    }
    LogFailure({L"Could not undo ", rootedKey, L" [", name, L"]"}, ::GetLastError());
    return false;
}

bool UndoEntry(const CRecordList& list, std::size_t index) {
    const wchar_t* a = list.Field(index, 0);
    switch (list.Kind(index)) {
    case RecordKind::Folder:
        if (SetupPlatform().RemoveFolder(a)) LogLine({L"Undone: removed folder ", a});
        return true;  // a folder that holds something else stays
    case RecordKind::File:
        return UndoFile(a);
    case RecordKind::Moved:
        return UndoMove(a, list.Field(index, 1));
    case RecordKind::Key:
        return DeleteNamedKey(a, L"Undone: deleted ");
    case RecordKind::Value:
        return UndoValue(a, list.Field(index, 1), list.Field(index, 2));
    case RecordKind::ServiceInstalled:
        // Released again before its files go.
        if (ServiceProgramIsIn(a)) ReleaseService(a);
        return true;
    case RecordKind::ServiceReleased:
        // The earlier installation's service comes back once its files are back.
        if (ServiceProgramIsIn(a) && !InstallService(a)) LogLine({L"Could not register the earlier service again"});
        return true;
    default:
        return true;
    }
}

}  // namespace

bool UndoUnfinishedInstall(const wchar_t* pszInstallDir) {
    CRecordList list;
    std::size_t lastBegin = 0;
    const RecordState state = LoadInstallRecord(pszInstallDir, list, lastBegin);
    if (state != RecordState::Unfinished) return state != RecordState::Unreadable;

    bool ok = true;
    for (std::size_t i = list.Count(); i-- > lastBegin + 1;) {
        if (!UndoEntry(list, i)) ok = false;
    }
    if (!ok) {
        LogLine({L"Not everything could be undone: the record keeps it, and the next run of setup tries again"});
        FlushSetupLog();
        return false;
    }
    if (lastBegin > 0) {
        // The installation that was there before this run, as its record listed it.
        ok = RewriteInstallRecord(pszInstallDir, list, 0, lastBegin);
    } else {
        wchar_t record[MAX_PATH];
        if (FormatRecordPath(pszInstallDir, record) && !SetupPlatform().DeleteFile(record)) {
            LogFailure({L"Could not delete the install record ", record}, ::GetLastError());
            ok = false;
        }
        // The folders that held the record can go now.
        for (std::size_t i = list.Count(); ok && i-- > lastBegin + 1;) {
            if (list.Kind(i) == RecordKind::Folder && SetupPlatform().RemoveFolder(list.Field(i, 0)))
                LogLine({L"Undone: removed folder ", list.Field(i, 0)});
        }
    }
    LogLine({ok ? L"The install was undone" : L"The install was undone, but its record could not be put back"});
    FlushSetupLog();
    return ok;
}

bool RecoverInterruptedInstall(const SetupConfig& config) {
    if (!config.szInstallDir[0]) return true;
    CRecordList list;
    std::size_t lastBegin = 0;
    if (LoadInstallRecord(config.szInstallDir, list, lastBegin) != RecordState::Unfinished) return true;
    LogLine({L"An install that did not complete is on record (begun ", list.Field(lastBegin, 0), L" from ",
             list.Field(lastBegin, 1), L"): undoing it first"});
    if (UndoUnfinishedInstall(config.szInstallDir)) return true;
    ShowFailureMessage(L"An earlier install that did not complete could not be undone!");
    return false;
}
