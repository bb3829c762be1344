// What of a record's entries is still on the machine, the upkeep of the record that follows, and
// the deletion of the registry keys and values that a record names.
#pragma once

#include <windows.h>

#include "engine/InstallPlaces.h"
#include "engine/RecordList.h"
#include "engine/SetupConfig.h"

// Whether the object of an entry is there now: a folder, a file (for a moved one: the file at its
// place), a key or a value. Other entries name nothing that could be there.
bool IsStillThere(const CRecordList& list, std::size_t index);

// After a completed run over an earlier installation: rewrites the record as the list of what the
// installation now holds. adopted (may be null): entries of an earlier installation made before
// records were kept, listed first. The backups and anything outside the installation's places
// are left out.
bool CompactInstallRecord(const SetupConfig& config, const CRecordList* adopted);

// Rewrites the record as what of list is still there, as a completed installation: what a
// removal that could not finish leaves for the next removal.
bool KeepWhatIsStillThere(const CInstallPlaces& places, const CRecordList& list);

// Deletes the registry key named "HKLM\<path>" with its values (not one that has gained a
// subkey), or a value of it; true when it is gone or never was. A key that other programs share
// is deleted only when it holds nothing. done starts the log line ("Deleted ", "Undone: deleted ").
bool DeleteNamedKey(const CInstallPlaces& places, const wchar_t* rooted, const wchar_t* done);
bool DeleteNamedValue(const wchar_t* rootedKey, const wchar_t* name, const wchar_t* done);
