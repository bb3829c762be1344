#include "engine/SetupWorker.h"

#include <cstring>

#include "base/TextFormat.h"
#include "engine/InstallProcedure.h"
#include "engine/Removal.h"
#include "engine/SetupConfig.h"
#include "engine/SetupLog.h"
#include "engine/SetupPlatform.h"

namespace {

WorkerParams g_workerParams;
// Set while a worker owns the parameter block or runs.
volatile LONG g_workerBusy = 0;

}  // namespace

fw::UniqueHandle StartSetupWorker(const wchar_t* pszSetupDir, HWND hNotifyWnd, int bRemove) {
    if (::InterlockedCompareExchange(&g_workerBusy, 1, 0) != 0) return fw::UniqueHandle();
    if (!CopyText(g_workerParams.szSetupDir, pszSetupDir)) {
        ::InterlockedExchange(&g_workerBusy, 0);
        return fw::UniqueHandle();
    }
    g_workerParams.hNotifyWnd = hNotifyWnd;
    g_workerParams.bRemove = bRemove;
    fw::UniqueHandle thread(::CreateThread(nullptr, 0, SetupWorkerProc, &g_workerParams, 0, nullptr));
    if (!thread) ::InterlockedExchange(&g_workerBusy, 0);
    return thread;
}

DWORD WINAPI SetupWorkerProc(LPVOID pParam) {
    WorkerParams params;
    std::memcpy(&params, pParam, sizeof params);
    ISetupPlatform& os = SetupPlatform();
    const WPARAM endCode = params.bRemove ? PROGRESS_REMOVE_END : PROGRESS_INSTALL_END;
    // The engine is built without exceptions: nothing can escape the thread's entry procedure.
    bool ok = false;
    if (params.bRemove) {
        os.PostMessage(params.hNotifyWnd, WM_SETUP_PROGRESS, PROGRESS_REMOVE_BEGIN, 0);
        ok = RunRemovalFromSetupFolder(params.szSetupDir);
    } else {
        SetupConfig config;
        ReadSetupConfig(params.szSetupDir, config);
        os.PostMessage(params.hNotifyWnd, WM_SETUP_PROGRESS, PROGRESS_INSTALL_BEGIN, 0);
        ok = RunInstall(params.szSetupDir, config);
    }
    FlushSetupLog();
    os.PostMessage(params.hNotifyWnd, WM_SETUP_PROGRESS, endCode, ok ? 1 : 0);
    ::InterlockedExchange(&g_workerBusy, 0);
    return 1;
}
