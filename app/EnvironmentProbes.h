// The two probes of the running system that start-up calls once, before any other thread exists.
#pragma once

#include <windows.h>

BOOL IsRunningOnWow64();
BOOL IsVistaWorkstation();
