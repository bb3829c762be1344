#include "app/EnvironmentProbes.h"

#include <cwchar>

#include "engine/SetupPlatform.h"

BOOL g_bWow64 = 0;
BOOL g_bVista = 0;

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

void MarkCompatAssistantPersisted(const wchar_t* path) {
    auto key = SetupPlatform().CreateKey(
        HKEY_CURRENT_USER,
        L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted");
    if (!key) return;
    key->SetDword(path, 1);
}

void GetFolderOfPath(const wchar_t* pszPath, wchar_t* pszFolder) {
    const std::size_t length = std::wcslen(pszPath);
    std::wmemcpy(pszFolder, pszPath, length + 1);
    const wchar_t* lastSlash = std::wcsrchr(pszPath, L'\\');
    pszFolder[lastSlash ? (lastSlash - pszPath) + 1 : 0] = L'\0';
}
