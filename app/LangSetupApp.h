// The application object: from process start to process end along exactly one road.
#pragma once

#include <windows.h>

#include "app/KSCommandLineInfo.h"
#include "engine/SetupConfig.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"

enum class SetupRoad {
    InstallWizard,
    RemovalWizard,
    SilentInstall,
    SilentRemoval,
};

// Exit codes of the windowless roads, as deployment tools know them.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitUserCancel = 1602;              // ERROR_INSTALL_USEREXIT
inline constexpr int kExitInstallFailure = 1603;          // ERROR_INSTALL_FAILURE
inline constexpr int kExitAnotherInstallRunning = 1618;   // ERROR_INSTALL_ALREADY_RUNNING

// The single-instance mutex, machine-wide: one running copy across every session, so that a
// deployment run as the system account and a wizard in a user's session never run together.
inline constexpr wchar_t kSingleInstanceMutexName[] = L"Global\\KRT21C_INSTALL";

// Creates the single-instance mutex into mutex, or learns that another copy holds it (false).
// Created and tested in one step, so two copies started at the same instant cannot both pass.
bool ClaimSingleInstance(fw::UniqueHandle& mutex);
// A second copy on a wizard road: the running copy's wizard, restored when minimised, comes to
// the foreground. False when no wizard of it is on this desktop.
bool BringRunningWizardToFront();

SetupRoad ChooseSetupRoad(const CKSCommandLineInfo& info);
// The silent install and the silent removal: nobody is at the screen.
bool IsWindowlessRoad(SetupRoad road);

// The exit code of a wizard road: its work ended (successfully or not), or it was left before.
// dialogResult -1 means the wizard could not be shown.
int WizardExitCode(INT_PTR dialogResult, bool workCompleted, bool workSucceeded);

// The silent install: the install and, when setup.ini asks for it and the install completed, the
// launch. Returns false when the install failed.
bool RunSilentInstall(const wchar_t* pszSetupDir, const SetupConfig& config);
// The removal without any window; refused without setup.ini. Returns false when it failed.
bool RunSilentRemoval(const wchar_t* pszSetupDir);
// Starts the installed application; pConfig null reads setup.ini afresh. Returns whether it started.
bool LaunchInstalledApp(const wchar_t* pszSetupDir, const SetupConfig* pConfig);

// Restricts the search for libraries loaded at run time to the system folder, where the
// platform offers that, so that a library planted beside the program is never picked up.
void RestrictLibrarySearchToSystem();

class CLangSetupApp : public CWinApp {
public:
    CLangSetupApp();
    ~CLangSetupApp() override = default;

    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    fw::UniqueHandle m_hMutex;
};
