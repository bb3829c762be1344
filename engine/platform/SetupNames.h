// The names of setup.ini that build paths, values and window searches, checked before anything
// is touched.
#pragma once

#include "engine/platform/SetupConfig.h"

// The install folder, the application's file name and its display name must each stay inside
// where they are used. Shows the message for the first refused one and returns false; nothing is
// touched then.
bool CheckSetupNames(const SetupConfig& config);
