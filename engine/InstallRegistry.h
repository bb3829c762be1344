// The uninstall entry and the auto-start (Run) value under HKEY_LOCAL_MACHINE.
#pragma once

#include "engine/SetupConfig.h"

// Returns false when the uninstall entry or one of its checked values could not be written,
// or when a value did not fit its buffer.
bool WriteInstallRegistry(const SetupConfig& config);
// Failures pass silently.
void DeleteInstallRegistry(const SetupConfig& config);
