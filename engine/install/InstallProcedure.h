// The install procedure: the whole install, step by step.
#pragma once

#include <windows.h>

#include "engine/platform/SetupConfig.h"

// The whole install, step by step: checked before its first change, every change entered in the
// install record first, registered only once every file is in place. Returns false when it was
// refused (nothing touched) or failed (everything it changed taken back).
bool RunInstall(const wchar_t* pszSetupDir, const SetupConfig& config);
