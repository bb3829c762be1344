// The changes of one install, each entered in the install record before it is made: folders and
// files created, files replaced or deleted (moved aside into the backup folder, so that an undo
// can put them back), registry keys created and values set with the data they replace, shortcuts,
// and the service setup program's runs. Commit completes the record; Undo takes everything back.
#pragma once

#include <windows.h>

#include <memory>

#include "engine/install/RecordedKey.h"
#include "engine/platform/SetupConfig.h"
#include "engine/platform/SetupPlatform.h"
#include "engine/record/RecordWriter.h"

class CInstallChanges {
public:
    // config: the installation's setup.ini names; it must outlive the object.
    explicit CInstallChanges(const SetupConfig& config);
    ~CInstallChanges();
    CInstallChanges(const CInstallChanges&) = delete;
    CInstallChanges& operator=(const CInstallChanges&) = delete;

    // Creates the install folder and its "Uninstall" folder when missing, opens the record (after
    // an earlier installation's entries, when it has a record) and enters the run's beginning.
    bool Begin(const wchar_t* pszSetupDir);
    // Whether the install folder was made by this run: nothing in it can be in the way.
    bool CreatedInstallFolder() const { return m_createdInstallFolder; }
    // Whether the record lists an earlier installation.
    bool HadRecord() const { return m_hadRecord; }

    // An entry that names no change of a file or value (the service setup program's runs).
    bool Note(RecordKind kind, const wchar_t* a);
    // Creates folder when missing (one level); created tells whether this run made it.
    bool EnsureFolder(const wchar_t* folder, bool* created = nullptr);
    // Copies from to to; what is at to is moved aside first unless targetIsNew says nothing can be.
    bool CopyIn(const wchar_t* from, const wchar_t* to, bool targetIsNew, ULONGLONG& bytes);
    // Deletes path by moving it aside; true when there was nothing.
    bool Remove(const wchar_t* path);
    // Saves a shortcut at path, moving aside what is there.
    bool SaveShortcut(ISetupShellLink& link, const wchar_t* path);
    // root\path, created when missing; null (logged) when it cannot be opened or made.
    std::unique_ptr<CRecordedKey> OpenKey(HKEY root, const wchar_t* path, bool createWhenMissing);

    // Makes what the record holds reach the disk: before the first change, before the
    // registration steps and around the run's end, so that a power cut cannot leave a change
    // that the record does not name at those points.
    bool MakeDurable();

    // Ends the run well: the record then lists the installation as it now is, and what was moved
    // aside is deleted. adopted: the files of an earlier installation made before records were
    // kept, which the installation now owns.
    bool Commit(const CRecordList* adopted);
    // Takes back every change of the run, newest first; false when something could not be.
    bool Undo();

private:
    // A key's values are entered through its changes.
    friend class CRecordedKey;
    bool Write(RecordKind kind, const wchar_t* a, const wchar_t* b = nullptr, const wchar_t* c = nullptr);

    bool MoveAside(const wchar_t* path);
    // The folder of this run's backups, Backup\<n>, made at the first move.
    bool MakeRunBackupFolder();
    // A record that cannot be read (or none, with backups beside it) is set aside with the
    // backups, which only its runs can tell apart: nothing moved aside is lost.
    bool SetRecordAndBackupsAside(bool recordThere);
    // What completed runs left aside (a file in use then, gone at the restart) goes now.
    void DeleteOldBackups();

    const SetupConfig& m_config;
    wchar_t m_installDir[MAX_PATH];
    wchar_t m_backupRoot[MAX_PATH];
    wchar_t m_runBackup[MAX_PATH] = {};
    CRecordWriter m_record;
    unsigned m_nextBackup = 1;
    bool m_begun = false;
    bool m_hadRecord = false;
    bool m_createdInstallFolder = false;
    bool m_movedAny = false;  // then the record is rewritten at commit
};
