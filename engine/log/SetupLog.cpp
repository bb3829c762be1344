#include "engine/log/SetupLog.h"

#include <cwchar>
#include <utility>

#include "base/FileNames.h"
#include "base/Handles.h"
#include "base/TextFormat.h"

namespace {

constexpr std::size_t kLineUnits = 2048;
// Lines are collected and written in blocks: one write per block, not one open and close per line.
constexpr std::size_t kBufferBytes = 16384;
constexpr std::size_t kTimeColumnUnits = 6;

class CLogLock {
public:
    explicit CLogLock(CRITICAL_SECTION& lock) : m_lock(lock) { ::EnterCriticalSection(&m_lock); }
    ~CLogLock() { ::LeaveCriticalSection(&m_lock); }
    CLogLock(const CLogLock&) = delete;
    CLogLock& operator=(const CLogLock&) = delete;

private:
    CRITICAL_SECTION& m_lock;
};

// Written by the main thread and, on the wizard roads, by the worker: every use takes the lock.
class CSetupLog {
public:
    CSetupLog() { ::InitializeCriticalSection(&m_lock); }
    ~CSetupLog() {
        Close();
        delete[] m_buffer;
        ::DeleteCriticalSection(&m_lock);
    }
    CSetupLog(const CSetupLog&) = delete;
    CSetupLog& operator=(const CSetupLog&) = delete;

    bool Open(const wchar_t* folderName) {
        CLogLock lock(m_lock);
        CloseLocked();
        wchar_t temp[MAX_PATH];
        const DWORD length = ::GetTempPathW(MAX_PATH, temp);
        if (length == 0 || length >= MAX_PATH) return false;
        const bool named = folderName && IsUsableFolderName(folderName) &&
                           FormatText(m_path, L"%s%s%s", temp, folderName, kSetupLogSuffix);
        if (!named && !FormatText(m_path, L"%s%s", temp, kFallbackSetupLogName)) return false;
        // On the heap: a static buffer would be stored in the program file.
        if (!m_buffer) m_buffer = new char[kBufferBytes];

        // The temporary folder may be shared with other users (the system account's is): a link or
        // a second name of another file put under this name is opened as itself and refused.
        fw::UniqueHandle file(::CreateFileW(m_path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) file.release();
        BY_HANDLE_FILE_INFORMATION info;
        if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK ||
            !::GetFileInformationByHandle(file.get(), &info) ||
            (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
            info.nNumberOfLinks > 1) {
            m_path[0] = L'\0';
            return false;
        }
        m_file = std::move(file);
        m_startTick = ::GetTickCount();
        m_used = 0;
        return true;
    }

    void Close() {
        CLogLock lock(m_lock);
        CloseLocked();
    }

    void Flush() {
        CLogLock lock(m_lock);
        FlushLocked();
    }

    const wchar_t* Path() const { return m_path; }

    void Write(std::initializer_list<const wchar_t*> pieces, const wchar_t* tail) {
        const DWORD savedError = ::GetLastError();  // logging never changes what a caller reads
        CLogLock lock(m_lock);
        if (m_file) {
            wchar_t line[kLineUnits];
            std::size_t used = 0;
            const NumberText elapsed(::GetTickCount() - m_startTick);
            for (std::size_t digits = std::wcslen(elapsed); digits < kTimeColumnUnits; ++digits) line[used++] = L' ';
            auto append = [&](const wchar_t* text) {
                for (; text && *text && used < kLineUnits - 2; ++text) line[used++] = *text;
            };
            append(elapsed);
            append(L" ");
            for (const wchar_t* piece : pieces) append(piece);
            append(tail);
            line[used++] = L'\r';
            line[used++] = L'\n';
            // At most three bytes of UTF-8 per unit.
            if (m_used + used * 3 > kBufferBytes) FlushLocked();
            m_used += static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, line, static_cast<int>(used),
                                                                     m_buffer + m_used,
                                                                     static_cast<int>(kBufferBytes - m_used),
                                                                     nullptr, nullptr));
        }
        ::SetLastError(savedError);
    }

private:
    void FlushLocked() {
        if (m_file && m_used > 0) {
            DWORD written = 0;
            ::WriteFile(m_file.get(), m_buffer, static_cast<DWORD>(m_used), &written, nullptr);
        }
        m_used = 0;
    }
    void CloseLocked() {
        FlushLocked();
        m_file.reset();
        m_path[0] = L'\0';
    }

    CRITICAL_SECTION m_lock;
    fw::UniqueHandle m_file;
    DWORD m_startTick = 0;
    std::size_t m_used = 0;
    char* m_buffer = nullptr;  // the lines not yet written
    wchar_t m_path[MAX_PATH] = {};
};

CSetupLog g_setupLog;

}  // namespace

bool OpenSetupLog(const wchar_t* pszAppFolderName) {
    return g_setupLog.Open(pszAppFolderName);
}

void CloseSetupLog() {
    g_setupLog.Close();
}

void FlushSetupLog() {
    g_setupLog.Flush();
}

const wchar_t* SetupLogPath() {
    return g_setupLog.Path();
}

void LogLine(std::initializer_list<const wchar_t*> pieces) {
    g_setupLog.Write(pieces, nullptr);
}

void LogFailure(std::initializer_list<const wchar_t*> pieces, DWORD error) {
    wchar_t tail[320];
    wchar_t text[256] = {};
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK, nullptr, error,
        0, text, 256, nullptr);
    for (DWORD end = length; end > 0 && (text[end - 1] == L' ' || text[end - 1] == L'.'); --end) text[end - 1] = L'\0';
    const NumberText number(error);
    if (!(text[0] ? FormatText(tail, L": error %s (%s)", static_cast<const wchar_t*>(number), text)
                  : FormatText(tail, L": error %s", static_cast<const wchar_t*>(number))))
        tail[0] = L'\0';
    g_setupLog.Write(pieces, tail);
}
