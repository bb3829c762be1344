// Probes of the running system and two small helpers shared by start-up and the install engine.
#pragma once

#include <windows.h>

// The program runs as a 32-bit process on 64-bit Windows. Written once at start-up.
extern BOOL g_bWow64;
// Service mode: Windows Vista workstation, or a version that cannot be read. Written once at start-up.
extern BOOL g_bVista;

// A kernel32 function looked up by name at run time, so that the program still starts on
// systems that lack it; null when it is not there.
template <typename Fn>
Fn FindKernel32Function(const char* name) {
    HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");  // borrowed handle
    return kernel32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(kernel32, name))) : nullptr;
}

BOOL IsRunningOnWow64();
BOOL IsVistaWorkstation();
// Records path under the compatibility assistant's Persisted key of the current user (REG_DWORD 1).
void MarkCompatAssistantPersisted(const wchar_t* path);
// Copies pszPath into pszFolder (room for the whole path) and cuts it after its last backslash.
void GetFolderOfPath(const wchar_t* pszPath, wchar_t* pszFolder);
