// The road-level lines of the run's log, written by start-up: when and how the run began, on
// which road and system, and how it ended. The engine adds its steps in between.
#pragma once

#include "app/SetupRoads.h"
#include "engine/platform/SetupConfig.h"

// Opens the log named after the install folder of config (setup.ini in pszSetupDir, haveIni when
// it was there) and writes the time, the program and its version, the command line, the road, the
// Windows version and service mode and the install folder. Called once, after the probes and
// before any worker exists.
void BeginRunLog(const wchar_t* pszSetupDir, SetupRoad road, const SetupConfig& config, bool haveIni);
// For a program whose own path is too long to be used: the log of the fixed name says so.
void BeginRunLogOfUnusablePath();
// For a copy that ends because another one runs: the same opening lines without a road.
// pszSetupDir is null when the program's own path is unusable.
void BeginRunLogOfSecondCopy(const wchar_t* pszSetupDir, const SetupConfig& config, bool haveIni);
// The last line, the exit code; then the log is closed. Called by ExitInstance on every road.
void EndRunLog(int nExitCode);
// The end of a run that ran out of memory: a line saying so, then EndRunLog with the failure code.
void EndRunOutOfMemory();
