#include "engine/InstalledState.h"

#include <cwchar>

#include "base/TextFormat.h"
#include "engine/InstallRecord.h"
#include "engine/RegistryPaths.h"
#include "engine/SetupLog.h"
#include "engine/SetupPlatform.h"

namespace {

bool ValueIsThere(const wchar_t* rootedKey, const wchar_t* name) {
    HKEY root = nullptr;
    const wchar_t* path = nullptr;
    if (!SplitRootedPath(rootedKey, root, path)) return false;
    auto key = SetupPlatform().OpenKey(root, path);
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    return key && key->QueryValue(name, &type, nullptr, &bytes);
}

bool KeyIsThere(const wchar_t* rootedKey) {
    HKEY root = nullptr;
    const wchar_t* path = nullptr;
    return SplitRootedPath(rootedKey, root, path) && SetupPlatform().OpenKey(root, path) != nullptr;
}

// Adds what of from's entry is still there to kept, once; a moved file counts as the file at its place.
bool KeepIfThere(const CRecordList& from, std::size_t index, const wchar_t* skippedFolder, CRecordList& kept) {
    RecordKind kind = from.Kind(index);
    const wchar_t* a = from.Field(index, 0);
    const wchar_t* b = from.Field(index, 1);
    switch (kind) {
    case RecordKind::Moved:
        kind = RecordKind::File;
        b = L"";
        break;
    case RecordKind::Folder:
        if (skippedFolder && ::lstrcmpiW(a, skippedFolder) == 0) return true;
        break;
    case RecordKind::File:
    case RecordKind::Key:
    case RecordKind::Value:
        break;
    default:
        return true;
    }
    if (kept.Contains(kind, a, kind == RecordKind::Value ? b : nullptr) || !IsStillThere(from, index)) return true;
    return kind == from.Kind(index) ? kept.AddFrom(from, index) : kept.Add(kind, a);
}

}  // namespace

bool IsStillThere(const CRecordList& list, std::size_t index) {
    const wchar_t* a = list.Field(index, 0);
    const DWORD attributes = SetupPlatform().GetAttributes(a);
    switch (list.Kind(index)) {
    case RecordKind::Folder:
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    case RecordKind::File:
    case RecordKind::Moved:
        return attributes != INVALID_FILE_ATTRIBUTES;
    case RecordKind::Key:
        return KeyIsThere(a);
    case RecordKind::Value:
        return ValueIsThere(a, list.Field(index, 1));
    default:
        return false;
    }
}

bool CompactInstallRecord(const wchar_t* pszInstallDir, const CRecordList* adopted, const wchar_t* pszBackupDir) {
    CRecordList record;
    std::size_t lastBegin = 0;
    if (LoadInstallRecord(pszInstallDir, record, lastBegin) != RecordState::Completed) return false;
    CRecordList kept;
    bool ok = kept.Add(RecordKind::Begin, record.Field(lastBegin, 0), record.Field(lastBegin, 1));
    for (std::size_t i = 0; ok && adopted && i < adopted->Count(); ++i)
        ok = KeepIfThere(*adopted, i, pszBackupDir, kept);
    for (std::size_t i = 0; ok && i < record.Count(); ++i) ok = KeepIfThere(record, i, pszBackupDir, kept);
    if (!ok || !kept.Add(RecordKind::Completed) || !RewriteInstallRecord(pszInstallDir, kept, 0, kept.Count())) {
        LogLine({L"The install record was left as written: it still lists everything this install did"});
        return false;
    }
    return true;
}

bool KeepWhatIsStillThere(const wchar_t* pszInstallDir, const CRecordList& list) {
    CRecordList kept;
    bool ok = kept.Add(RecordKind::Begin, L"", L"");
    for (std::size_t i = 0; ok && i < list.Count(); ++i) ok = KeepIfThere(list, i, nullptr, kept);
    return ok && kept.Add(RecordKind::Completed) && RewriteInstallRecord(pszInstallDir, kept, 0, kept.Count());
}

bool DeleteNamedKey(const wchar_t* rooted, const wchar_t* done) {
    HKEY root = nullptr;
    const wchar_t* path = nullptr;
    wchar_t parent[1024];
    const wchar_t* leaf = std::wcsrchr(rooted, L'\\');
    if (!SplitRootedPath(rooted, root, path) || !leaf || leaf < path || !CopyText(parent, path)) return true;
    parent[leaf - path] = L'\0';
    auto key = SetupPlatform().OpenKey(root, parent);
    if (!key) return true;
    if (key->DeleteSubKey(leaf + 1)) {
        LogLine({done, rooted});
        return true;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return true;
    LogFailure({L"Could not delete ", rooted}, error);
    return false;
}

bool DeleteNamedValue(const wchar_t* rootedKey, const wchar_t* name, const wchar_t* done) {
    HKEY root = nullptr;
    const wchar_t* path = nullptr;
    if (!SplitRootedPath(rootedKey, root, path)) return true;
    auto key = SetupPlatform().OpenKey(root, path);
    if (!key) return true;
    if (key->DeleteValue(name)) {
        LogLine({done, rootedKey, L" [", name, L"]"});
        return true;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return true;
    LogFailure({L"Could not delete ", rootedKey, L" [", name, L"]"}, error);
    return false;
}

bool DeleteFileEvenReadOnly(const wchar_t* path) {
    ISetupPlatform& os = SetupPlatform();
    if (os.DeleteFile(path)) return true;
    const DWORD error = ::GetLastError();
    const DWORD attributes = os.GetAttributes(path);
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_READONLY)) {
        ::SetLastError(error);
        return false;
    }
    const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
    os.SetAttributes(path, writable ? writable : FILE_ATTRIBUTE_NORMAL);
    if (os.DeleteFile(path)) return true;
    const DWORD second = ::GetLastError();
    os.SetAttributes(path, attributes);  // it stays: as it was
    ::SetLastError(second);
    return false;
}

bool DeleteBackupFolder(const wchar_t* pszBackupDir) {
    ISetupPlatform& os = SetupPlatform();
    if (os.GetAttributes(pszBackupDir) == INVALID_FILE_ATTRIBUTES) return true;
    wchar_t pattern[MAX_PATH];
    wchar_t path[MAX_PATH];
    if (!FormatText(pattern, L"%s\\*.*", pszBackupDir)) return false;
    bool pending = false;
    auto walk = os.ListFolder(pattern);
    for (SetupFolderEntry entry; walk->Next(entry);) {
        if (!FormatText(path, L"%s\\%s", pszBackupDir, entry.name)) continue;
        if (entry.IsFolder()) {
            if (entry.name[0] != L'.') os.RemoveFolder(path);
            continue;
        }
        if (DeleteFileEvenReadOnly(path)) continue;
        // A program that still runs from a replaced file (a hung application left alone) keeps it.
        const DWORD error = ::GetLastError();
        if ((error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) &&
            os.MoveFile(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
            LogLine({L"In use, deleted at the next restart: ", path});
            pending = true;
        } else {
            LogFailure({L"Could not delete ", path}, error);
        }
    }
    if (os.RemoveFolder(pszBackupDir)) return true;
    if (pending && os.MoveFile(pszBackupDir, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return true;
    LogFailure({L"Could not remove the folder ", pszBackupDir}, ::GetLastError());
    return false;
}
