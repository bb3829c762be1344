// What of a record's entries is still on the machine, and the upkeep of the record that follows.
#pragma once

#include <windows.h>

#include "engine/RecordList.h"

// Whether the object of an entry is there now: a folder, a file (for a moved one: the file at its
// place), a key or a value. Other entries name nothing that could be there.
bool IsStillThere(const CRecordList& list, std::size_t index);

// After a completed run over an earlier installation: rewrites the record as the list of what the
// installation now holds. adopted (may be null): entries of an earlier installation made before
// records were kept, listed first. The backup folder is left out.
bool CompactInstallRecord(const wchar_t* pszInstallDir, const CRecordList* adopted, const wchar_t* pszBackupDir);

// Rewrites the record as what of list is still there, as a completed installation: what a
// removal that could not finish leaves for the next removal.
bool KeepWhatIsStillThere(const wchar_t* pszInstallDir, const CRecordList& list);

// Deletes the registry key named "HKLM\<path>" (it holds values only), or a value of it; true when
// it is gone or never was. done starts the log line ("Deleted ", "Undone: deleted ").
bool DeleteNamedKey(const wchar_t* rooted, const wchar_t* done);
bool DeleteNamedValue(const wchar_t* rootedKey, const wchar_t* name, const wchar_t* done);

// Deletes a file; a read-only one is made writable first, and set back when it still stays.
bool DeleteFileEvenReadOnly(const wchar_t* path);

// Deletes the files and empty folders in the backup folder and then the folder; true when it is
// gone or never was.
bool DeleteBackupFolder(const wchar_t* pszBackupDir);
