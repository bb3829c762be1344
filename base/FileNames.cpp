#include "base/FileNames.h"

#include <cwchar>

namespace {

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
