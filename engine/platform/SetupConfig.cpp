#include "engine/platform/SetupConfig.h"

#include <cstring>
#include <cwchar>

#include "base/FileNames.h"
#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/Environment.h"

namespace {

const wchar_t kSectionCustomized[] = L"Customized_Setting";
const wchar_t kSectionStartup[] = L"Startup";

// The initialisation-file reader; without a file path (a setup folder too long for it) every
// key reads as absent.
DWORD ReadProfileText(const wchar_t* section, const wchar_t* key, const wchar_t* fallback, const wchar_t* iniPath,
                      wchar_t (&value)[MAX_PATH]) {
    if (!iniPath) return CopyText(value, fallback) ? static_cast<DWORD>(std::wcslen(value)) : 0;
    return ::GetPrivateProfileStringW(section, key, fallback, value, MAX_PATH, iniPath);
}

// Copies a value into field when the reader returned at least one character.
template <std::size_t N>
void ReadText(const wchar_t* section, const wchar_t* key, const wchar_t* fallback, const wchar_t* iniPath,
              wchar_t (&field)[N]) {
    wchar_t value[MAX_PATH] = {};
    if (ReadProfileText(section, key, fallback, iniPath, value) > 0) CopyText(field, value);
}

}  // namespace

bool ReadSetupConfig(const wchar_t* pszSetupDir, SetupConfig& config) {
    wchar_t iniPathBuffer[MAX_PATH];
    const wchar_t* iniPath =
        FormatText(iniPathBuffer, L"%s%s", pszSetupDir, L"setup.ini") ? iniPathBuffer : nullptr;
    const bool iniFound = ReadSetupConfigFile(iniPath, config);
    if (!iniFound) LogLine({L"No setup.ini in ", pszSetupDir, L": the defaults apply"});
    return iniFound;
}

bool ReadSetupConfigFile(const wchar_t* iniPath, SetupConfig& config) {
    std::memset(&config, 0, sizeof config);
    const DWORD iniAttributes = iniPath ? ::GetFileAttributesW(iniPath) : INVALID_FILE_ATTRIBUTES;
    const bool iniFound = iniAttributes != INVALID_FILE_ATTRIBUTES && !(iniAttributes & FILE_ATTRIBUTE_DIRECTORY);

    wchar_t folderName[MAX_PATH] = {};
    const DWORD folderNameLength =
        ReadProfileText(kSectionCustomized, L"APPFolderName", L"KRT55A", iniPath, folderName);
    if (folderNameLength > 0 && !IsUsableFolderName(folderName))
        LogLine({L"APPFolderName \"", folderName, L"\" of setup.ini refused: not a plain folder name"});
    if (folderNameLength > 0 && IsUsableFolderName(folderName)) {
        wchar_t windowsDir[MAX_PATH] = {};
        wchar_t drive[MAX_PATH] = {};
        const UINT length = ::GetWindowsDirectoryW(windowsDir, MAX_PATH);
        if (length > 0 && length < MAX_PATH) GetFolderOfPath(windowsDir, drive);
        const wchar_t* programFiles = g_bWow64 ? L"Program Files (x86)" : L"Program Files";
        // An install folder that does not fit, or that would be relative to wherever setup runs
        // because the system's drive is unknown, is refused: both fields stay empty.
        if (!drive[0])
            LogLine({L"The Windows folder could not be read: no install folder"});
        else if (FormatText(config.szInstallDir, L"%s%s\\%s", drive, programFiles, folderName))
            CopyText(config.szAppFolderName, folderName);
    }

    ReadText(kSectionCustomized, L"APPFileName", L"REReviZuvor.exe", iniPath, config.szAppFileName);
    ReadText(kSectionStartup, L"AppName", L"Kestrin HW RAID Manager", iniPath, config.szAppName);
    ReadText(kSectionStartup, L"CompanyName", L"Kestrin Technology Corp.", iniPath, config.szCompanyName);
    ReadText(kSectionStartup, L"Version", L"1.00.00", iniPath, config.szVersion);
    const UINT launch = iniPath ? ::GetPrivateProfileIntW(kSectionCustomized, L"LaunchAPInSilentMode", 0, iniPath) : 0;
    config.bLaunchInSilentMode = launch != 0 ? 1 : 0;
    return iniFound;
}
