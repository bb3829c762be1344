// The uninstall entry and the auto-start (Run) value under HKEY_LOCAL_MACHINE, written through
// the install's changes so that an undo takes them back.
#pragma once

#include "engine/InstallChanges.h"
#include "engine/SetupConfig.h"

// The uninstall entry. installedBytes: what the install copied, for EstimatedSize. Returns false
// when the entry or one of its checked values could not be written (its message is shown), or a
// value did not fit its buffer.
bool WriteUninstallEntry(const SetupConfig& config, ULONGLONG installedBytes, CInstallChanges& changes);
// The Run value, outside service mode. A missing Run key leaves it out without failing; a refused
// write shows its message and returns false.
bool WriteRunValue(const SetupConfig& config, CInstallChanges& changes);
// The uninstall entry's key, "HKLM\<base>Uninstall\<APPFolderName>"; false when it does not fit.
bool FormatUninstallEntryKey(const SetupConfig& config, wchar_t (&rootedPath)[1024]);
// The Run key, "<base>Run", without its root.
bool FormatRunKey(wchar_t (&path)[1024]);
