// The run's log and the engine's messages. Every run appends plain UTF-8 lines to one log per
// install folder in the temporary folder of the user running setup; a message for the user is
// always logged and, unless nobody is at the screen, also shown in a box.
#pragma once

#include <windows.h>

#include <initializer_list>

// Nobody is at the screen (the silent roads): messages go to the log only, so that no run ever
// waits for a click. Written once by start-up, before any worker exists; only read afterwards.
extern BOOL g_bUnattended;

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

// A message for the user: logged, then shown as a box without an owner, in front of every other
// window, unless unattended. Returns the box's answer, or IDOK when it was not shown.
int ShowSetupMessage(const wchar_t* text, const wchar_t* caption, UINT type);
// The engine's failure message: caption "Fail", warning icon, OK button.
void ShowFailureMessage(const wchar_t* text);

// The decimal text of a number, for log lines.
class NumberText {
public:
    explicit NumberText(unsigned long long value);
    operator const wchar_t*() const { return m_text; }

private:
    wchar_t m_text[24];
};
