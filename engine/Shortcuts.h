// The shortcuts: the application's on the all-users desktop, which every account sees (the
// system account's deployments included), and the all-users Start-menu folder with the
// application's and the removal's. Made through the install's changes; each returns false when
// the shortcut could not be made (logged), so that the install undoes itself.
#pragma once

#include <windows.h>

#include "engine/InstallChanges.h"

// Both create operations need COM entered on the calling thread (the install holds one scope
// around all of its shortcuts).
bool CreateDesktopShortcut(const wchar_t* pszTarget, const wchar_t* pszLinkName, CInstallChanges& changes);
// pszArguments may be null. Creates the Start-menu folder when missing.
bool CreateProgramsShortcut(const wchar_t* pszFolder, const wchar_t* pszTarget, const wchar_t* pszLinkName,
                            const wchar_t* pszArguments, CInstallChanges& changes);

// "<special folder>\<link name>.lnk" for a desktop (CSIDL_COMMON_DESKTOPDIRECTORY or, for installs
// made before the all-users desktop was used, CSIDL_DESKTOPDIRECTORY); false when there is no such
// folder or the path does not fit.
bool FormatDesktopLink(int csidl, const wchar_t* pszLinkName, wchar_t (&link)[MAX_PATH]);
// The Start-menu folder "<all-users programs>\<folder name>" and a link in it.
bool FormatProgramsLink(const wchar_t* pszFolder, const wchar_t* pszLinkName, wchar_t (&folder)[MAX_PATH],
                        wchar_t (&link)[MAX_PATH]);
