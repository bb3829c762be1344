// Registry paths as the install writes them and its record names them.
#pragma once

#include <windows.h>

#include <memory>

#include "engine/platform/SetupConfig.h"
#include "engine/platform/SetupPlatform.h"

// "SOFTWARE\Wow6432Node\Microsoft\Windows\CurrentVersion\" for a 32-bit program on 64-bit
// Windows, else "SOFTWARE\Microsoft\Windows\CurrentVersion\"; spelled out, no view flag.
const wchar_t* RegistryBasePath();
// "HKLM" or "HKCU".
const wchar_t* RegistryRootName(HKEY root);
// Splits "HKLM\<path>" or "HKCU\<path>"; false for any other text.
bool SplitRootedPath(const wchar_t* rooted, HKEY& root, const wchar_t*& path);
// Opens the key "HKLM\<path>" or "HKCU\<path>" through the platform; null with the error when it
// cannot be (ERROR_INVALID_NAME for any other text).
std::unique_ptr<ISetupRegistryKey> OpenRootedKey(const wchar_t* rooted);
// The same for the key that holds rooted; leaf receives rooted's own name.
std::unique_ptr<ISetupRegistryKey> OpenParentKey(const wchar_t* rooted, const wchar_t*& leaf);
// The uninstall entry's key, "HKLM\<base>Uninstall\<APPFolderName>"; false when it does not fit.
bool FormatUninstallEntryKey(const SetupConfig& config, wchar_t (&rootedPath)[1024]);
// The Run key, "<base>Run", without its root.
bool FormatRunKey(wchar_t (&path)[1024]);
