#include "engine/SetupMessages.h"

#include "engine/SetupLog.h"
#include "engine/SetupPlatform.h"

BOOL g_bUnattended = 0;

int ShowSetupMessage(const wchar_t* text, const wchar_t* caption, UINT type) {
    if (g_bUnattended) {
        LogLine({L"Message not shown (nobody at the screen): [", caption, L"] ", text});
        FlushSetupLog();
        return IDOK;
    }
    LogLine({L"Message shown: [", caption, L"] ", text});
    FlushSetupLog();
    // Without an owner the box could open behind the wizard: it comes to the front and stays on top.
    // MB_SYSTEMMODAL is MB_APPLMODAL with WS_EX_TOPMOST, as MB_TOPMOST is; Wine honours only the former.
    return SetupPlatform().ShowMessageBox(text, caption, type | MB_SETFOREGROUND | MB_TOPMOST | MB_SYSTEMMODAL);
}

void ShowFailureMessage(const wchar_t* text) {
    ShowSetupMessage(text, L"Fail", MB_OK | MB_ICONWARNING);
}
