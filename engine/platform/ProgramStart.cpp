#include "engine/platform/ProgramStart.h"

#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/SetupPlatform.h"

bool RunProgram(wchar_t* pszCommandLine, BOOL bShow, const wchar_t* pszCurrentDir) {
    // Normal priority: a program at real-time priority could starve the whole system.
    if (SetupPlatform().StartProcess(pszCommandLine, bShow ? SW_SHOW : SW_HIDE, NORMAL_PRIORITY_CLASS,
                                     pszCurrentDir)) {
        LogLine({L"Started ", pszCommandLine, L" in ", pszCurrentDir});
        return true;
    }
    LogFailure({L"Could not start ", pszCommandLine, L" in ", pszCurrentDir}, ::GetLastError());
    return false;
}

bool StartForUser(const wchar_t* pszProgram, const wchar_t* pszFolder) {
    if (SetupPlatform().StartThroughShell(pszProgram, pszFolder)) {
        LogLine({L"Started ", pszProgram, L" in ", pszFolder, L" through the user's shell"});
        return true;
    }
    LogFailure({L"The user's shell did not start ", pszProgram, L": it starts from setup"}, ::GetLastError());
    wchar_t commandLine[1024];
    return FormatText(commandLine, L"\"%s\"", pszProgram) && RunProgram(commandLine, 1, pszFolder);
}
