#include "app/SetupRoads.h"

#include "base/TextFormat.h"
#include "engine/install/InstallProcedure.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/ProgramStart.h"
#include "engine/removal/Removal.h"
#include "ui/LangSetupDlg.h"

SetupRoad ChooseSetupRoad(const CKSCommandLineInfo& info) {
    if (info.m_nParams < 1) return SetupRoad::InstallWizard;
    if (info.m_bDelPkg) return SetupRoad::RemovalWizard;
    if (info.m_bSilentDel) return SetupRoad::SilentRemoval;
    if (info.m_bSilent) return SetupRoad::SilentInstall;
    return SetupRoad::InstallWizard;
}

bool IsWindowlessRoad(SetupRoad road) {
    return road == SetupRoad::SilentInstall || road == SetupRoad::SilentRemoval;
}

int RunSilentInstall(const wchar_t* pszSetupDir, const SetupConfig& config) {
    const bool installed = RunInstall(pszSetupDir, config);
    // Never after a failed install: its program is not there, or is the earlier one put back.
    if (installed && config.bLaunchInSilentMode) LaunchInstalledApp(pszSetupDir, &config);
    return installed ? kExitSuccess : kExitInstallFailure;
}

int RunSilentRemoval(const wchar_t* pszSetupDir) {
    return RunRemovalFromSetupFolder(pszSetupDir) ? kExitSuccess : kExitInstallFailure;
}

int RunWizard(SetupRoad road, const wchar_t* pszSetupDir, const SetupConfig& config, HMODULE hLangLib) {
    if (!hLangLib) {
        LogLine({L"no interface-language library beside the program: no wizard"});
        return kExitInstallFailure;
    }
    CLangSetupDlg dlg(pszSetupDir, road == SetupRoad::RemovalWizard ? 1 : 0, hLangLib);
    dlg.SetAppName(config.szAppName);
    const INT_PTR result = dlg.DoModal();
    const bool launch = result == IDOK && dlg.LaunchChosen();
    LogLine({L"wizard left through ", result == IDOK ? L"Finish" : result == IDCANCEL ? L"Cancel or close" : L"an error",
             launch ? L", launch box ticked" : L""});
    if (launch) LaunchInstalledApp(pszSetupDir, nullptr);
    return WizardExitCode(result, dlg.WorkCompleted(), dlg.WorkSucceeded());
}

int WizardExitCode(INT_PTR dialogResult, bool workCompleted, bool workSucceeded) {
    if (workCompleted) return workSucceeded ? kExitSuccess : kExitInstallFailure;
    return dialogResult == -1 ? kExitInstallFailure : kExitUserCancel;
}

bool LaunchInstalledApp(const wchar_t* pszSetupDir, const SetupConfig* pConfig) {
    SetupConfig config;
    if (pConfig)
        config = *pConfig;
    else
        ReadSetupConfig(pszSetupDir, config);
    // Without an install folder the path would name a file in the root of the current drive, and
    // a file name that is not plain would name a program outside the install folder.
    if (!config.szInstallDir[0] || !IsPlainFileName(config.szAppFileName)) return false;
    wchar_t program[MAX_PATH];
    if (!FormatText(program, L"%s\\%s", config.szInstallDir, config.szAppFileName)) return false;
    return StartForUser(program, config.szInstallDir);
}
