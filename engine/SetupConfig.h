// The Setup configuration read from setup.ini in the setup folder.
#pragma once

#include <windows.h>

struct SetupConfig {
    wchar_t szInstallDir[MAX_PATH];     // no trailing backslash; empty when the folder name is refused
    wchar_t szAppFileName[MAX_PATH];
    wchar_t szAppName[MAX_PATH];
    wchar_t szCompanyName[MAX_PATH];
    wchar_t szAppFolderName[MAX_PATH];
    wchar_t szVersion[MAX_PATH];
    BOOL bLaunchInSilentMode;
};

// pszSetupDir ends with a backslash. Needs g_bWow64 to be set.
void ReadSetupConfig(const wchar_t* pszSetupDir, SetupConfig& config);

// A folder name that can only mean one folder directly under Program Files.
bool IsUsableFolderName(const wchar_t* name);
