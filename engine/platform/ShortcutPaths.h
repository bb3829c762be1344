// Where the shortcuts of an installation are: the desktops and the all-users Start menu.
#pragma once

#include <windows.h>

// "<special folder>\<link name>.lnk" for a desktop (CSIDL_COMMON_DESKTOPDIRECTORY or, for installs
// made before the all-users desktop was used, CSIDL_DESKTOPDIRECTORY); false when there is no such
// folder or the path does not fit.
bool FormatDesktopLink(int csidl, const wchar_t* pszLinkName, wchar_t (&link)[MAX_PATH]);
// The Start-menu folder "<all-users programs>\<folder name>" and a link in it.
bool FormatProgramsLink(const wchar_t* pszFolder, const wchar_t* pszLinkName, wchar_t (&folder)[MAX_PATH],
                        wchar_t (&link)[MAX_PATH]);
