#include "engine/platform/ProgramStart.h"

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
