// The install record's writer: entries appended one line at a time, each before its change.
#pragma once

#include <windows.h>

#include <memory>

#include "base/HeapArray.h"
#include "engine/platform/SetupPlatform.h"
#include "engine/record/RecordList.h"

// Appends entries to a record, each written to the file before the change it names is made.
class CRecordWriter {
public:
    // Opens the record, creating it with its heading when there is none.
    bool Open(const wchar_t* pszInstallDir);
    void Close() { m_file.reset(); }
    bool IsOpen() const { return static_cast<bool>(m_file); }
    bool Write(RecordKind kind, const wchar_t* a = nullptr, const wchar_t* b = nullptr, const wchar_t* c = nullptr);
    // What was written reaches the disk itself (a write reaches the file at once, the disk later).
    bool MakeDurable();

private:
    std::unique_ptr<ISetupAppendFile> m_file;
    fw::HeapArray<char> m_line;
};
