// The service setup program in the install folder, driven in service mode: "-k" then "-u" release
// the service before its files change, "-i" registers it once they are in place.
#pragma once

#include <windows.h>

// "-k" then "-u" of the installed service setup program, each followed by its pause.
// Returns false when a command line did not fit.
bool ReleaseService(const wchar_t* pszInstallDir);
// Whether the service setup program is in the install folder (a find-first test).
bool ServiceProgramIsIn(const wchar_t* pszInstallDir);
// "-i"; returns whether the process was created.
bool InstallService(const wchar_t* pszInstallDir);
