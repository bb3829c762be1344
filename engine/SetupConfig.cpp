#include "engine/SetupConfig.h"

#include <cstring>
#include <cwchar>

#include "engine/Environment.h"
#include "framework/TextFormat.h"

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

bool IsUsableFolderName(const wchar_t* name) {
    if (!name || !*name) return false;
    bool onlyDotsAndBlanks = true;
    for (const wchar_t* p = name; *p; ++p) {
        // Separators, drive colons and characters that no file name may hold.
        if (*p < 0x20 || std::wcschr(L"\\/:*?\"<>|", *p)) return false;
        if (*p != L'.' && *p != L' ') onlyDotsAndBlanks = false;
    }
    // ".", ".." and their look-alikes would name Program Files itself or its parent.
    return !onlyDotsAndBlanks;
}

void ReadSetupConfig(const wchar_t* pszSetupDir, SetupConfig& config) {
    std::memset(&config, 0, sizeof config);

    wchar_t iniPathBuffer[MAX_PATH];
    const wchar_t* iniPath =
        FormatText(iniPathBuffer, L"%s%s", pszSetupDir, L"setup.ini") ? iniPathBuffer : nullptr;

    wchar_t folderName[MAX_PATH] = {};
    if (ReadProfileText(kSectionCustomized, L"APPFolderName", L"KRT55A", iniPath, folderName) > 0 &&
        IsUsableFolderName(folderName)) {
        wchar_t windowsDir[MAX_PATH] = {};
        wchar_t drive[MAX_PATH] = {};
        const UINT length = ::GetWindowsDirectoryW(windowsDir, MAX_PATH);
        if (length > 0 && length < MAX_PATH) GetFolderOfPath(windowsDir, drive);
        const wchar_t* programFiles = g_bWow64 ? L"Program Files (x86)" : L"Program Files";
        // An install folder that does not fit is refused: both fields stay empty.
        if (FormatText(config.szInstallDir, L"%s%s\\%s", drive, programFiles, folderName))
            CopyText(config.szAppFolderName, folderName);
    }

    ReadText(kSectionCustomized, L"APPFileName", L"REReviZuvor.exe", iniPath, config.szAppFileName);
    ReadText(kSectionStartup, L"AppName", L"Kestrin HW RAID Manager", iniPath, config.szAppName);
    ReadText(kSectionStartup, L"CompanyName", L"Kestrin Technology Corp.", iniPath, config.szCompanyName);
    ReadText(kSectionStartup, L"Version", L"1.00.00", iniPath, config.szVersion);
    const UINT launch = iniPath ? ::GetPrivateProfileIntW(kSectionCustomized, L"LaunchAPInSilentMode", 0, iniPath) : 0;
    config.bLaunchInSilentMode = launch != 0 ? 1 : 0;
}
