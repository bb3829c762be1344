// The Setup configuration read from setup.ini in the setup folder.
#pragma once

#include <windows.h>

#include "base/FileNames.h"

struct SetupConfig {
    wchar_t szInstallDir[MAX_PATH];     // no trailing backslash; empty when the folder name is refused
    wchar_t szAppFileName[MAX_PATH];
    wchar_t szAppName[MAX_PATH];
    wchar_t szCompanyName[MAX_PATH];
    wchar_t szAppFolderName[MAX_PATH];
    wchar_t szVersion[MAX_PATH];
    BOOL bLaunchInSilentMode;
};

// pszSetupDir ends with a backslash. Needs g_bWow64 to be set. Returns whether setup.ini was
// there; without it every field takes its default.
bool ReadSetupConfig(const wchar_t* pszSetupDir, SetupConfig& config);
// The same from the file iniPath (may be null: the defaults), which may carry another name: an
// earlier setup.ini moved aside by an install.
bool ReadSetupConfigFile(const wchar_t* iniPath, SetupConfig& config);
