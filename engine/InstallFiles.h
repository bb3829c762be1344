// The installed copy: install folder with "Uninstall" and "Images", the payload's files, then
// the registry entries.
#pragma once

#include "engine/SetupConfig.h"

// pszSetupDir ends with a backslash. Returns false when the install folder is missing after it
// should exist, a file that the payload holds could not be copied, a path did not fit, or the
// registry step failed. Every step runs regardless; nothing is rolled back.
bool InstallFiles(const wchar_t* pszSetupDir, const SetupConfig& config);

// The library variant of NT 6.0 (every product type) and NT 6.1 server editions.
bool UsesVistaLibraryVariant(const OSVERSIONINFOEXW& version);
