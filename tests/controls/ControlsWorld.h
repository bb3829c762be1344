// Test bed of the skinned controls: the tests' own dialog on the screen, whose object reflects
// its controls' notifications and records WM_NOTIFY, the pixels it shows, and the real mouse.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "framework/Wnd.h"
#include "tests/controls/ControlsTestIds.h"

namespace controlstest {

// The state pictures' solid colours (make_test_pictures.py).
constexpr COLORREF kNormal = RGB(200, 0, 0), kPressed = RGB(0, 160, 0), kHover = RGB(0, 0, 200),
                   kChecked = RGB(220, 220, 0), kDisabled = RGB(128, 128, 128), kDisabledChecked = RGB(0, 200, 200),
                   kFrame = RGB(0, 0, 128), kMiddle = RGB(255, 200, 0), kKey = RGB(255, 0, 255);

// Dialog IDD_CONTROLS, modeless, 1010 x 300 pixels at the screen's top left.
class TestDialog : public CWnd {
public:
    TestDialog();
    ~TestDialog() override;
    std::vector<NMHDR> m_notifications;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Handles the waiting messages and those that arrive within ms; PumpUntil stops early when
// condition holds and tells whether it did.
void Pump(DWORD ms = 0);
bool PumpUntil(DWORD ms, const std::function<bool()>& condition);
// Repaints window and its children at once.
void Refresh(HWND window);
// The colour at (x, y) of window's client area as the screen shows it.
COLORREF PixelAt(HWND window, int x, int y);
// The bounding box of window's pixels that are not background; empty when there are none.
RECT Ink(HWND window, COLORREF background);
// The real mouse at (x, y) of window's client area, with MOUSEEVENTF button flags.
void MouseAt(HWND window, int x, int y, DWORD buttons = 0);
void ClickAt(HWND window, int x, int y);

}  // namespace controlstest
