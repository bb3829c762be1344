// Taking back an install from its record: after a failed step, and when a later run of setup finds
// the record of an install that never completed (killed, power cut). Each entry is a claim: only
// what lies in the installation's own places is taken back, and a moved file comes back only from
// a backup folder that its own run made.
#pragma once

#include "engine/platform/SetupConfig.h"

// Undoes the unfinished run of the record of config's install folder, newest change first, and
// puts the record back as it was before that run (or deletes it with the folders the run made).
// serviceReleased: the service was released already, so a run's own service need not be again.
// Returns false when something could not be taken back: the record then keeps the run, so that
// the next run of setup tries again. Each change taken back is logged.
bool UndoUnfinishedInstall(const SetupConfig& config, bool serviceReleased = false);

// An install on record that never completed is undone, after the running application was closed
// and the service released as an install does. Returns false when it could not be: the log names
// what holds it. Runs of the removal go on without it and take what they can.
bool RecoverInterruptedInstall(const SetupConfig& config);
