#include "engine/log/SetupMessages.h"

#include "engine/log/SetupLog.h"

namespace {

// Written once by start-up, before any other thread exists; only read afterwards.
MessagePolicy g_policy = MessagePolicy::ShowAndLog;

}  // namespace

void SetMessagePolicy(MessagePolicy policy) {
    g_policy = policy;
}

MessagePolicy CurrentMessagePolicy() {
    return g_policy;
}

int ShowSetupMessage(ISetupMessageBox& box, const wchar_t* text, const wchar_t* caption, UINT type) {
    if (g_policy == MessagePolicy::LogOnly) {
        LogLine({L"Message not shown (nobody at the screen): [", caption, L"] ", text});
        FlushSetupLog();
        return IDOK;
    }
    LogLine({L"Message shown: [", caption, L"] ", text});
    FlushSetupLog();
    // Without an owner the box could open behind the wizard: it comes to the front and stays on top.
    // MB_SYSTEMMODAL is MB_APPLMODAL with WS_EX_TOPMOST, as MB_TOPMOST is; Wine honours only the former.
    return box.ShowMessageBox(text, caption, type | MB_SETFOREGROUND | MB_TOPMOST | MB_SYSTEMMODAL);
}

void ShowFailureMessage(ISetupMessageBox& box, const wchar_t* text) {
    ShowSetupMessage(box, text, L"Fail", MB_OK | MB_ICONWARNING);
}
