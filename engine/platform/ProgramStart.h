// Starting the programs that setup drives: the service setup program and the installed application.
#pragma once

#include <windows.h>

// Starts pszCommandLine (a writable buffer) at normal priority without waiting, with
// pszCurrentDir (the install folder) as its current folder; bShow asks for a shown main window.
// Returns whether the process was created.
bool RunProgram(wchar_t* pszCommandLine, BOOL bShow, const wchar_t* pszCurrentDir);
// Starts the installed application pszProgram (a full path, no arguments) for the user, in
// pszFolder: through the user's shell, so that it does not inherit setup's elevation for its whole
// session, or directly where no shell answers (no desktop, the system account). Logs which way it
// went; returns whether it started.
bool StartForUser(const wchar_t* pszProgram, const wchar_t* pszFolder);
