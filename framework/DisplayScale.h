// The display's scale: the dots per inch of the monitor a window is on, and lengths drawn for
// 96 dots per inch (design pixels) in that monitor's pixels. A monitor's own scale is known from
// Windows 8.1 on; before, every monitor has the system's.
#pragma once

#include <windows.h>

inline constexpr UINT kDesignDpi = 96;

// value design pixels at dpi, rounded half away from zero.
inline int ScaleToDpi(int value, UINT dpi) {
    return ::MulDiv(value, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}
// The dots per inch of the monitor that window is on.
UINT GetWindowDpi(HWND window);
// Those of the primary monitor, where a window made at (0, 0) opens.
UINT GetPrimaryMonitorDpi();
// A system metric at dpi: the platform's own for that scale where it has one, else the system's
// scaled from the system's dots per inch.
int GetSystemMetricForDpi(int index, UINT dpi);
// Keeps the platform's dialog manager (Windows 10 1703 on) from moving, resizing and refonting the
// dialog's controls itself when the scale changes: a dialog that lays itself out does it all.
void KeepDialogLayoutOnDpiChange(HWND dialog);
