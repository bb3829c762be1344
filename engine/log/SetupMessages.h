// The engine's messages for the user, and whether anybody is at the screen to read them: a
// message is always logged and, unless nobody is at the screen, also shown in a box.
#pragma once

#include <windows.h>

// Whether anybody is at the screen: start-up hands it in once, before any worker exists. Nobody is
// on the silent roads: messages then go to the log only, so that no run ever waits for a click.
enum class MessagePolicy { ShowAndLog, LogOnly };
void SetMessagePolicy(MessagePolicy policy);
MessagePolicy CurrentMessagePolicy();

// Where a message is shown: a box without an owner (the engine's platform is one).
class ISetupMessageBox {
public:
    virtual int ShowMessageBox(const wchar_t* text, const wchar_t* caption, UINT type) = 0;

protected:
    ~ISetupMessageBox() = default;
};

// A message for the user: logged, then shown by box in front of every other window, unless nobody
// is at the screen. Returns the box's answer, or IDOK when it was not shown.
int ShowSetupMessage(ISetupMessageBox& box, const wchar_t* text, const wchar_t* caption, UINT type);
// The engine's failure message: caption "Fail", warning icon, OK button.
void ShowFailureMessage(ISetupMessageBox& box, const wchar_t* text);
