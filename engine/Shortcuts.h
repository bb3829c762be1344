// The desktop shortcut of the user running setup and the all-users Start-menu shortcuts.
// Each returns false only when a path did not fit its buffer (nothing is then written or
// deleted); every other failure is logged and passes.
#pragma once

// Both create operations need COM entered on the calling thread (the install holds one scope
// around all of its shortcuts).
bool CreateDesktopShortcut(const wchar_t* pszTarget, const wchar_t* pszLinkName);
// pszArguments may be null. Creates the Start-menu folder when missing.
bool CreateProgramsShortcut(const wchar_t* pszFolder, const wchar_t* pszTarget, const wchar_t* pszLinkName,
                            const wchar_t* pszArguments);
bool DeleteDesktopShortcut(const wchar_t* pszLinkName);
// bRemoveFolder: then removes the Start-menu folder, which succeeds only when it is empty.
bool DeleteProgramsShortcut(const wchar_t* pszFolder, const wchar_t* pszLinkName, bool bRemoveFolder);
