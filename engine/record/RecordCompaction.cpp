#include "engine/record/RecordCompaction.h"

#include <cwchar>

#include "base/NameCompare.h"
#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/RegistryPaths.h"
#include "engine/platform/SetupPlatform.h"
#include "engine/record/InstallRecord.h"

namespace {

bool ValueIsThere(const wchar_t* rootedKey, const wchar_t* name) {
    auto key = OpenRootedKey(rootedKey);
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    return key && key->QueryValue(name, &type, nullptr, &bytes);
}

bool KeyIsThere(const wchar_t* rootedKey) {
    return OpenRootedKey(rootedKey) != nullptr;
}

// Adds what of from's entry is still there to kept, once; a moved file counts as the file at its
// place. What is not the installation's, and its backups, are left out.
bool KeepIfThere(const CInstallPlaces& places, const CRecordList& from, std::size_t index, CRecordList& kept) {
    RecordKind kind = from.Kind(index);
    const wchar_t* a = from.Field(index, 0);
    const wchar_t* b = from.Field(index, 1);
    switch (kind) {
    case RecordKind::Moved:
        kind = RecordKind::File;
        b = L"";
        break;
    case RecordKind::Folder:
    case RecordKind::File:
        if (IsSameOrInside(a, places.BackupRoot())) return true;
        break;
    case RecordKind::Key:
    case RecordKind::Value:
        break;
    default:
        return true;
    }
    if (kept.Contains(kind, a, kind == RecordKind::Value ? b : nullptr) || !places.Owns(from, index) ||
        !IsStillThere(from, index))
        return true;
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

bool CompactInstallRecord(const SetupConfig& config, const CRecordList* adopted) {
    const wchar_t* install = config.szInstallDir;
    CRecordList record;
    std::size_t lastBegin = 0;
    if (LoadInstallRecord(install, record, lastBegin) != RecordState::Completed) return false;
    CInstallPlaces places(config);
    places.AddNamesOfEarlierInstalls(record);
    CRecordList kept;
    bool ok = kept.Add(RecordKind::Begin, record.Field(lastBegin, 0), record.Field(lastBegin, 1));
    for (std::size_t i = 0; ok && adopted && i < adopted->Count(); ++i) ok = KeepIfThere(places, *adopted, i, kept);
    for (std::size_t i = 0; ok && i < record.Count(); ++i) ok = KeepIfThere(places, record, i, kept);
    if (!ok || !kept.Add(RecordKind::Completed) || !RewriteInstallRecord(install, kept, 0, kept.Count())) {
        LogLine({L"The install record was left as written: it still lists everything this install did"});
        return false;
    }
    return true;
}

bool KeepWhatIsStillThere(const CInstallPlaces& places, const CRecordList& list) {
    CRecordList kept;
    bool ok = kept.Add(RecordKind::Begin, L"", L"");
    for (std::size_t i = 0; ok && i < list.Count(); ++i) ok = KeepIfThere(places, list, i, kept);
    return ok && kept.Add(RecordKind::Completed) &&
           RewriteInstallRecord(places.InstallDir(), kept, 0, kept.Count());
}

