#include "engine/install/InstallChanges.h"

#include <cwchar>

#include "base/NameCompare.h"
#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/Environment.h"
#include "engine/platform/FileRemoval.h"
#include "engine/platform/FolderWalk.h"
#include "engine/platform/OutsideComponents.h"
#include "engine/platform/RegistryPaths.h"
#include "engine/record/InstallRecord.h"
#include "engine/record/InstallUndo.h"
#include "engine/record/RecordCompaction.h"
#include "engine/record/RecordedValue.h"

namespace {

// "2026-12-07 19:40:01", local time.
void FormatLocalTime(wchar_t (&text)[32]) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    const unsigned parts[] = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    const wchar_t separators[] = {L'-', L'-', L' ', L':', L':', L'\0'};
    std::size_t used = 0;
    for (std::size_t i = 0; i < 6; ++i) {
        const NumberText number(parts[i]);
        if (parts[i] < 10) text[used++] = L'0';
        for (const wchar_t* digit = number; *digit; ++digit) text[used++] = *digit;
        text[used++] = separators[i];
    }
}

bool IsMissing(DWORD attributes) {
    return attributes == INVALID_FILE_ATTRIBUTES;
}

}  // namespace

CInstallChanges::CInstallChanges(const SetupConfig& config) : m_config(config) {
    CopyText(m_installDir, config.szInstallDir);
    if (!FormatText(m_backupRoot, L"%s\\%s\\%s", m_installDir, kUninstallFolderName, kBackupFolderName))
        m_backupRoot[0] = L'\0';
}

CInstallChanges::~CInstallChanges() = default;

bool CInstallChanges::Write(RecordKind kind, const wchar_t* a, const wchar_t* b, const wchar_t* c) {
    return m_record.Write(kind, a, b, c);
}

bool CInstallChanges::Note(RecordKind kind, const wchar_t* a) {
    return Write(kind, a);
}

bool CInstallChanges::MakeDurable() {
    return m_record.MakeDurable();
}

bool CInstallChanges::Begin(const wchar_t* pszSetupDir) {
    ISetupPlatform& os = SetupPlatform();
    wchar_t uninstallDir[MAX_PATH];
    if (!m_backupRoot[0] || !FormatText(uninstallDir, L"%s\\%s", m_installDir, kUninstallFolderName)) return false;

    // The record cannot name the folders that hold it before they exist: they are made first and
    // entered right after, and an undo removes them when they are empty.
    const DWORD installAttributes = os.GetAttributes(m_installDir);
    bool createdUninstall = false;
    if (IsMissing(installAttributes)) {
        if (!os.CreateFolder(m_installDir)) {
            LogFailure({L"Could not create folder ", m_installDir}, ::GetLastError());
            return false;
        }
        m_createdInstallFolder = true;
        LogLine({L"Created folder ", m_installDir});
    } else if (!(installAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        LogLine({L"The install folder's place ", m_installDir, L" is taken by a file"});
        return false;
    } else if (installAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // Everything installed would land elsewhere, and a removal could not follow it there.
        LogLine({L"The install folder ", m_installDir, L" is a link: refused"});
        return false;
    }
    if (m_createdInstallFolder || IsMissing(os.GetAttributes(uninstallDir))) {
        if (!os.CreateFolder(uninstallDir)) {
            LogFailure({L"Could not create folder ", uninstallDir}, ::GetLastError());
            if (m_createdInstallFolder) os.RemoveFolder(m_installDir);
            return false;
        }
        createdUninstall = true;
        LogLine({L"Created folder ", uninstallDir});
    }
    auto giveUp = [&] {
        if (createdUninstall) os.RemoveFolder(uninstallDir);
        if (m_createdInstallFolder) os.RemoveFolder(m_installDir);
        return false;
    };

    if (!m_createdInstallFolder) {
        CRecordList earlier;
        std::size_t lastBegin = 0;
        const RecordState state = LoadInstallRecord(m_installDir, earlier, lastBegin);
        if (state == RecordState::Unfinished) {
            LogLine({L"An install that did not complete is still on record in ", m_installDir, L": refused"});
            return giveUp();
        }
        m_hadRecord = state == RecordState::Completed;
        const DWORD backup = os.GetAttributes(m_backupRoot);
        if (!IsMissing(backup) && (backup & FILE_ATTRIBUTE_REPARSE_POINT) && !os.RemoveFolder(m_backupRoot)) {
            LogFailure({L"The backup folder ", m_backupRoot, L" is a link that cannot be removed: refused"},
                       ::GetLastError());
            return giveUp();
        }
        if (m_hadRecord)
            DeleteOldBackups();
        else if ((state == RecordState::Unreadable || !IsMissing(os.GetAttributes(m_backupRoot))) &&
                 !SetRecordAndBackupsAside(state == RecordState::Unreadable))
            return giveUp();
    }

    wchar_t started[32];
    FormatLocalTime(started);
    if (!m_record.Open(m_installDir) || !Write(RecordKind::Begin, started, pszSetupDir) ||
        (m_createdInstallFolder && !Write(RecordKind::Folder, m_installDir)) ||
        (createdUninstall && !Write(RecordKind::Folder, uninstallDir)) || !MakeDurable()) {
        m_record.Close();
        if (m_createdInstallFolder) {
            wchar_t record[MAX_PATH];
            if (FormatRecordPath(m_installDir, record)) os.DeleteFile(record);
        }
        return giveUp();
    }
    m_begun = true;
    return true;
}

bool CInstallChanges::SetRecordAndBackupsAside(bool recordThere) {
    // Nothing can be undone or removed by it: it stays for a person to read, and the installation
    // counts as one made before records were kept.
    ISetupPlatform& os = SetupPlatform();
    wchar_t record[MAX_PATH];
    wchar_t aside[MAX_PATH];
    if (!FormatRecordPath(m_installDir, record) || !FormatText(aside, L"%s.damaged", record)) return false;
    if (recordThere && !os.MoveFile(record, aside, MOVEFILE_REPLACE_EXISTING)) {
        LogFailure({L"Could not set the damaged install record aside in ", m_installDir}, ::GetLastError());
        return false;
    }
    if (recordThere) LogLine({L"The install record cannot be read: kept as ", aside, L"; the installation counts as one without a record"});
    if (IsMissing(os.GetAttributes(m_backupRoot))) return true;
    // Kept whole beside it: the files a run moved aside are its run's to put back.
    for (unsigned n = 1; n <= 100; ++n) {
        const bool fits = n == 1 ? FormatText(aside, L"%s.damaged", m_backupRoot)
                                 : FormatText(aside, L"%s.damaged-%s", m_backupRoot, NumberText(n));
        if (!fits) break;
        if (!IsMissing(os.GetAttributes(aside))) continue;
        if (os.MoveFile(m_backupRoot, aside, 0)) {
            LogLine({L"What the runs of that record moved aside is kept in ", aside});
            return true;
        }
        break;
    }
    LogFailure({L"Could not set the backup folder ", m_backupRoot, L" aside"}, ::GetLastError());
    return false;
}

void CInstallChanges::DeleteOldBackups() {
    ISetupPlatform& os = SetupPlatform();
    if (IsMissing(os.GetAttributes(m_backupRoot))) return;
    ForEachFolderEntry(m_backupRoot, [&](const SetupFolderEntry& entry) {
        wchar_t path[MAX_PATH];
        if (FormatText(path, L"%s\\%s", m_backupRoot, entry.name)) DeleteFolderTree(path);
        return true;
    });
    os.RemoveFolder(m_backupRoot);
}

bool CInstallChanges::EnsureFolder(const wchar_t* folder, bool* created) {
    ISetupPlatform& os = SetupPlatform();
    if (created) *created = false;
    const DWORD attributes = os.GetAttributes(folder);
    if (!IsMissing(attributes)) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
        LogLine({L"A file stands where the folder ", folder, L" belongs"});
        return false;
    }
    if (!Write(RecordKind::Folder, folder)) return false;
    if (!os.CreateFolder(folder)) {
        LogFailure({L"Could not create folder ", folder}, ::GetLastError());
        return false;
    }
    LogLine({L"Created folder ", folder});
    if (created) *created = true;
    return true;
}

bool CInstallChanges::MakeRunBackupFolder() {
    if (m_runBackup[0]) return true;
    if (!EnsureFolder(m_backupRoot)) return false;
    // A folder of its own: what an earlier run left for the next restart stays out of its way.
    ISetupPlatform& os = SetupPlatform();
    for (unsigned n = 1; n <= 9999; ++n) {
        wchar_t folder[MAX_PATH];
        if (!FormatText(folder, L"%s\\%s", m_backupRoot, NumberText(n))) break;
        if (!IsMissing(os.GetAttributes(folder))) continue;
        bool created = false;
        if (!EnsureFolder(folder, &created) || !created) return false;
        return CopyText(m_runBackup, folder);
    }
    LogLine({L"No free backup folder in ", m_backupRoot});
    return false;
}

bool CInstallChanges::MoveAside(const wchar_t* path) {
    ISetupPlatform& os = SetupPlatform();
    wchar_t backup[MAX_PATH];
    if (!MakeRunBackupFolder()) return false;
    if (!FormatText(backup, L"%s\\%s", m_runBackup, NumberText(m_nextBackup++))) {
        LogLine({L"The backup path for ", path, L" does not fit"});
        return false;
    }
    if (!Write(RecordKind::Moved, path, backup)) return false;
    if (!os.MoveFile(path, backup, MOVEFILE_COPY_ALLOWED)) {
        LogFailure({L"Could not move ", path, L" aside to ", backup}, ::GetLastError());
        return false;
    }
    m_movedAny = true;
    return true;
}

bool CInstallChanges::CopyIn(const wchar_t* from, const wchar_t* to, bool targetIsNew, ULONGLONG& bytes) {
    ISetupPlatform& os = SetupPlatform();
    // What is there goes aside first, a link as a link: a copy onto it would write through it.
    const bool replacing = !targetIsNew && !IsMissing(os.GetAttributes(to));
    if (replacing ? !MoveAside(to) : !Write(RecordKind::File, to)) return false;
    if (!os.CopyFile(from, to, &bytes)) {
        LogFailure({L"Could not copy ", from, L" -> ", to}, ::GetLastError());
        return false;
    }
    LogLine({replacing ? L"Replaced " : L"Copied ", from, L" -> ", to});
    return true;
}

bool CInstallChanges::Remove(const wchar_t* path) {
    if (IsMissing(SetupPlatform().GetAttributes(path))) return true;
    if (!MoveAside(path)) return false;
    LogLine({L"Deleted ", path});
    return true;
}

bool CInstallChanges::SaveShortcut(ISetupShellLink& link, const wchar_t* path) {
    const bool replacing = !IsMissing(SetupPlatform().GetAttributes(path));
    if (replacing ? !MoveAside(path) : !Write(RecordKind::File, path)) return false;
    if (link.Save(path)) return true;
    LogFailure({L"Could not save shortcut ", path}, ::GetLastError());
    return false;
}

std::unique_ptr<CRecordedKey> CInstallChanges::OpenKey(HKEY root, const wchar_t* path, bool createWhenMissing) {
    ISetupPlatform& os = SetupPlatform();
    wchar_t rooted[1024];
    if (!FormatText(rooted, L"%s\\%s", RegistryRootName(root), path)) return nullptr;
    if (auto key = os.OpenKey(root, path)) return std::make_unique<CRecordedKey>(*this, std::move(key), rooted, false);
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND || !createWhenMissing) {
        ::SetLastError(error);
        return nullptr;
    }
    if (!Write(RecordKind::Key, rooted)) return nullptr;
    auto key = os.CreateKey(root, path);
    if (!key) {
        LogFailure({L"Could not create ", rooted}, ::GetLastError());
        return nullptr;
    }
    // Other programs' marks join the compatibility key: its values are entered one by one, so
    // that the install's go even when the key stays.
    const bool shared = root == HKEY_CURRENT_USER && EqualsNoCase(path, kCompatAssistantPersistedKey);
    return std::make_unique<CRecordedKey>(*this, std::move(key), rooted, !shared);
}

bool CInstallChanges::Commit(const CRecordList* adopted) {
    // Every line before "completed" on the disk first, and "completed" itself before anything
    // moved aside is deleted: a record that reads as completed lists the whole install.
    if (!MakeDurable() || !Write(RecordKind::Completed, nullptr) || !MakeDurable()) return false;
    m_record.Close();
    m_begun = false;
    // A first install into a new folder: the record as written is the installation already.
    if (!m_movedAny && !m_hadRecord && !adopted) return true;
    // Otherwise it becomes the list of what the installation now holds: what an earlier install
    // left and this one kept, and what this one made; then what was moved aside is deleted. The
    // install has completed either way: a record left as written still serves the removal.
    CompactInstallRecord(m_config, adopted);
    if (m_runBackup[0]) DeleteFolderTree(m_runBackup);
    SetupPlatform().RemoveFolder(m_backupRoot);
    return true;
}

bool CInstallChanges::Undo() {
    m_record.Close();
    if (!m_begun) return true;
    m_begun = false;
    LogLine({L"Undoing the install, newest change first"});
    FlushSetupLog();
    return UndoUnfinishedInstall(m_config);
}
