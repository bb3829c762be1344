// The removal: service released, application closed, installed files, registry entries and
// shortcuts deleted. The runtime libraries, images, the uninstall copy and the folders stay.
#pragma once

#include "engine/SetupConfig.h"

// Returns false when a file of the removal table stays in place or a path did not fit. While
// the application's program file stays, the registry entries stay too, so that the removal can
// be run again.
bool RemoveInstalledFiles(const SetupConfig& config);
// Returns false when a name of setup.ini is refused (then nothing is touched, see
// CheckSetupNames) or a step failed; every step runs regardless.
bool RunRemoval(const SetupConfig& config);
// The removal that setup.ini in pszSetupDir describes. Without that file nothing is touched and
// the result is false: the defaults could name another installation.
bool RunRemovalFromSetupFolder(const wchar_t* pszSetupDir);
