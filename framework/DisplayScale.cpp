#include "framework/DisplayScale.h"

#include "framework/DeviceContext.h"
#include "framework/SystemLibrary.h"

namespace {

// Of user32, which the program imports: looked up, not loaded.
template <typename Fn>
Fn FindUser32Function(const char* name) {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");  // borrowed handle
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(user32, name))) : nullptr;
}

UINT SystemDpi() {
    CClientDC screen(nullptr);
    const int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

// Windows 8.1 on: the effective scale of the monitor.
UINT MonitorDpi(HMONITOR monitor) {
    using DpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    if (const auto forMonitor = FindSystemFunction<DpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor")) {
        UINT x = 0, y = 0;
        if (SUCCEEDED(forMonitor(monitor, 0, &x, &y)) && y) return y;
    }
    return SystemDpi();
}

}  // namespace

UINT GetWindowDpi(HWND window) {
    // Windows 10 1607 on.
    using DpiForWindowFn = UINT(WINAPI*)(HWND);
    if (const auto forWindow = FindUser32Function<DpiForWindowFn>("GetDpiForWindow")) {
        const UINT dpi = forWindow(window);
        if (dpi) return dpi;
    }
    return MonitorDpi(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY));
}

UINT GetPrimaryMonitorDpi() {
    return MonitorDpi(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

int GetSystemMetricForDpi(int index, UINT dpi) {
    using MetricsForDpiFn = int(WINAPI*)(int, UINT);
    if (const auto forDpi = FindUser32Function<MetricsForDpiFn>("GetSystemMetricsForDpi")) return forDpi(index, dpi);
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

void KeepDialogLayoutOnDpiChange(HWND dialog) {
    constexpr int kDisableAll = 1;                        // DDC_DISABLE_ALL
    constexpr int kKeepFontAndPlace = 1 | 2;              // DCDC_DISABLE_FONTUPDATE | DCDC_DISABLE_RELAYOUT
    using BehaviourFn = BOOL(WINAPI*)(HWND, int, int);
    const auto dialogBehaviour = FindUser32Function<BehaviourFn>("SetDialogDpiChangeBehavior");
    const auto controlBehaviour = FindUser32Function<BehaviourFn>("SetDialogControlDpiChangeBehavior");
    if (dialogBehaviour) dialogBehaviour(dialog, kDisableAll, kDisableAll);
    if (!controlBehaviour) return;
    for (HWND control = ::GetWindow(dialog, GW_CHILD); control; control = ::GetWindow(control, GW_HWNDNEXT))
        controlBehaviour(control, kKeepFontAndPlace, kKeepFontAndPlace);
}
