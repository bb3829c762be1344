// The removal: service released, application closed, installed files, registry entries and
// shortcuts deleted. The runtime libraries, images, the uninstall copy and the folders stay.
#pragma once

#include "engine/SetupConfig.h"

// Returns false when a file of the removal table exists and could not be deleted, or a path
// did not fit.
bool RemoveInstalledFiles(const SetupConfig& config);
// Returns false when the install folder is empty or refused (then nothing is touched) or a
// step failed; every step runs regardless.
bool RunRemoval(const SetupConfig& config);
