// The program's roads: which one the command line chooses, what each does, and the exit code
// it ends with.
#pragma once

#include <windows.h>

#include "app/KSCommandLineInfo.h"
#include "engine/platform/SetupConfig.h"

enum class SetupRoad {
    InstallWizard,
    RemovalWizard,
    SilentInstall,
    SilentRemoval,
};

// Exit codes, as deployment tools know them.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitUserCancel = 1602;              // ERROR_INSTALL_USEREXIT
inline constexpr int kExitInstallFailure = 1603;          // ERROR_INSTALL_FAILURE
inline constexpr int kExitAnotherInstallRunning = 1618;   // ERROR_INSTALL_ALREADY_RUNNING

SetupRoad ChooseSetupRoad(const CKSCommandLineInfo& info);
// The silent install and the silent removal: nobody is at the screen.
bool IsWindowlessRoad(SetupRoad road);

// Each road runs to its end and returns its exit code. pszSetupDir ends with a backslash; config
// is setup.ini of that folder, as start-up read it.
// The silent install: the install and, when setup.ini asks for it and the install completed, the
// launch.
int RunSilentInstall(const wchar_t* pszSetupDir, const SetupConfig& config);
// The removal without any window; refused without setup.ini.
int RunSilentRemoval(const wchar_t* pszSetupDir);
// The install or removal wizard, with the texts of hLangLib (borrowed); without a language
// library nothing is shown. Finish with the launch box ticked starts the installed application.
int RunWizard(SetupRoad road, const wchar_t* pszSetupDir, const SetupConfig& config, HMODULE hLangLib);

// The exit code of a wizard road: its work ended (successfully or not), or it was left before.
// dialogResult -1 means the wizard could not be shown.
int WizardExitCode(INT_PTR dialogResult, bool workCompleted, bool workSucceeded);

// Starts the installed application; pConfig null reads setup.ini afresh. Returns whether it started.
bool LaunchInstalledApp(const wchar_t* pszSetupDir, const SetupConfig* pConfig);
