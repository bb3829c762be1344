// The stand-ins' record of what happened to them: one line per event, appended to a log file
// beside the program ("<program>.log"), each line "<milliseconds since 1601> <event> <details>".
#pragma once

#include <windows.h>

#include <string>

// Appends one line; the file is opened and closed for each line so that a killed process
// leaves a complete log.
void AppendStandinLog(const wchar_t* event, const wchar_t* details);

// The folder of the running program, with its trailing backslash.
void GetOwnFolder(wchar_t (&folder)[MAX_PATH]);

// The arguments part of the process's command line, without the program token.
const wchar_t* GetArgumentsText();

// "cwd=<current folder>", for the details of a start: where the program was started in.
std::wstring CurrentFolderText();

// A value of setup.ini beside the program, or fallback.
void ReadOwnSetupIni(const wchar_t* section, const wchar_t* key, const wchar_t* fallback,
                     wchar_t (&value)[MAX_PATH]);
