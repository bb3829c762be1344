// An installation made before records were kept, whose parts are known by the names such an
// install used: what the removal takes, and what an install over it adopts.
#pragma once

#include "engine/platform/SetupConfig.h"
#include "engine/record/RecordList.h"

// Adds the entries of an installation made before records were kept, as setup made it for
// config: its folders, files, shortcuts (on both desktops), Run value and uninstall entry.
// withShared adds what such a removal used to leave: setup.ini, the libraries and the images
// folder's files. False when there is no memory for them.
bool AddUnrecordedInstallEntries(const SetupConfig& config, bool withShared, CRecordList& list);

// Whether the install folder holds nothing but what an installation made before records were
// kept put there: then its shared files may go with it.
bool HoldsOnlyInstalledFiles(const SetupConfig& config);
