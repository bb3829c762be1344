#include "engine/record/RecordWriter.h"

#include "engine/log/SetupLog.h"
#include "engine/record/InstallRecord.h"
#include "engine/record/RecordText.h"

bool CRecordWriter::Open(const wchar_t* pszInstallDir) {
    wchar_t path[MAX_PATH];
    if (!FormatRecordPath(pszInstallDir, path)) return false;
    ISetupPlatform& os = SetupPlatform();
    const bool existed = os.GetAttributes(path) != INVALID_FILE_ATTRIBUTES;
    m_file = os.OpenAppendFile(path);
    if (!m_file) {
        LogFailure({L"Could not open the install record ", path}, ::GetLastError());
        return false;
    }
    if (!existed && !m_file->Append(kRecordHeading, static_cast<DWORD>(kRecordHeadingBytes))) {
        LogFailure({L"Could not write the install record ", path}, ::GetLastError());
        m_file.reset();
        return false;
    }
    return true;
}

bool CRecordWriter::Write(RecordKind kind, const wchar_t* a, const wchar_t* b, const wchar_t* c) {
    std::size_t bytes = 0;
    if (!m_file || !CRecordList::FormatLine(kind, a, b, c, m_line, bytes)) return false;
    if (m_file->Append(m_line.get(), static_cast<DWORD>(bytes))) return true;
    LogFailure({L"Could not write to the install record"}, ::GetLastError());
    return false;
}

bool CRecordWriter::MakeDurable() {
    if (m_file && m_file->Flush()) return true;
    LogFailure({L"Could not make the install record reach the disk"}, ::GetLastError());
    return false;
}
