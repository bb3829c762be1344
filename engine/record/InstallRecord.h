// The install record on disk: {install}\Uninstall\install-record.txt lists, in order, every change
// that setup made to the machine. An install appends each change before it makes it, so the
// record survives the process being killed at any point; "completed" ends a run that went well.
// A later install appends its own run; the removal reads the whole record.
#pragma once

#include <windows.h>

#include "engine/platform/SetupPlatform.h"
#include "engine/record/RecordList.h"

inline constexpr wchar_t kInstallRecordFileName[] = L"install-record.txt";
// Under "Uninstall": where an install keeps what it replaced or deleted until it has completed,
// each run in a numbered folder of its own.
inline constexpr wchar_t kBackupFolderName[] = L"Backup";

// {install}\Uninstall\install-record.txt; false when it does not fit.
bool FormatRecordPath(const wchar_t* pszInstallDir, wchar_t (&path)[MAX_PATH]);

enum class RecordState {
    None,        // no record: no install, or one made before records were kept
    Completed,   // the last run completed
    Unfinished,  // the last run began and never completed (killed, power cut, failed undo)
    Unreadable,  // there is a record, but it cannot be read
};

// Reads the record of the installation in pszInstallDir. For an unfinished one, lastBegin is the
// index of its run's "begin": the entries before it are the installation as it was before.
RecordState LoadInstallRecord(const wchar_t* pszInstallDir, CRecordList& list, std::size_t& lastBegin);

// Replaces the record at once by the entries [first, end) of list, under the record's heading.
bool RewriteInstallRecord(const wchar_t* pszInstallDir, const CRecordList& list, std::size_t first, std::size_t end);
