// The platform's common controls (progress bar, tooltips), loaded on first use rather than at
// process start: a program that never opens a window does not pay for loading them.
#pragma once

#include <windows.h>

// Registers the common-control classes of icc (ICC_* flags); FALSE when the library or its
// registration is not there. The library stays loaded for the rest of the process, as an
// imported one would.
BOOL InitCommonControlClasses(DWORD icc);
