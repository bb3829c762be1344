// The engine's messages for the user, and whether anybody is at the screen to read them: a
// message is always logged and, unless nobody is at the screen, also shown in a box.
#pragma once

#include <windows.h>

// Nobody is at the screen (the silent roads): messages go to the log only, so that no run ever
// waits for a click. Written once by start-up, before any worker exists; only read afterwards.
extern BOOL g_bUnattended;

// A message for the user: logged, then shown as a box without an owner, in front of every other
// window, unless unattended. Returns the box's answer, or IDOK when it was not shown.
int ShowSetupMessage(const wchar_t* text, const wchar_t* caption, UINT type);
// The engine's failure message: caption "Fail", warning icon, OK button.
void ShowFailureMessage(const wchar_t* text);
