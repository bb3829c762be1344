// The yardstick for the wizard's start-up time: a program that only opens a window of the
// wizard's size at the display's scale, centred, painted in one colour (RGB 0x12, 0x34, 0x56),
// and closes on WM_CLOSE.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The scale of the screen, as the wizard takes it, rather than a stretched 100 %.
    ::SetProcessDPIAware();
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = ::CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    windowClass.lpszClassName = L"EmptyWindow";
    if (!::RegisterClassW(&windowClass)) return 1;
    const int width = ::MulDiv(584, dpi, 96), height = ::MulDiv(414, dpi, 96);
    HWND window = ::CreateWindowExW(WS_EX_APPWINDOW, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE,
                                    ::GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2,
                                    ::GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2, width, height, nullptr,
                                    nullptr, instance, nullptr);
    if (!window) return 1;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
