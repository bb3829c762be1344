#include "app/RunLog.h"

#include "base/HeapArray.h"
#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/Environment.h"

namespace {

const wchar_t* RoadName(SetupRoad road) {
    switch (road) {
    case SetupRoad::InstallWizard: return L"install wizard";
    case SetupRoad::RemovalWizard: return L"removal wizard";
    case SetupRoad::SilentInstall: return L"silent install";
    case SetupRoad::SilentRemoval: return L"silent removal";
    }
    return L"unknown";
}

// Two digits, or more for a number that needs them.
class TwoDigits {
public:
    explicit TwoDigits(unsigned value) {
        const NumberText number(value);
        const wchar_t* digits = number;
        wchar_t* out = m_text;
        if (value < 10) *out++ = L'0';
        while (*digits) *out++ = *digits++;
        *out = L'\0';
    }
    operator const wchar_t*() const { return m_text; }

private:
    wchar_t m_text[24];
};

void LogStartTime() {
    SYSTEMTIME local;
    SYSTEMTIME utc;
    ::GetLocalTime(&local);
    ::GetSystemTime(&utc);
    FILETIME localFile;
    FILETIME utcFile;
    ::SystemTimeToFileTime(&local, &localFile);
    ::SystemTimeToFileTime(&utc, &utcFile);
    auto ticks = [](const FILETIME& t) {
        return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    // In minutes, rounded: the two readings are a moment apart. A minute is 600000000 ticks.
    const long long difference = ticks(localFile) - ticks(utcFile);
    const long long offsetMinutes = (difference + (difference >= 0 ? 300000000LL : -300000000LL)) / 600000000LL;
    const auto magnitude = static_cast<unsigned long long>(offsetMinutes < 0 ? -offsetMinutes : offsetMinutes);
    LogLine({L"===== ", NumberText(local.wYear), L"-", TwoDigits(local.wMonth), L"-", TwoDigits(local.wDay), L" ",
             TwoDigits(local.wHour), L":", TwoDigits(local.wMinute), L":", TwoDigits(local.wSecond),
             L" local time (UTC", offsetMinutes < 0 ? L"-" : L"+", TwoDigits(static_cast<unsigned>(magnitude / 60)),
             L":", TwoDigits(static_cast<unsigned>(magnitude % 60)), L") ====="});
}

// The version block of the program's own resources; "unknown" without one.
void LogProgram() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) path[0] = L'\0';
    const VS_FIXEDFILEINFO* info = nullptr;
    if (HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION)) {
        const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, resource)));
        const DWORD size = ::SizeofResource(nullptr, resource);
        for (DWORD offset = 0; data && offset + sizeof(VS_FIXEDFILEINFO) <= size; offset += 4) {
            const auto* candidate = reinterpret_cast<const VS_FIXEDFILEINFO*>(data + offset);
            if (candidate->dwSignature == 0xFEEF04BD) {
                info = candidate;
                break;
            }
        }
    }
    if (!info) {
        LogLine({L"Program ", path, L", version unknown"});
        return;
    }
    LogLine({L"Program ", path, L", version ", NumberText(HIWORD(info->dwFileVersionMS)), L".",
             NumberText(LOWORD(info->dwFileVersionMS)), L".", NumberText(HIWORD(info->dwFileVersionLS)), L".",
             NumberText(LOWORD(info->dwFileVersionLS))});
}

void LogSystem() {
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version))) {
        LogLine({L"Windows version unknown; service mode: ", g_bVista ? L"yes" : L"no"});
        return;
    }
    const wchar_t* type = version.wProductType == VER_NT_WORKSTATION ? L"workstation"
                          : version.wProductType == VER_NT_DOMAIN_CONTROLLER ? L"domain controller"
                                                                             : L"server";
    LogLine({L"Windows ", NumberText(version.dwMajorVersion), L".", NumberText(version.dwMinorVersion), L".",
             NumberText(version.dwBuildNumber), version.szCSDVersion[0] ? L" " : L"", version.szCSDVersion, L" (",
             type, L"), 64-bit: ", g_bWow64 ? L"yes" : L"no", L"; service mode: ", g_bVista ? L"yes" : L"no"});
}

void OpenAndBegin(const wchar_t* pszSetupDir, const wchar_t* roadText, const SetupConfig& config, bool haveIni) {
    OpenSetupLog(config.szAppFolderName);
    LogStartTime();
    LogProgram();
    LogLine({L"Command line: ", ::GetCommandLineW()});
    if (roadText) LogLine({L"Road: ", roadText});
    LogSystem();
    LogLine({L"Setup folder: ", pszSetupDir ? pszSetupDir : L"unknown", haveIni ? L"" : L" (no setup.ini)"});
    LogLine({L"Install folder: ", config.szInstallDir[0] ? config.szInstallDir : L"none (refused)"});
}

}  // namespace

void BeginRunLog(const wchar_t* pszSetupDir, SetupRoad road, const SetupConfig& config, bool haveIni) {
    OpenAndBegin(pszSetupDir, RoadName(road), config, haveIni);
}

void BeginRunLogOfUnusablePath() {
    OpenSetupLog(nullptr);
    LogStartTime();
    LogLine({L"Command line: ", ::GetCommandLineW()});
    // The whole path, for the line that says why nothing is done.
    constexpr DWORD kLongPathUnits = 32768;
    fw::HeapArray<wchar_t> path(kLongPathUnits);
    const DWORD length = path ? ::GetModuleFileNameW(nullptr, path.get(), kLongPathUnits) : 0;
    LogLine({L"The program's own path is longer than ", NumberText(MAX_PATH - 1),
             L" characters: nothing is done from a path that the system would cut (",
             length > 0 && length < kLongPathUnits ? path.get() : L"unknown", L")"});
}

void BeginRunLogOfSecondCopy(const wchar_t* pszSetupDir, const SetupConfig& config, bool haveIni) {
    OpenAndBegin(pszSetupDir, nullptr, config, haveIni);
    LogLine({L"Another copy of setup is running: this one ends without doing anything"});
}

void EndRunLog(int nExitCode) {
    LogLine({L"Exit code ", NumberText(static_cast<unsigned>(nExitCode))});
    CloseSetupLog();
}

void EndRunOutOfMemory() {
    LogLine({L"Out of memory"});
    EndRunLog(kExitInstallFailure);
}
