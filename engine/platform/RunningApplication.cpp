#include "engine/platform/RunningApplication.h"

#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/OutsideComponents.h"
#include "engine/platform/SetupPlatform.h"

void CloseRunningApp(const wchar_t* pszAppName) {
    // An empty title would match some unrelated untitled window.
    if (!pszAppName[0]) return;
    ISetupPlatform& os = SetupPlatform();
    HWND window = os.FindTopWindow(pszAppName);  // borrowed handle
    if (!window) return;
    // A window that does not answer must not hold up an install that nobody watches.
    if (os.SendCloseMessage(window, kAppCloseTimeoutMs))
        LogLine({L"Sent WM_CLOSE to the window titled \"", pszAppName, L"\""});
    else
        LogLine({L"The window titled \"", pszAppName, L"\" did not handle WM_CLOSE within ",
                 NumberText(kAppCloseTimeoutMs), L" ms: left alone"});
    FlushSetupLog();
    os.Pause(kAppClosePauseMs);
}
