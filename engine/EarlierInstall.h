// Installations made before this one: those made before records were kept, whose parts are known
// by their names, and those under another application name, whose shortcuts and Run value an
// install over them takes away.
#pragma once

#include "engine/InstallChanges.h"
#include "engine/InstallPlan.h"
#include "engine/RecordList.h"
#include "engine/SetupConfig.h"

// Adds the entries of an installation made before records were kept, as setup made it for
// config: its folders, files, shortcuts (on both desktops), Run value and uninstall entry.
// withShared adds what such a removal used to leave: setup.ini, the libraries and the images
// folder's files. False when there is no memory for them.
bool AddUnrecordedInstallEntries(const SetupConfig& config, bool withShared, CRecordList& list);

// Whether the install folder holds nothing but what an installation made before records were
// kept put there: then its shared files may go with it.
bool HoldsOnlyInstalledFiles(const SetupConfig& config);

// Deletes, through changes, what an earlier installation registered that this one will not
// replace: the desktop shortcut on the running user's own desktop (installs now use the
// all-users desktop), and under an earlier application name its shortcuts, its Start-menu folder
// when nothing else is in it, and its Run value. False when a deletion failed.
bool RetireEarlierRegistration(const SetupConfig& config, const CInstallPlan& plan, CInstallChanges& changes);
