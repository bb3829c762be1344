// One running copy of setup on the machine, and the way a second one shows the user the first.
#pragma once

#include "base/Handles.h"

// The single-instance mutex, machine-wide: one running copy across every session, so that a
// deployment run as the system account and a wizard in a user's session never run together.
inline constexpr wchar_t kSingleInstanceMutexName[] = L"Global\\KRT21C_INSTALL";

// Creates the single-instance mutex into mutex, or learns that another copy holds it (false).
// Created and tested in one step, so two copies started at the same instant cannot both pass.
bool ClaimSingleInstance(fw::UniqueHandle& mutex);
// A second copy on a wizard road: the running copy's wizard, restored when minimised, comes to
// the foreground. False when no wizard of it is on this desktop.
bool BringRunningWizardToFront();
