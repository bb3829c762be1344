// The fixed file tables of the install and the removal.
#pragma once

#include <cstddef>

inline constexpr std::size_t kFileTableEntryUnits = 50;
inline constexpr std::size_t kLangLibFileCount = 13;
// English, both Chinese and Japanese: an install refuses a payload without them. The install
// copies every language library that the payload holds, so the removal speaks the user's language.
inline constexpr std::size_t kRequiredLangLibCount = 4;
inline constexpr std::size_t kAppImageFileCount = 119;

// The interface-language libraries.
extern const wchar_t g_szLangLibFiles[kLangLibFileCount][kFileTableEntryUnits];
// The managed application's images beside its executable.
extern const wchar_t g_szAppImageFiles[kAppImageFileCount][kFileTableEntryUnits];
