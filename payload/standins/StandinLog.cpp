#include "StandinLog.h"

#include <cwchar>
#include <string>

namespace {

std::string ToUtf8(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr,
                          nullptr);
    return out;
}

}  // namespace

void GetOwnFolder(wchar_t (&folder)[MAX_PATH]) {
    const DWORD length = ::GetModuleFileNameW(nullptr, folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        folder[0] = L'\0';
        return;
    }
    wchar_t* slash = std::wcsrchr(folder, L'\\');
    if (slash) slash[1] = L'\0';
}

const wchar_t* GetArgumentsText() {
    const wchar_t* p = ::GetCommandLineW();
    bool quoted = false;
    for (; *p; ++p) {
        if (*p == L'"') quoted = !quoted;
        else if (!quoted && (*p == L' ' || *p == L'\t')) break;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

std::wstring CurrentFolderText() {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = ::GetCurrentDirectoryW(MAX_PATH, folder);
    return std::wstring(L"cwd=") + (length > 0 && length < MAX_PATH ? folder : L"?");
}

void ReadOwnSetupIni(const wchar_t* section, const wchar_t* key, const wchar_t* fallback,
                     wchar_t (&value)[MAX_PATH]) {
    wchar_t folder[MAX_PATH];
    GetOwnFolder(folder);
    std::wstring ini = std::wstring(folder) + L"setup.ini";
    ::GetPrivateProfileStringW(section, key, fallback, value, MAX_PATH, ini.c_str());
}

void AppendStandinLog(const wchar_t* event, const wchar_t* details) {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    std::wstring logPath(path);
    const size_t dot = logPath.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > logPath.find_last_of(L'\\')) logPath.resize(dot);
    logPath += L".log";

    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    const unsigned long long ms = ((static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime) /
                                  10000ULL;
    std::wstring line = std::to_wstring(ms) + L" " + event + L" " + details + L"\r\n";
    const std::string bytes = ToUtf8(line);

    HANDLE file = ::CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}
