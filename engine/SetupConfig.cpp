#include "engine/SetupConfig.h"

#include <cstring>
#include <cwchar>

#include "base/TextFormat.h"
#include "engine/Environment.h"
#include "engine/SetupLog.h"

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

// The names that open a device in every folder, with or without an extension ("nul.txt"), in any
// case and with blanks before the extension: CON, PRN, AUX, NUL, COM0-9, LPT0-9 (the superscript
// digits one to three included).
bool IsDeviceName(const wchar_t* name) {
    std::size_t length = 0;
    while (name[length] && name[length] != L'.') ++length;
    while (length > 0 && name[length - 1] == L' ') --length;
    auto upper = [](wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; };
    auto startsWith = [&](const wchar_t* word) {
        for (std::size_t i = 0; i < 3; ++i) {
            if (upper(name[i]) != word[i]) return false;
        }
        return true;
    };
    if (length == 3) return startsWith(L"CON") || startsWith(L"PRN") || startsWith(L"AUX") || startsWith(L"NUL");
    if (length != 4 || !(startsWith(L"COM") || startsWith(L"LPT"))) return false;
    const wchar_t digit = name[3];
    return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

}  // namespace

bool IsPlainFileName(const wchar_t* name) {
    if (!name || !*name) return false;
    bool onlyDotsAndBlanks = true;
    for (const wchar_t* p = name; *p; ++p) {
        // Separators, drive colons and characters that no file name may hold.
        if (*p < 0x20 || std::wcschr(L"\\/:*?\"<>|", *p)) return false;
        if (*p != L'.' && *p != L' ') onlyDotsAndBlanks = false;
    }
    // ".", ".." and their look-alikes would name the folder itself or its parent.
    return !onlyDotsAndBlanks && !IsDeviceName(name);
}

bool IsUsableFolderName(const wchar_t* name) {
    if (!IsPlainFileName(name)) return false;
    const wchar_t last = name[std::wcslen(name) - 1];
    return last != L'.' && last != L' ';
}

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
