#include "app/LanguageLibrary.h"

#include <cwchar>

#include "base/Handles.h"
#include "base/Kernel32.h"
#include "base/TextFormat.h"

namespace {

using GetLanguageFn = LANGID(WINAPI*)();

bool FileExists(const wchar_t* path) {
    WIN32_FIND_DATAW data;
    fw::UniqueFindHandle find(::FindFirstFileW(path, &data));
    return static_cast<bool>(find);
}

// Only the string table is used: the file is mapped as data, so no code of it ever runs.
HMODULE LoadAsResources(const wchar_t* path) {
    HMODULE module = ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    // Systems before Vista do not know the image-resource flag.
    if (!module && ::GetLastError() == ERROR_INVALID_PARAMETER)
        module = ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

}  // namespace

HMODULE LoadLanguageLibraryFor(const wchar_t* pszPath, LANGID langId) {
    wchar_t abbreviation[4] = {};
    if (!::GetLocaleInfoW(MAKELCID(langId, SORT_DEFAULT), LOCALE_SABBREVLANGNAME, abbreviation, 4)) return nullptr;

    const wchar_t* exe = std::wcsstr(pszPath, L".exe");
    if (!exe) return nullptr;
    wchar_t base[MAX_PATH];
    const std::size_t baseLength = static_cast<std::size_t>(exe - pszPath);
    if (baseLength >= MAX_PATH) return nullptr;
    std::wmemcpy(base, pszPath, baseLength);
    base[baseLength] = L'\0';

    wchar_t candidate[MAX_PATH];
    wchar_t fallback[MAX_PATH];
    const bool haveCandidate = FormatText(candidate, L"%s%s.DLL", base, abbreviation);
    if (!FormatText(fallback, L"%sENU.DLL", base)) return nullptr;
    if (haveCandidate && FileExists(candidate)) {
        // A library that is there but cannot be loaded (damaged, cut short) still leaves English.
        if (HMODULE module = LoadAsResources(candidate)) return module;
    }
    return LoadAsResources(fallback);
}

HMODULE LoadLanguageLibrary(const wchar_t* pszPath) {
    HMODULE module = nullptr;
    GetLanguageFn userUi = FindKernel32Function<GetLanguageFn>("GetUserDefaultUILanguage");
    if (userUi) {
        module = LoadLanguageLibraryFor(pszPath, userUi());
        if (module) return module;
        GetLanguageFn systemUi = FindKernel32Function<GetLanguageFn>("GetSystemDefaultUILanguage");
        if (systemUi) module = LoadLanguageLibraryFor(pszPath, systemUi());
        if (module) return module;
    }
    module = LoadLanguageLibraryFor(pszPath, ::GetUserDefaultLangID());
    if (module) return module;
    return LoadLanguageLibraryFor(pszPath, ::GetSystemDefaultLangID());
}
