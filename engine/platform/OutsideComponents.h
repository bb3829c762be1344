// What the installer fixes about the programs it drives but does not build: the service setup
// program and the managed application.
#pragma once

#include <windows.h>

// The service setup program, driven in service mode only, each switch as its single argument.
inline constexpr wchar_t kServiceSetupFileName[] = L"XSrvSetup.exe";
inline constexpr wchar_t kServiceStopSwitch[] = L"-k";       // first of the release pair
inline constexpr wchar_t kServiceRemoveSwitch[] = L"-u";     // second of the release pair
inline constexpr wchar_t kServiceInstallSwitch[] = L"-i";    // after the new files are in place
inline constexpr DWORD kServiceReleasePauseMs = 1000;        // after each of "-k" and "-u"

// The managed application: its main window is titled by the configuration's szAppName.
inline constexpr DWORD kAppClosePauseMs = 1000;              // after WM_CLOSE was handled
// How long WM_CLOSE may take before the window counts as not answering (the system's own
// hung-window time).
inline constexpr DWORD kAppCloseTimeoutMs = 5000;
inline constexpr wchar_t kAppAutoStartArgument[] = L"min";   // what it receives at log-on
inline constexpr wchar_t kAppConfigFileName[] = L"Cfg.KS";   // its own file; the removal deletes it
inline constexpr wchar_t kRuntimeMingw[] = L"mingwm10.dll";
inline constexpr wchar_t kRuntimeLibeay[] = L"libeay32.dll";
inline constexpr wchar_t kRuntimeSsleay[] = L"ssleay32.dll";
inline constexpr wchar_t kRuntimeZlib[] = L"zlib1.dll";      // Vista library variant only

// The installed copy of this program and what starts it in removal mode.
inline constexpr wchar_t kSetupFileName[] = L"setup.exe";
inline constexpr wchar_t kSetupIniFileName[] = L"setup.ini";
inline constexpr wchar_t kUninstallFolderName[] = L"Uninstall";
inline constexpr wchar_t kImagesFolderName[] = L"Images";
inline constexpr wchar_t kPayloadAppFolderName[] = L"Application";
inline constexpr wchar_t kPayloadVistaFolderName[] = L"vista";
inline constexpr wchar_t kRemoveSwitch[] = L"delpkg";
inline constexpr wchar_t kSilentRemoveSwitch[] = L"SilentDel";
