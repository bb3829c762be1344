// The shortcuts: the application's on the all-users desktop, which every account sees (the
// system account's deployments included), and the all-users Start-menu folder with the
// application's and the removal's. Made through the install's changes; each returns false when
// the shortcut could not be made (logged), so that the install undoes itself.
#pragma once

#include <windows.h>

#include "engine/install/InstallChanges.h"

// Both create operations need COM entered on the calling thread (the install holds one scope
// around all of its shortcuts).
bool CreateDesktopShortcut(const wchar_t* pszTarget, const wchar_t* pszLinkName, CInstallChanges& changes);
// pszArguments may be null. Creates the Start-menu folder when missing.
bool CreateProgramsShortcut(const wchar_t* pszFolder, const wchar_t* pszTarget, const wchar_t* pszLinkName,
                            const wchar_t* pszArguments, CInstallChanges& changes);
