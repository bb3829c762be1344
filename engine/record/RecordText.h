// The text of an install record: one line per entry in UTF-8, its word and its fields separated
// by " | ", then its checksum, so that a line damaged or edited since it was written is never
// read as an entry. A field escapes the separator's bar, the escape sign, control characters and
// unpaired surrogates; every other UTF-16 unit is written as it stands.
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/HeapArray.h"

// The record's first line, a remark for the person who opens it.
extern const char kRecordHeading[];
extern const std::size_t kRecordHeadingBytes;

// Appends one line, "<word> | <field> ... | #<checksum>" and its line end, to text (bytes used).
// False without memory.
bool AppendRecordLine(const wchar_t* word, const wchar_t* const* fields, std::size_t count, fw::HeapArray<char>& text,
                      std::size_t& bytes);

// Receives the entries of a record's text, each with its word and its unescaped fields (both
// writable, valid during the call); returns false to stop the reading.
class IRecordLineSink {
public:
    virtual bool OnLine(wchar_t* word, wchar_t* const* fields, std::size_t count) = 0;

protected:
    ~IRecordLineSink() = default;
};

// Reads a record's text. A byte-order mark is skipped and bare line feeds are taken as line ends.
// The last line is left out unless it ends with its line end: it is the one being written when
// the run stopped, whose change was never made. Returns false when a whole line is not an entry
// as setup writes it (or its checksum does not match), or the sink stopped.
bool ParseRecordText(const char* utf8, std::size_t bytes, IRecordLineSink& sink);
