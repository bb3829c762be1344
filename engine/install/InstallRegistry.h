// The uninstall entry and the auto-start (Run) value under HKEY_LOCAL_MACHINE, written through
// the install's changes so that an undo takes them back.
#pragma once

#include "engine/install/InstallChanges.h"
#include "engine/platform/SetupConfig.h"

// The uninstall entry. installedBytes: what the install copied, for EstimatedSize. Returns false
// when the entry or one of its checked values could not be written (its message is shown), or a
// value did not fit its buffer.
bool WriteUninstallEntry(const SetupConfig& config, ULONGLONG installedBytes, CInstallChanges& changes);
// The Run value, outside service mode. A missing Run key leaves it out without failing; a refused
// write shows its message and returns false.
bool WriteRunValue(const SetupConfig& config, CInstallChanges& changes);
