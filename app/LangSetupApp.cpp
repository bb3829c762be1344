#include "app/LangSetupApp.h"

#include "app/EnvironmentProbes.h"
#include "app/KSCommandLineInfo.h"
#include "app/LanguageLibrary.h"
#include "app/LibrarySearch.h"
#include "app/RunLog.h"
#include "app/SetupRoads.h"
#include "app/SingleInstance.h"
#include "engine/log/SetupLog.h"
#include "engine/log/SetupMessages.h"
#include "engine/platform/Environment.h"
#include "engine/platform/SetupPlatform.h"
#include "engine/record/InstallUndo.h"
#include "ui/LangSetupDlg.h"

namespace {

// The program's full path; false when it does not fit, since a cut path would name another folder.
bool GetProgramPath(wchar_t (&path)[MAX_PATH]) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return length > 0 && length < MAX_PATH;
}

void LowerCaseAscii(wchar_t* text) {
    for (; *text; ++text) {
        if (*text >= L'A' && *text <= L'Z') *text = static_cast<wchar_t>(*text - L'A' + L'a');
    }
}

}  // namespace

CLangSetupApp::CLangSetupApp() { AfxSetOutOfMemoryExit(&EndRunOutOfMemory, kExitInstallFailure); }

BOOL CLangSetupApp::InitInstance() {
    RestrictLibrarySearchToSystem();
    CKSCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    const SetupRoad road = ChooseSetupRoad(cmdInfo);
    // What the engine reads of the system and the road, written here once, before any other thread
    // exists. With nobody at the screen the engine's messages go to the log only.
    g_bWow64 = IsRunningOnWow64();
    g_bVista = IsVistaWorkstation();
    SetMessagePolicy(IsWindowlessRoad(road) ? MessagePolicy::LogOnly : MessagePolicy::ShowAndLog);
    // The wizard's pictures are made while the program reads its settings, opens its log and
    // finds its language, and the display starts up.
    if (!IsWindowlessRoad(road)) CLangSetupDlg::StartPictures(m_pictures);

    wchar_t szPath[MAX_PATH];
    wchar_t szSetupDir[MAX_PATH] = {};
    const bool havePath = GetProgramPath(szPath);
    if (havePath) {
        GetFolderOfPath(szPath, szSetupDir);
        LowerCaseAscii(szPath);
    }
    // Read once: it names the log, and every road works from it.
    SetupConfig config{};
    const bool haveIni = havePath && ReadSetupConfig(szSetupDir, config);

    if (!ClaimSingleInstance(m_hMutex)) {
        m_nExitCode = kExitAnotherInstallRunning;
        BeginRunLogOfSecondCopy(havePath ? szSetupDir : nullptr, config, haveIni);
        // A user who starts the wizard again is shown the one already open; nobody is at the
        // screen on the silent roads.
        if (!IsWindowlessRoad(road) && BringRunningWizardToFront())
            LogLine({L"The running copy's wizard was brought to the front"});
        return FALSE;
    }
    // Failure until a road reports its end, so an unexpected end never reads as success.
    m_nExitCode = kExitInstallFailure;
    if (!havePath) {
        BeginRunLogOfUnusablePath();
        return FALSE;
    }
    BeginRunLog(szSetupDir, road, config, haveIni);
    // After the log is open, so that its outcome is logged.
    if (g_bVista) MarkCompatAssistantPersisted(szPath);
    // An install that never completed is undone before an install does its own work; one that
    // cannot be is not installed over. The removal undoes it itself, or takes what it can.
    const bool removal = road == SetupRoad::RemovalWizard || road == SetupRoad::SilentRemoval;
    if (!removal && !RecoverInterruptedInstall(config)) {
        ShowFailureMessage(SetupPlatform(), L"An earlier install that did not complete could not be undone!");
        return FALSE;
    }

    switch (road) {
    case SetupRoad::SilentInstall:
        m_nExitCode = RunSilentInstall(szSetupDir, config);
        break;
    case SetupRoad::SilentRemoval:
        m_nExitCode = RunSilentRemoval(szSetupDir);
        break;
    case SetupRoad::InstallWizard:
    case SetupRoad::RemovalWizard:
        m_hLangLib.reset(LoadLanguageLibrary(szPath));
        m_nExitCode = RunWizard(road, szSetupDir, config, m_hLangLib.get());
        break;
    }
    return FALSE;
}

int CLangSetupApp::ExitInstance() {
    const int exitCode = CWinApp::ExitInstance();
    // Before the mutex is released: a copy started next appends to the same log.
    EndRunLog(exitCode);
    m_hMutex.reset();
    m_hLangLib.reset();
    return exitCode;
}
