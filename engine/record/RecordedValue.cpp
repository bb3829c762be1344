#include "engine/record/RecordedValue.h"

#include <cwchar>

#include "base/TextFormat.h"

namespace {

constexpr wchar_t kString[] = L"sz:";
constexpr wchar_t kNumber[] = L"dword:";
constexpr wchar_t kHexData[] = L"hex:";

bool StartsWith(const wchar_t* text, const wchar_t* prefix) {
    return std::wcsncmp(text, prefix, std::wcslen(prefix)) == 0;
}

// A REG_SZ whose text ends with its terminator and holds no other zero: "sz:" gives it back.
bool IsPlainString(DWORD type, const BYTE* data, DWORD bytes) {
    if (type != REG_SZ || bytes < sizeof(wchar_t) || bytes % sizeof(wchar_t) != 0) return false;
    const std::size_t units = bytes / sizeof(wchar_t);
    for (std::size_t i = 0; i < units; ++i) {
        wchar_t unit = 0;
        ::CopyMemory(&unit, data + i * sizeof unit, sizeof unit);
        if ((unit == 0) != (i == units - 1)) return false;
    }
    return true;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// A decimal number of at most 32 bits; false for anything else.
bool ParseNumber(const wchar_t* text, DWORD& number) {
    unsigned long long value = 0;
    if (!*text) return false;
    for (; *text; ++text) {
        if (*text < L'0' || *text > L'9') return false;
        value = value * 10 + static_cast<unsigned>(*text - L'0');
        if (value > 0xFFFFFFFFull) return false;
    }
    number = static_cast<DWORD>(value);
    return true;
}

}  // namespace

bool FormatRecordedValue(DWORD type, const BYTE* data, DWORD bytes, fw::HeapArray<wchar_t>& text) {
    if (IsPlainString(type, data, bytes)) {
        const std::size_t units = bytes / sizeof(wchar_t);  // the terminator included
        text = fw::HeapArray<wchar_t>(3 + units);
        if (!text) return false;
        std::wmemcpy(text.get(), kString, 3);
        ::CopyMemory(text.get() + 3, data, bytes);
        return true;
    }
    if (type == REG_DWORD && bytes == sizeof(DWORD)) {
        DWORD number = 0;
        ::CopyMemory(&number, data, sizeof number);
        text = fw::HeapArray<wchar_t>(32);
        return text && FormatTextInto(text.get(), text.size(), L"dword:%s", {NumberText(number)});
    }
    const NumberText typeText(type);
    const std::size_t head = 4 + std::wcslen(typeText) + 1;
    text = fw::HeapArray<wchar_t>(head + 2 * static_cast<std::size_t>(bytes) + 1);
    if (!text || !FormatTextInto(text.get(), head + 1, L"hex:%s:", {typeText})) return false;
    for (DWORD i = 0; i < bytes; ++i) {
        text[head + 2 * i] = L"0123456789abcdef"[data[i] >> 4];
        text[head + 2 * i + 1] = L"0123456789abcdef"[data[i] & 0xF];
    }
    return true;
}

bool ParseRecordedValue(const wchar_t* text, RecordedValue& value) {
    if (StartsWith(text, kString)) {
        const std::size_t units = std::wcslen(text + 3) + 1;
        value.type = REG_SZ;
        value.bytes = static_cast<DWORD>(units * sizeof(wchar_t));
        value.data = fw::HeapArray<BYTE>(value.bytes);
        if (!value.data) return false;
        ::CopyMemory(value.data.get(), text + 3, value.bytes);
        return true;
    }
    if (StartsWith(text, kNumber)) {
        DWORD number = 0;
        if (!ParseNumber(text + 6, number)) return false;
        value.type = REG_DWORD;
        value.bytes = sizeof number;
        value.data = fw::HeapArray<BYTE>(sizeof number);
        if (!value.data) return false;
        ::CopyMemory(value.data.get(), &number, sizeof number);
        return true;
    }
    if (!StartsWith(text, kHexData)) return false;
    const wchar_t* colon = std::wcschr(text + 4, L':');
    if (!colon) return false;
    wchar_t typeText[16] = {};
    const std::size_t typeLength = static_cast<std::size_t>(colon - (text + 4));
    if (typeLength == 0 || typeLength >= 16) return false;
    std::wmemcpy(typeText, text + 4, typeLength);
    const wchar_t* hex = colon + 1;
    const std::size_t digits = std::wcslen(hex);
    if (!ParseNumber(typeText, value.type) || digits % 2 != 0 || digits / 2 > 0xFFFFFFFFu) return false;
    value.bytes = static_cast<DWORD>(digits / 2);
    value.data = fw::HeapArray<BYTE>(value.bytes ? value.bytes : 1);
    if (!value.data) return false;
    for (DWORD i = 0; i < value.bytes; ++i) {
        const int high = HexDigit(hex[2 * i]);
        const int low = HexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        value.data[i] = static_cast<BYTE>(high * 16 + low);
    }
    return true;
}
