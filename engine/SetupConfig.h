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

// pszSetupDir ends with a backslash. Needs g_bWow64 to be set. Returns whether setup.ini was
// there; without it every field takes its default.
bool ReadSetupConfig(const wchar_t* pszSetupDir, SetupConfig& config);
// The same from the file iniPath (may be null: the defaults), which may carry another name: an
// earlier setup.ini moved aside by an install.
bool ReadSetupConfigFile(const wchar_t* iniPath, SetupConfig& config);

// A name that can only mean one file directly inside its folder: not empty, no separator, drive
// colon or character that no file name may hold, not only dots and blanks, no device name.
bool IsPlainFileName(const wchar_t* name);
// A plain file name that also does not end in a dot or blank, which the system would drop: the
// folder created would not be the one named. Names the install folder under Program Files.
bool IsUsableFolderName(const wchar_t* name);
