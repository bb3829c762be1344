// What the engine knows of the running system, written once by start-up, and the two small
// helpers it shares with start-up.
#pragma once

#include <windows.h>

// The program runs as a 32-bit process on 64-bit Windows. Written once at start-up.
extern BOOL g_bWow64;
// Service mode: Windows Vista workstation, or a version that cannot be read. Written once at start-up.
extern BOOL g_bVista;

// The compatibility assistant's key of the current user, under HKEY_CURRENT_USER.
inline constexpr wchar_t kCompatAssistantPersistedKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

// Records path under the compatibility assistant's Persisted key of the current user (REG_DWORD 1).
void MarkCompatAssistantPersisted(const wchar_t* path);
// Copies pszPath into pszFolder (room for the whole path) and cuts it after its last backslash.
void GetFolderOfPath(const wchar_t* pszPath, wchar_t* pszFolder);
