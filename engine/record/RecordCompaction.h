// What of a record's entries is still on the machine, and the record rewritten as what is left.
#pragma once

#include <windows.h>

#include "engine/platform/SetupConfig.h"
#include "engine/record/InstallPlaces.h"
#include "engine/record/RecordList.h"

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
