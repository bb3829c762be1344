// Registry paths as the install writes them and its record names them.
#pragma once

#include <windows.h>

// "SOFTWARE\Wow6432Node\Microsoft\Windows\CurrentVersion\" for a 32-bit program on 64-bit
// Windows, else "SOFTWARE\Microsoft\Windows\CurrentVersion\"; spelled out, no view flag.
const wchar_t* RegistryBasePath();
// "HKLM" or "HKCU".
const wchar_t* RegistryRootName(HKEY root);
// Splits "HKLM\<path>" or "HKCU\<path>"; false for any other text.
bool SplitRootedPath(const wchar_t* rooted, HKEY& root, const wchar_t*& path);
