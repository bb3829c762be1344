// Measures how long a program takes until its window is on the screen and painted:
//   window_timer.exe <x> <y> <RRGGBB> <command line>
// starts the command line and waits until a visible top-level window of the new process shows
// the colour RRGGBB at (x, y) of its window rectangle on the screen; prints the milliseconds
// from the process creation, then asks the window to close and waits for the process.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "tests/support/TestSupport.h"

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: window_timer <x> <y> <RRGGBB> <command line>\n");
        return 2;
    }
    // Screen pixels as they are at every scale, not those of a 100 % program's view of them.
    ::SetProcessDPIAware();
    const int x = std::wcstol(argv[1], nullptr, 10);
    const int y = std::wcstol(argv[2], nullptr, 10);
    const unsigned long rgb = std::wcstoul(argv[3], nullptr, 16);
    const COLORREF wanted = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    std::wstring commandLine;
    for (int i = 4; i < argc; ++i) commandLine += (i > 4 ? L" " : L"") + std::wstring(argv[i]);

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION raw = {};
    const double start = Now();
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &raw))
        return 3;
    fw::UniqueProcessInformation process{fw::UniqueHandle(raw.hProcess), fw::UniqueHandle(raw.hThread)};

    double painted = -1;
    HWND window = nullptr;
    while (Now() - start < 20000 && ::WaitForSingleObject(process.process.get(), 0) == WAIT_TIMEOUT) {
        if (!window) {
            const std::vector<HWND> shown = testsupport::VisibleWindowsOf(raw.dwProcessId);
            if (!shown.empty()) window = shown.front();
        }
        if (window) {
            RECT rect;
            ::GetWindowRect(window, &rect);
            HDC screen = ::GetDC(nullptr);
            const COLORREF seen = ::GetPixel(screen, rect.left + x, rect.top + y);
            ::ReleaseDC(nullptr, screen);
            if (seen == wanted) {
                painted = Now() - start;
                break;
            }
        }
        ::Sleep(1);
    }
    std::printf("%.1f\n", painted);
    if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.process.get(), 10000) != WAIT_OBJECT_0) ::TerminateProcess(process.process.get(), 1);
    return painted < 0 ? 1 : 0;
}
