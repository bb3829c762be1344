// What assistive tools (screen readers, magnifiers, test tools) get through the platform's
// accessibility interface for a window: the standard object that the platform makes for it, with
// the answers that the window's object knows better (CWnd::GetAccessibleRole and the others) put
// in their place. Every other question (where it is, its parent and children, the focus, the
// default action) goes to the standard object.
#pragma once

#include <windows.h>

// The answer to WM_GETOBJECT for the window's client object; 0 when there is none to give (the
// window then answers as the platform would).
LRESULT AnswerAccessibleObject(HWND window, WPARAM wParam);
// Leaves the COM apartment that answering entered on this thread; called when the windows that
// answered are gone (the end of a modal run).
void EndAccessibleObjects();
