#include "tests/controls/ControlsWorld.h"

#include <algorithm>

#include "tests/support/TestSupport.h"

namespace controlstest {

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

}  // namespace

TestDialog::TestDialog() {
    SubclassWindow(::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CONTROLS), nullptr,
                                        &PlainDialogProc, 0));
    SetWindowPos(HWND_TOP, 0, 0, 1010, 300, SWP_SHOWWINDOW);
    Refresh(m_hWnd);
}

TestDialog::~TestDialog() {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

LRESULT TestDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) m_notifications.push_back(*reinterpret_cast<const NMHDR*>(lParam));
    return CWnd::WindowProc(message, wParam, lParam);
}

void Pump(DWORD ms) {
    PumpUntil(ms, [] { return false; });
}

bool PumpUntil(DWORD ms, const std::function<bool()>& condition) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (condition()) return true;
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= ms) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(ms - elapsed, 20), QS_ALLINPUT);
    }
}

void Refresh(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
}

COLORREF PixelAt(HWND window, int x, int y) {
    HDC dc = ::GetDC(window);
    const COLORREF colour = ::GetPixel(dc, x, y);
    ::ReleaseDC(window, dc);
    return colour;
}

RECT Ink(HWND window, COLORREF background) {
    RECT client, ink = {LONG_MAX, LONG_MAX, 0, 0};
    ::GetClientRect(window, &client);
    HDC dc = ::GetDC(window);
    for (LONG y = 0; y < client.bottom; ++y) {
        for (LONG x = 0; x < client.right; ++x) {
            if (::GetPixel(dc, x, y) == background) continue;
            ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1), std::max(ink.bottom, y + 1)};
        }
    }
    ::ReleaseDC(window, dc);
    return ink.right ? ink : RECT{0, 0, 0, 0};
}

void MouseAt(HWND window, int x, int y, DWORD buttons) {
    POINT at = {x, y};
    ::ClientToScreen(window, &at);
    testsupport::SendMouse(at.x, at.y, MOUSEEVENTF_MOVE | buttons);
    Pump(50);
}

void ClickAt(HWND window, int x, int y) {
    MouseAt(window, x, y, MOUSEEVENTF_LEFTDOWN);
    MouseAt(window, x, y, MOUSEEVENTF_LEFTUP);
}

}  // namespace controlstest
