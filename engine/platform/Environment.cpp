#include "engine/platform/Environment.h"

#include <cwchar>

#include "engine/log/SetupLog.h"
#include "engine/platform/SetupPlatform.h"

BOOL g_bWow64 = 0;
BOOL g_bVista = 0;

void MarkCompatAssistantPersisted(const wchar_t* path) {
    auto key = SetupPlatform().CreateKey(HKEY_CURRENT_USER, kCompatAssistantPersistedKey);
    if (key && key->SetDword(path, 1))
        LogLine({L"Set HKCU\\", kCompatAssistantPersistedKey, L" [", path, L"] = 1"});
    else
        LogFailure({L"Could not set HKCU\\", kCompatAssistantPersistedKey, L" [", path, L"]"}, ::GetLastError());
}

void GetFolderOfPath(const wchar_t* pszPath, wchar_t* pszFolder) {
    const std::size_t length = std::wcslen(pszPath);
    std::wmemcpy(pszFolder, pszPath, length + 1);
    const wchar_t* lastSlash = std::wcsrchr(pszPath, L'\\');
    pszFolder[lastSlash ? (lastSlash - pszPath) + 1 : 0] = L'\0';
}
