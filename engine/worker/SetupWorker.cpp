#include "engine/worker/SetupWorker.h"

#include <cstring>

#include "base/TextFormat.h"
#include "engine/install/InstallProcedure.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/SetupConfig.h"
#include "engine/platform/SetupPlatform.h"
#include "engine/removal/Removal.h"

namespace {

// Set while a worker runs: one at a time.
volatile LONG g_workerBusy = 0;

}  // namespace

fw::UniqueHandle StartSetupWorker(const wchar_t* pszSetupDir, HWND hNotifyWnd, int bRemove) {
    if (::InterlockedCompareExchange(&g_workerBusy, 1, 0) != 0) return fw::UniqueHandle();
    // The worker's own copy of its parameters, handed to it with the thread, which frees it.
    auto* params = static_cast<WorkerParams*>(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(WorkerParams)));
    fw::UniqueHandle thread;
    if (params && CopyText(params->szSetupDir, pszSetupDir)) {
        params->hNotifyWnd = hNotifyWnd;
        params->bRemove = bRemove;
        thread.reset(::CreateThread(nullptr, 0, SetupWorkerProc, params, 0, nullptr));
    }
    if (!thread) {
        if (params) ::HeapFree(::GetProcessHeap(), 0, params);
        ::InterlockedExchange(&g_workerBusy, 0);
    }
    return thread;
}

DWORD WINAPI SetupWorkerProc(LPVOID pParam) {
    WorkerParams params;
    std::memcpy(&params, pParam, sizeof params);
    ::HeapFree(::GetProcessHeap(), 0, pParam);
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
