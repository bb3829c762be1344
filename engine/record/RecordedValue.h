// A registry value's data as the install record keeps it, so that an undo can set it back exactly:
// "sz:<text>" for a terminated string, "dword:<n>" for a number, and "hex:<type>:<bytes>" for
// everything else (expandable and multiple strings, binary data, strings without their end).
#pragma once

#include <windows.h>

#include "base/HeapArray.h"

// The text for data of type; false without memory.
bool FormatRecordedValue(DWORD type, const BYTE* data, DWORD bytes, fw::HeapArray<wchar_t>& text);

// The data that text describes; false when it is not one of the forms above.
struct RecordedValue {
    DWORD type = REG_NONE;
    fw::HeapArray<BYTE> data;
    DWORD bytes = 0;
};
bool ParseRecordedValue(const wchar_t* text, RecordedValue& value);
