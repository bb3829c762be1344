// The install procedure and the operations it shares with the removal: starting programs,
// driving the service setup program and closing the running application.
#pragma once

#include <windows.h>

#include "engine/SetupConfig.h"

// Starts pszCommandLine (a writable buffer) at normal priority without waiting; bShow asks for
// a shown main window. Returns whether the process was created.
bool RunProgram(wchar_t* pszCommandLine, BOOL bShow);
// "-k" then "-u" of the installed service setup program, each followed by its pause.
// Returns false when a command line did not fit.
bool ReleaseService(const wchar_t* pszInstallDir);
// "-i"; returns whether the process was created.
bool InstallService(const wchar_t* pszInstallDir);
// WM_CLOSE to the first top-level window titled pszAppName, then the pause.
void CloseRunningApp(const wchar_t* pszAppName);
// An install folder that ReadSetupConfig accepted.
bool HasUsableInstallDir(const SetupConfig& config);
// The whole install, step by step. Returns false when it failed; nothing is rolled back.
bool RunInstall(const wchar_t* pszSetupDir, const SetupConfig& config);
