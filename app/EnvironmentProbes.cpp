#include "app/EnvironmentProbes.h"

#include "base/Kernel32.h"

BOOL IsRunningOnWow64() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64Process = FindKernel32Function<IsWow64ProcessFn>("IsWow64Process");
    if (!isWow64Process) return 0;
    BOOL answer = 0;
    isWow64Process(::GetCurrentProcess(), &answer);
    return answer ? 1 : 0;
}

BOOL IsVistaWorkstation() {
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return 1;
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion == 6 && info.dwMinorVersion == 0 &&
                   info.wProductType == VER_NT_WORKSTATION
               ? 1
               : 0;
}
