// The uninstall entry and the auto-start (Run) value under HKEY_LOCAL_MACHINE.
#pragma once

#include "engine/SetupConfig.h"

// installedBytes: what the install copied, for the entry's EstimatedSize. Returns false when the
// uninstall entry or one of its checked values or the Run value could not be written, or when a
// value did not fit its buffer.
bool WriteInstallRegistry(const SetupConfig& config, ULONGLONG installedBytes);
// Failures pass; they are logged.
void DeleteInstallRegistry(const SetupConfig& config);
