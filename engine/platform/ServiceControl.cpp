#include "engine/platform/ServiceControl.h"

#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/OutsideComponents.h"
#include "engine/platform/ProgramStart.h"
#include "engine/platform/SetupPlatform.h"

namespace {

// The program path is quoted: the install folder holds a blank ("Program Files"), and an
// unquoted path would let a planted C:\Program.exe run instead.
bool FormatServiceCommand(wchar_t (&commandLine)[1024], const wchar_t* installDir, const wchar_t* serviceSwitch) {
    if (FormatText(commandLine, L"\"%s\\%s\" %s", installDir, kServiceSetupFileName, serviceSwitch)) return true;
    LogLine({L"The service setup program's command line in ", installDir, L" does not fit: not started"});
    return false;
}

}  // namespace

bool ReleaseService(const wchar_t* pszInstallDir) {
    bool ok = true;
    for (const wchar_t* serviceSwitch : {kServiceStopSwitch, kServiceRemoveSwitch}) {
        wchar_t commandLine[1024];
        if (!FormatServiceCommand(commandLine, pszInstallDir, serviceSwitch)) {
            ok = false;
            continue;
        }
        RunProgram(commandLine, 1, pszInstallDir);
        FlushSetupLog();
        SetupPlatform().Pause(kServiceReleasePauseMs);
    }
    return ok;
}

bool ServiceProgramIsIn(const wchar_t* pszInstallDir) {
    wchar_t program[MAX_PATH];
    return FormatText(program, L"%s\\%s", pszInstallDir, kServiceSetupFileName) && SetupPlatform().PathExists(program);
}

bool InstallService(const wchar_t* pszInstallDir) {
    wchar_t commandLine[1024];
    return FormatServiceCommand(commandLine, pszInstallDir, kServiceInstallSwitch) &&
           RunProgram(commandLine, 1, pszInstallDir);
}
