#include "app/LangSetupApp.h"

#include "app/EnvironmentProbes.h"
#include "app/LanguageLibrary.h"
#include "app/RunLog.h"
#include "engine/Environment.h"
#include "engine/InstallProcedure.h"
#include "engine/InstallUndo.h"
#include "engine/Removal.h"
#include "engine/SetupLog.h"
#include "framework/Kernel32.h"
#include "framework/TextFormat.h"
#include "ui/LangSetupDlg.h"

namespace {

void LowerCaseAscii(wchar_t* text) {
    for (; *text; ++text) {
        if (*text >= L'A' && *text <= L'Z') *text = static_cast<wchar_t>(*text - L'A' + L'a');
    }
}

}  // namespace

bool IsWindowlessRoad(SetupRoad road) {
    return road == SetupRoad::SilentInstall || road == SetupRoad::SilentRemoval;
}

SetupRoad ChooseSetupRoad(const CKSCommandLineInfo& info) {
    if (info.m_nParams < 1) return SetupRoad::InstallWizard;
    if (info.m_bDelPkg) return SetupRoad::RemovalWizard;
    if (info.m_bSilentDel) return SetupRoad::SilentRemoval;
    if (info.m_bSilent) return SetupRoad::SilentInstall;
    return SetupRoad::InstallWizard;
}

int WizardExitCode(INT_PTR dialogResult, bool workCompleted, bool workSucceeded) {
    if (workCompleted) return workSucceeded ? kExitSuccess : kExitInstallFailure;
    return dialogResult == -1 ? kExitInstallFailure : kExitUserCancel;
}

bool ClaimSingleInstance(fw::UniqueHandle& mutex) {
    mutex.reset(::CreateMutexW(nullptr, FALSE, kSingleInstanceMutexName));
    const DWORD error = ::GetLastError();
    if (mutex) {
        if (error != ERROR_ALREADY_EXISTS) return true;
        mutex.reset();
        return false;
    }
    // A copy of another account (the system account's deployment) made it with a default
    // security that grants this one less than full access: it exists all the same.
    if (error == ERROR_ACCESS_DENIED) {
        fw::UniqueHandle existing(::OpenMutexW(SYNCHRONIZE, FALSE, kSingleInstanceMutexName));
        if (existing || ::GetLastError() == ERROR_ACCESS_DENIED) return false;
    }
    // Not made for another reason: nothing is refused on its account.
    return true;
}

namespace {

BOOL CALLBACK FindMarkedWizard(HWND window, LPARAM found) {
    if (!::GetPropW(window, CLangSetupDlg::kWindowMark)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

bool BringRunningWizardToFront() {
    HWND wizard = nullptr;  // another process's window
    ::EnumWindows(FindMarkedWizard, reinterpret_cast<LPARAM>(&wizard));
    if (!wizard) return false;
    // Asynchronous, so that a running copy that does not answer cannot hold this one up.
    if (::IsIconic(wizard)) ::ShowWindowAsync(wizard, SW_RESTORE);
    ::SetForegroundWindow(wizard);
    return true;
}

void RestrictLibrarySearchToSystem() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    if (auto setDefault = FindKernel32Function<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories"))
        setDefault(kSearchSystem32);
    // Older systems: at least take the program's current folder out of the search.
    if (auto setDirectory = FindKernel32Function<SetDllDirectoryFn>("SetDllDirectoryW")) setDirectory(L"");
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
    wchar_t commandLine[1024];
    if (!FormatText(commandLine, L"\"%s\\%s\"", config.szInstallDir, config.szAppFileName)) return false;
    return RunProgram(commandLine, 1, config.szInstallDir);
}

bool RunSilentInstall(const wchar_t* pszSetupDir, const SetupConfig& config) {
    const bool installed = RunInstall(pszSetupDir, config);
    // Never after a failed install: its program is not there, or is the earlier one put back.
    if (installed && config.bLaunchInSilentMode) LaunchInstalledApp(pszSetupDir, &config);
    return installed;
}

bool RunSilentRemoval(const wchar_t* pszSetupDir) {
    return RunRemovalFromSetupFolder(pszSetupDir);
}

CLangSetupApp::CLangSetupApp() { AfxSetOutOfMemoryExit(&EndRunOutOfMemory, kExitInstallFailure); }

BOOL CLangSetupApp::InitInstance() {
    RestrictLibrarySearchToSystem();

    if (!ClaimSingleInstance(m_hMutex)) {
        m_nExitCode = kExitAnotherInstallRunning;
        BeginRunLogOfSecondCopy();
        // A user who starts the wizard again is shown the one already open; nobody is at the
        // screen on the silent roads.
        CKSCommandLineInfo cmdInfo;
        ParseCommandLine(cmdInfo);
        if (!IsWindowlessRoad(ChooseSetupRoad(cmdInfo)) && BringRunningWizardToFront())
            LogLine({L"The running copy's wizard was brought to the front"});
        return FALSE;
    }

    wchar_t szPath[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    // A cut path would name another folder: nothing is done from it, and the log says why.
    if (length == 0 || length >= MAX_PATH) {
        m_nExitCode = kExitInstallFailure;
        BeginRunLogOfUnusablePath();
        return FALSE;
    }
    wchar_t szSetupDir[MAX_PATH];
    GetFolderOfPath(szPath, szSetupDir);
    LowerCaseAscii(szPath);

    CKSCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);

    g_bWow64 = IsRunningOnWow64();
    g_bVista = IsVistaWorkstation();

    const SetupRoad road = ChooseSetupRoad(cmdInfo);
    // Which road the engine is on: with nobody at the screen its messages go to the log only.
    g_bUnattended = IsWindowlessRoad(road) ? 1 : 0;
    SetupConfig config;
    const bool haveIni = ReadSetupConfig(szSetupDir, config);
    BeginRunLog(szSetupDir, road, config, haveIni);
    // Failure until a road reports its end, so an unexpected end never reads as success.
    m_nExitCode = kExitInstallFailure;
    // After the log is open, so that its outcome is logged.
    if (g_bVista) MarkCompatAssistantPersisted(szPath);
    // An install that never completed is undone before any road does its own work.
    if (!RecoverInterruptedInstall(config)) return FALSE;

    if (road == SetupRoad::SilentInstall) {
        m_nExitCode = RunSilentInstall(szSetupDir, config) ? kExitSuccess : kExitInstallFailure;
        return FALSE;
    }
    if (road == SetupRoad::SilentRemoval) {
        m_nExitCode = RunSilentRemoval(szSetupDir) ? kExitSuccess : kExitInstallFailure;
        return FALSE;
    }

    // The wizard roads; without a language library nothing is shown.
    g_hLangLib.reset(LoadLanguageLibrary(szPath));
    if (!g_hLangLib) {
        LogLine({L"no interface-language library beside the program: no wizard"});
        return FALSE;
    }
    CLangSetupDlg dlg(szSetupDir, road == SetupRoad::RemovalWizard ? 1 : 0, g_hLangLib.get());
    dlg.SetAppName(config.szAppName);
    m_pMainWnd = &dlg;
    const INT_PTR result = dlg.DoModal();
    m_pMainWnd = nullptr;
    m_nExitCode = WizardExitCode(result, dlg.WorkCompleted(), dlg.WorkSucceeded());
    LogLine({L"wizard left through ", result == IDOK ? L"Finish" : result == IDCANCEL ? L"Cancel or close" : L"an error",
             result == IDOK && g_bLaunchApp ? L", launch box ticked" : L""});
    if (result == IDOK && g_bLaunchApp) LaunchInstalledApp(szSetupDir, nullptr);
    return FALSE;
}

int CLangSetupApp::ExitInstance() {
    const int exitCode = CWinApp::ExitInstance();
    // Before the mutex is released: a copy started next appends to the same log.
    EndRunLog(exitCode);
    m_hMutex.reset();
    g_hLangLib.reset();
    return exitCode;
}
