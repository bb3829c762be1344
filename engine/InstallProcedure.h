// The install procedure and the operations it shares with the removal: starting programs,
// driving the service setup program and closing the running application.
#pragma once

#include <windows.h>

#include "engine/SetupConfig.h"

// Starts pszCommandLine (a writable buffer) at normal priority without waiting, with
// pszCurrentDir (the install folder) as its current folder; bShow asks for a shown main window.
// Returns whether the process was created.
bool RunProgram(wchar_t* pszCommandLine, BOOL bShow, const wchar_t* pszCurrentDir);
// "-k" then "-u" of the installed service setup program, each followed by its pause.
// Returns false when a command line did not fit.
bool ReleaseService(const wchar_t* pszInstallDir);
// Whether the service setup program is in the install folder (a find-first test).
bool ServiceProgramIsIn(const wchar_t* pszInstallDir);
// "-i"; returns whether the process was created.
bool InstallService(const wchar_t* pszInstallDir);
// WM_CLOSE to the first top-level window titled pszAppName, waiting a limited time for it to be
// handled, then the pause. A window that does not answer is left alone.
void CloseRunningApp(const wchar_t* pszAppName);
// The names of setup.ini that build paths, values and window searches: the install folder, the
// application's file name and its display name must each stay inside where they are used.
// Shows the message for the first refused one and returns false; nothing is touched then.
bool CheckSetupNames(const SetupConfig& config);
// The whole install, step by step: checked before its first change, every change entered in the
// install record first, registered only once every file is in place. Returns false when it was
// refused (nothing touched) or failed (everything it changed taken back).
bool RunInstall(const wchar_t* pszSetupDir, const SetupConfig& config);
