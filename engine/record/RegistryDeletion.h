// Deleting the registry keys and values that an install record names.
#pragma once

#include "engine/record/InstallPlaces.h"

// Deletes the registry key named "HKLM\<path>" with its values (not one that has gained a
// subkey), or a value of it; true when it is gone or never was. A key that other programs share
// is deleted only when it holds nothing. done starts the log line ("Deleted ", "Undone: deleted ").
bool DeleteNamedKey(const CInstallPlaces& places, const wchar_t* rooted, const wchar_t* done);
bool DeleteNamedValue(const wchar_t* rootedKey, const wchar_t* name, const wchar_t* done);
