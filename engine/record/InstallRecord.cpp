#include "engine/record/InstallRecord.h"

#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/OutsideComponents.h"
#include "engine/record/RecordText.h"

namespace {

// Plenty for the largest install (a few hundred lines); a larger file is not a record of ours.
constexpr DWORD kMaxRecordBytes = 4 * 1024 * 1024;


}  // namespace

bool FormatRecordPath(const wchar_t* pszInstallDir, wchar_t (&path)[MAX_PATH]) {
    return FormatText(path, L"%s\\%s\\%s", pszInstallDir, kUninstallFolderName, kInstallRecordFileName);
}

RecordState LoadInstallRecord(const wchar_t* pszInstallDir, CRecordList& list, std::size_t& lastBegin) {
    list.Clear();
    lastBegin = 0;
    wchar_t path[MAX_PATH];
    if (!FormatRecordPath(pszInstallDir, path)) return RecordState::None;
    fw::HeapArray<char> text;
    if (!SetupPlatform().ReadWholeFile(path, kMaxRecordBytes, text)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return RecordState::None;
        LogFailure({L"Could not read the install record ", path}, error);
        return RecordState::Unreadable;
    }
    if (!list.Parse(text.get(), text.size() - 1)) {
        LogLine({L"The install record ", path, L" is damaged: it cannot be read"});
        return RecordState::Unreadable;
    }
    bool begun = false;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        if (list.Kind(i) == RecordKind::Begin) {
            lastBegin = i;
            begun = true;
        }
    }
    if (!begun) return list.Count() == 0 ? RecordState::None : RecordState::Unreadable;
    return list.Kind(list.Count() - 1) == RecordKind::Completed ? RecordState::Completed : RecordState::Unfinished;
}

bool RewriteInstallRecord(const wchar_t* pszInstallDir, const CRecordList& list, std::size_t first, std::size_t end) {
    wchar_t path[MAX_PATH];
    wchar_t fresh[MAX_PATH];
    if (!FormatRecordPath(pszInstallDir, path) || !FormatText(fresh, L"%s.new", path)) return false;
    fw::HeapArray<char> entries;
    std::size_t bytes = 0;
    if (!list.Format(first, end, entries, bytes)) return false;
    fw::HeapArray<char> text(kRecordHeadingBytes + bytes + 1);
    if (!text) return false;
    ::CopyMemory(text.get(), kRecordHeading, kRecordHeadingBytes);
    if (bytes) ::CopyMemory(text.get() + kRecordHeadingBytes, entries.get(), bytes);
    // Written aside, then put in place in one step: a kill leaves either the old or the new record.
    ISetupPlatform& os = SetupPlatform();
    if (!os.WriteNewFile(fresh, text.get(), static_cast<DWORD>(kRecordHeadingBytes + bytes)) ||
        !os.MoveFile(fresh, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        LogFailure({L"Could not write the install record ", path}, ::GetLastError());
        return false;
    }
    return true;
}
