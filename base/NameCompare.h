// Paths and names compared as the file system and the registry compare them: ordinal and without
// regard to case, the same on every machine whatever the locale of the user running setup.
#pragma once

#include <cstddef>

// Whether a and b are the same name.
bool EqualsNoCase(const wchar_t* a, const wchar_t* b);
// The same for counted texts.
bool EqualsNoCase(const wchar_t* a, std::size_t aLength, const wchar_t* b, std::size_t bLength);
// Whether path is folder itself or lies below it: "C:\a" holds "C:\a\b", not "C:\ab". Compares
// the texts as they stand; resolve "." and ".." first.
bool IsSameOrInside(const wchar_t* path, const wchar_t* folder);
// Whether path lies below folder, not folder itself.
bool IsInside(const wchar_t* path, const wchar_t* folder);
