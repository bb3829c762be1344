// The worker thread that runs the install or the removal for the wizard and reports its begin
// and end to the dialog by posted messages.
#pragma once

#include <windows.h>

#include "base/Handles.h"

inline constexpr UINT WM_SETUP_PROGRESS = WM_USER + 100;

enum SetupProgressCode : WPARAM {
    PROGRESS_INSTALL_BEGIN = 1,
    PROGRESS_INSTALL_END = 2,
    PROGRESS_REMOVE_BEGIN = 4,
    PROGRESS_REMOVE_END = 5,
    // Never posted by the worker, which reports a failure through its end code; the wizard shows
    // them as a run that did not complete.
    PROGRESS_INSTALL_INCOMPLETE = 3,
    PROGRESS_REMOVE_INCOMPLETE = 6,
};

// Second parameter of an end code: 1 after success, 0 after failure.
struct WorkerParams {
    wchar_t szSetupDir[MAX_PATH];
    HWND hNotifyWnd;
    int bRemove;
};

// Starts the worker with its parameters, which it owns from then on; hNotifyWnd may be null.
// Returns the thread's handle, or an empty one when the thread could not be created or a worker
// is still running (one worker at a time).
fw::UniqueHandle StartSetupWorker(const wchar_t* pszSetupDir, HWND hNotifyWnd, int bRemove);
// The thread's entry: pParam is a WorkerParams on the process heap, freed here.
DWORD WINAPI SetupWorkerProc(LPVOID pParam);
