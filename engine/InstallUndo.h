// Taking back an install from its record: after a failed step, and when a later run of setup finds
// the record of an install that never completed (killed, power cut).
#pragma once

#include "engine/SetupConfig.h"

// Undoes the unfinished run of the record in pszInstallDir, newest change first, and puts the
// record back as it was before that run (or deletes it with the folders the run made). Returns
// false when something could not be taken back: the record then keeps the run, so that the next
// run of setup tries again. Each change taken back is logged.
bool UndoUnfinishedInstall(const wchar_t* pszInstallDir);

// What every road does first: an install on record that never completed is undone. Returns false
// when it could not be; nothing else may then be done to that installation.
bool RecoverInterruptedInstall(const SetupConfig& config);
