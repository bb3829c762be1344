#include "base/NameCompare.h"

#include <windows.h>

#include <cwchar>

#include "base/Kernel32.h"

namespace {

using CompareStringOrdinalFn = int(WINAPI*)(LPCWCH, int, LPCWCH, int, BOOL);

bool IsAscii(const wchar_t* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] >= 0x80) return false;
    }
    return true;
}

wchar_t FoldAscii(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

}  // namespace

bool EqualsNoCase(const wchar_t* a, std::size_t aLength, const wchar_t* b, std::size_t bLength) {
    if (aLength != bLength) return false;
    // Most names are ASCII: folded here, without asking the system.
    if (IsAscii(a, aLength) && IsAscii(b, bLength)) {
        for (std::size_t i = 0; i < aLength; ++i) {
            if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
        }
        return true;
    }
    // The system's own upper-casing table, as NTFS and the registry use it; the oldest systems
    // lack the ordinal comparison and get the invariant one.
    // Looked up each time (rare: non-ASCII names only); a guarded static would pull in the C++
    // run time's locking.
    const auto ordinal = FindKernel32Function<CompareStringOrdinalFn>("CompareStringOrdinal");
    const int length = static_cast<int>(aLength);
    if (ordinal) return ordinal(a, length, b, length, TRUE) == CSTR_EQUAL;
    return ::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a, length, b, length) == CSTR_EQUAL;
}

bool EqualsNoCase(const wchar_t* a, const wchar_t* b) {
    return EqualsNoCase(a, std::wcslen(a), b, std::wcslen(b));
}

bool IsSameOrInside(const wchar_t* path, const wchar_t* folder) {
    std::size_t length = std::wcslen(folder);
    while (length > 0 && folder[length - 1] == L'\\') --length;  // "C:\" holds "C:\a"
    const std::size_t pathLength = std::wcslen(path);
    if (length == 0 || pathLength < length) return false;
    if (pathLength > length && path[length] != L'\\') return false;
    return EqualsNoCase(path, length, folder, length);
}

bool IsInside(const wchar_t* path, const wchar_t* folder) {
    std::size_t length = std::wcslen(folder);
    while (length > 0 && folder[length - 1] == L'\\') --length;
    const std::size_t pathLength = std::wcslen(path);
    return pathLength > length + 1 && IsSameOrInside(path, folder);
}
