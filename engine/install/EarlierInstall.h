// An installation made before this one under another application name, whose shortcuts and Run
// value an install over it takes away, and the user's own desktop shortcut of the installs that
// made one there.
#pragma once

#include "engine/install/InstallChanges.h"
#include "engine/install/InstallPlan.h"
#include "engine/platform/SetupConfig.h"

// Deletes, through changes, what an earlier installation registered that this one will not
// replace: the desktop shortcut on the running user's own desktop (installs now use the
// all-users desktop), and under an earlier application name its shortcuts, its Start-menu folder
// when nothing else is in it, and its Run value. False when a deletion failed.
bool RetireEarlierRegistration(const SetupConfig& config, const CInstallPlan& plan, CInstallChanges& changes);
