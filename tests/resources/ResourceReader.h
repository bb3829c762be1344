// Reading a module's resources as the bytes the compiler stored, so that the tests see every
// field and the exact language rather than what the platform's loaders make of them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Handles.h"

namespace restest {

// Mapped as data only, the way the program maps its language library.
fw::UniqueModule LoadAsData(const std::wstring& path);

// The resource's bytes in exactly that language; nullopt when it has none in that language.
std::optional<std::string_view> ResourceBytes(HMODULE module, LPCWSTR type, LPCWSTR name, LANGID language);

// Every language in which the module holds the resource, in the module's order.
std::vector<LANGID> ResourceLanguages(HMODULE module, LPCWSTR type, LPCWSTR name);

// String id from the string-table block of that language; empty when the block or entry is missing.
std::wstring StringInLanguage(HMODULE module, UINT id, LANGID language);

// A field of a dialog template that is either an ordinal (0xFFFF, n) or a string.
struct NameOrOrdinal {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::wstring text;
};

struct DialogItem {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
    WORD extraBytes = 0;
};

struct DialogTemplateEx {
    WORD version = 0;
    WORD signature = 0;
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::wstring title;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::wstring typeface;
    std::vector<DialogItem> items;
};

// Parses an extended dialog template; nullopt when the bytes are not one or run short.
std::optional<DialogTemplateEx> ParseDialogTemplateEx(std::string_view bytes);

// One node of a version resource: key, the value as stored, and the children.
struct VersionNode {
    std::wstring key;
    WORD type = 0;          // 1 text, 0 binary
    std::string value;      // raw bytes of the value (text without its terminator)
    std::vector<VersionNode> children;

    const VersionNode* Child(std::wstring_view childKey) const;
    std::wstring Text() const;
};

std::optional<VersionNode> ParseVersionResource(std::string_view bytes);

}  // namespace restest
