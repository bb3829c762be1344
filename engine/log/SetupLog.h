// The run's log: every run appends plain UTF-8 lines to one log per install folder in the
// temporary folder of the user running setup.
#pragma once

#include <windows.h>

#include <initializer_list>

// The log's name beside the folder name: %TEMP%\<APPFolderName>-setup.log.
inline constexpr wchar_t kSetupLogSuffix[] = L"-setup.log";
// The name used when the folder name cannot name a file.
inline constexpr wchar_t kFallbackSetupLogName[] = L"KRT21C-setup.log";

// Opens the log for appending: named after pszAppFolderName, or the fixed name when that is not a
// usable folder name. A file that is a link or has other names is refused. Returns whether a log
// is open; without one every line is dropped and the run goes on.
bool OpenSetupLog(const wchar_t* pszAppFolderName);
// Writes what is buffered and closes the log.
void CloseSetupLog();
// Writes what is buffered; called before anything that may wait, and at the end of each procedure.
void FlushSetupLog();
// The open log's full path, or an empty text.
const wchar_t* SetupLogPath();

// One line: the milliseconds since the log was opened, then the pieces joined. A line too long
// for the line buffer is cut; the log is a record, never a path.
void LogLine(std::initializer_list<const wchar_t*> pieces);
// One failure line: the pieces, then the Windows error by number and by the system's text.
void LogFailure(std::initializer_list<const wchar_t*> pieces, DWORD error);
