#include "engine/platform/FileRemoval.h"

#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/FolderWalk.h"
#include "engine/platform/SetupPlatform.h"

namespace {

// The backups of one run hold a moved folder at most (a Start-menu folder): far less than this.
constexpr int kMaxDepth = 16;

bool IsInUse(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

// Deletes what path names; pending is set when something goes only at the next restart.
bool DeleteTree(const wchar_t* path, int depth, bool& pending) {
    ISetupPlatform& os = SetupPlatform();
    const DWORD attributes = os.GetAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (os.DeleteFile(path)) return true;
        LogFailure({L"A link, left alone: ", path}, ::GetLastError());
        return false;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (DeleteFileEvenReadOnly(path)) return true;
        // A program that still runs from a replaced file (a hung application left alone) keeps it.
        const DWORD error = ::GetLastError();
        if (IsInUse(error) && os.MoveFile(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
            LogLine({L"In use, deleted at the next restart: ", path});
            pending = true;
            return true;
        }
        LogFailure({L"Could not delete ", path}, error);
        return false;
    }
    bool ok = depth < kMaxDepth;
    bool pendingInside = false;
    if (ok) {
        ForEachFolderEntry(path, [&](const SetupFolderEntry& entry) {
            wchar_t child[MAX_PATH];
            ok = FormatText(child, L"%s\\%s", path, entry.name) && DeleteTree(child, depth + 1, pendingInside) && ok;
            return true;
        });
    }
    if (os.RemoveFolder(path)) return ok;
    if (ok && pendingInside && os.MoveFile(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        pending = true;
        return true;
    }
    LogFailure({L"Could not remove the folder ", path}, ::GetLastError());
    return false;
}

}  // namespace

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

bool DeleteFolderTree(const wchar_t* folder) {
    bool pending = false;
    return DeleteTree(folder, 0, pending);
}
