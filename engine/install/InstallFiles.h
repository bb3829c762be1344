// The installed copy: the install folder with "Uninstall" and "Images", and the payload's files.
#pragma once

#include "engine/install/InstallChanges.h"
#include "engine/install/InstallPlan.h"
#include "engine/platform/SetupConfig.h"

// pszSetupDir ends with a backslash; plan has checked the payload. Every change goes through
// changes. Stops at the first failure and returns false (the caller undoes); installedBytes
// receives what was copied, for the uninstall entry's size.
bool InstallFiles(const wchar_t* pszSetupDir, const SetupConfig& config, const CInstallPlan& plan,
                  CInstallChanges& changes, ULONGLONG& installedBytes);
