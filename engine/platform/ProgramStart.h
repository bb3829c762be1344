// Starting the programs that setup drives: the service setup program and the installed application.
#pragma once

#include <windows.h>

// Starts pszCommandLine (a writable buffer) at normal priority without waiting, with
// pszCurrentDir (the install folder) as its current folder; bShow asks for a shown main window.
// Returns whether the process was created.
bool RunProgram(wchar_t* pszCommandLine, BOOL bShow, const wchar_t* pszCurrentDir);
