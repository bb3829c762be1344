// The removal: service released, application closed, then everything that the install's record
// lists (for an installation made before records were kept: what such an install made) - the Run
// value first, then the shortcuts and the installed files, and only when they are all gone the
// uninstall entry, the "Uninstall" folder with the running removal program, and the install
// folder. Files the install did not make stay, and so do the folders that hold them.
#pragma once

#include "engine/platform/SetupConfig.h"

// pszSetupDir: the running removal program's folder (with its trailing backslash). Returns false
// when a name of setup.ini is refused (nothing is touched, see CheckSetupNames) or something could
// not be removed: the uninstall entry and the record of what is left then stay, so that the
// removal can run again.
bool RunRemoval(const SetupConfig& config, const wchar_t* pszSetupDir);
// The removal that setup.ini in pszSetupDir describes. Without that file nothing is touched and
// the result is false: the defaults could name another installation.
bool RunRemovalFromSetupFolder(const wchar_t* pszSetupDir);
