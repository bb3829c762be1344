// The fixed file tables of the install and the removal.
#pragma once

#include <cstddef>

inline constexpr std::size_t kFileTableEntryUnits = 50;
inline constexpr std::size_t kLangLibFileCount = 13;
inline constexpr std::size_t kInstalledLangLibCount = 4;  // English, both Chinese, Japanese
inline constexpr std::size_t kAppImageFileCount = 119;

// The interface-language libraries; the install copies the first kInstalledLangLibCount.
extern const wchar_t g_szLangLibFiles[kLangLibFileCount][kFileTableEntryUnits];
// The managed application's images beside its executable.
extern const wchar_t g_szAppImageFiles[kAppImageFileCount][kFileTableEntryUnits];
