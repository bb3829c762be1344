#include "engine/record/RecordText.h"

#include <cstring>
#include <cwchar>

const char kRecordHeading[] =
    "# What setup changed on this machine, in the order it changed it. Setup reads this file to undo an install "
    "that did not complete and to remove the installation; each line ends with its checksum.\r\n";
const std::size_t kRecordHeadingBytes = sizeof kRecordHeading - 1;

namespace {

// Records written before lines had checksums begin with this heading, and only they are read
// without them.
constexpr char kHeadingWithoutChecksums[] =
    "# What setup changed on this machine, in the order it changed it. Setup reads this file to undo an install "
    "that did not complete and to remove the installation.";

constexpr wchar_t kSeparator[] = L" | ";
constexpr std::size_t kSeparatorUnits = 3;
constexpr char kChecksumMark[] = " | #";
constexpr std::size_t kChecksumMarkBytes = 4;
constexpr std::size_t kChecksumDigits = 8;
constexpr std::size_t kMaxFields = 3;
constexpr wchar_t kHex[] = L"0123456789ABCDEF";

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// CRC-32 (the polynomial of zip and PNG) of a line's bytes.
unsigned long Checksum(const char* data, std::size_t bytes) {
    unsigned long crc = 0xFFFFFFFFul;
    for (std::size_t i = 0; i < bytes; ++i) {
        crc ^= static_cast<unsigned char>(data[i]);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320ul & (0ul - (crc & 1)));
    }
    return ~crc & 0xFFFFFFFFul;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

// The value of count hex digits at text, or -1.
long HexValue(const wchar_t* text, std::size_t count) {
    long value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

// Undoes the escapes of a field in place; false for a sign that no writer of the record makes
// (a bar or an unescaped control character), so that such a line counts as damaged.
bool Unescape(wchar_t* field) {
    wchar_t* out = field;
    for (const wchar_t* in = field; *in; ++in) {
        if (*in < 0x20 || *in == L'|') return false;
        if (*in != L'%') {
            *out++ = *in;
            continue;
        }
        const bool wide = in[1] == L'u';
        const long value = wide ? HexValue(in + 2, 4) : HexValue(in + 1, 2);
        if (value < 0) return false;
        *out++ = static_cast<wchar_t>(value);
        in += wide ? 5 : 2;
    }
    *out = L'\0';
    return true;
}

// The field with its escapes, appended to line (units used).
bool AppendEscaped(const wchar_t* field, fw::HeapArray<wchar_t>& line, std::size_t& used) {
    for (const wchar_t* p = field; *p; ++p) {
        wchar_t escaped[6] = {*p};
        std::size_t units = 1;
        const bool paired = (IsHighSurrogate(p[0]) && IsLowSurrogate(p[1])) ||
                            (IsLowSurrogate(p[0]) && p > field && IsHighSurrogate(p[-1]));
        if ((IsHighSurrogate(*p) || IsLowSurrogate(*p)) && !paired) {
            // UTF-8 has no form for it; a file name may still hold one.
            const wchar_t unit = *p;
            escaped[0] = L'%';
            escaped[1] = L'u';
            for (int i = 0; i < 4; ++i) escaped[2 + i] = kHex[(unit >> (12 - 4 * i)) & 0xF];
            units = 6;
        } else if (*p < 0x20 || *p == L'|' || *p == L'%') {
            escaped[0] = L'%';
            escaped[1] = kHex[(*p >> 4) & 0xF];
            escaped[2] = kHex[*p & 0xF];
            units = 3;
        }
        if (!line.Grow(used + units + 1, used)) return false;
        std::wmemcpy(line.get() + used, escaped, units);
        used += units;
    }
    return true;
}

bool AppendUnits(const wchar_t* units, std::size_t count, fw::HeapArray<wchar_t>& line, std::size_t& used) {
    if (!line.Grow(used + count + 1, used)) return false;
    std::wmemcpy(line.get() + used, units, count);
    used += count;
    return true;
}

// Splits a line into its word and at most kMaxFields fields, in place.
bool SplitLine(wchar_t* line, wchar_t* (&fields)[kMaxFields], std::size_t& count) {
    count = 0;
    for (wchar_t* separator = std::wcsstr(line, kSeparator); separator;) {
        *separator = L'\0';
        wchar_t* field = separator + kSeparatorUnits;
        if (count == kMaxFields) return false;
        fields[count++] = field;
        separator = std::wcsstr(field, kSeparator);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (!Unescape(fields[i])) return false;
    }
    return *line != L'\0';
}

// The bytes of one entry's line without its checksum; false when the checksum is missing or
// does not match.
bool CheckLine(const char* line, std::size_t& bytes) {
    if (bytes < kChecksumMarkBytes + kChecksumDigits) return false;
    const std::size_t mark = bytes - kChecksumDigits - kChecksumMarkBytes;
    if (std::memcmp(line + mark, kChecksumMark, kChecksumMarkBytes) != 0) return false;
    unsigned long written = 0;
    // Lower-case digits only, as written: any other byte is damage.
    for (std::size_t i = 0; i < kChecksumDigits; ++i) {
        const char c = line[mark + kChecksumMarkBytes + i];
        const bool digit = c >= '0' && c <= '9';
        if (!digit && !(c >= 'a' && c <= 'f')) return false;
        written = written * 16 + static_cast<unsigned long>(digit ? c - '0' : c - 'a' + 10);
    }
    bytes = mark;
    return written == Checksum(line, mark);
}

bool ParseLine(const char* line, std::size_t bytes, bool checksums, fw::HeapArray<wchar_t>& units,
               IRecordLineSink& sink) {
    if (checksums && !CheckLine(line, bytes)) return false;
    if (bytes == 0) return false;
    // Strict: a byte that is not UTF-8 makes the line damaged instead of a replacement character.
    const int count = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, line, static_cast<int>(bytes), nullptr, 0);
    if (count <= 0 || !units.Grow(static_cast<std::size_t>(count) + 1, 0)) return false;
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, line, static_cast<int>(bytes), units.get(), count);
    units[static_cast<std::size_t>(count)] = L'\0';
    if (std::wcslen(units.get()) != static_cast<std::size_t>(count)) return false;  // a zero byte
    wchar_t* fields[kMaxFields] = {};
    std::size_t fieldCount = 0;
    return SplitLine(units.get(), fields, fieldCount) && sink.OnLine(units.get(), fields, fieldCount);
}

}  // namespace

bool AppendRecordLine(const wchar_t* word, const wchar_t* const* fields, std::size_t count, fw::HeapArray<char>& text,
                      std::size_t& bytes) {
    fw::HeapArray<wchar_t> line;
    std::size_t used = 0;
    if (!AppendUnits(word, std::wcslen(word), line, used)) return false;
    for (std::size_t i = 0; i < count; ++i) {
        if (!AppendUnits(kSeparator, kSeparatorUnits, line, used) || !AppendEscaped(fields[i] ? fields[i] : L"", line, used))
            return false;
    }
    // The whole line at once: a surrogate pair becomes one four-byte character.
    const int lineBytes = ::WideCharToMultiByte(CP_UTF8, 0, line.get(), static_cast<int>(used), nullptr, 0, nullptr, nullptr);
    const std::size_t start = bytes;
    const std::size_t total = static_cast<std::size_t>(lineBytes) + kChecksumMarkBytes + kChecksumDigits + 2;
    if (lineBytes <= 0 || !text.Grow(start + total, start)) return false;
    ::WideCharToMultiByte(CP_UTF8, 0, line.get(), static_cast<int>(used), text.get() + start, lineBytes, nullptr,
                          nullptr);
    char* end = text.get() + start + lineBytes;
    std::memcpy(end, kChecksumMark, kChecksumMarkBytes);
    const unsigned long checksum = Checksum(text.get() + start, static_cast<std::size_t>(lineBytes));
    for (std::size_t i = 0; i < kChecksumDigits; ++i)
        end[kChecksumMarkBytes + i] = "0123456789abcdef"[(checksum >> (28 - 4 * i)) & 0xF];
    end[kChecksumMarkBytes + kChecksumDigits] = '\r';
    end[kChecksumMarkBytes + kChecksumDigits + 1] = '\n';
    bytes = start + total;
    return true;
}

bool ParseRecordText(const char* utf8, std::size_t bytes, IRecordLineSink& sink) {
    if (bytes >= 3 && std::memcmp(utf8, "\xEF\xBB\xBF", 3) == 0) {
        utf8 += 3;
        bytes -= 3;
    }
    fw::HeapArray<wchar_t> units;
    bool checksums = true;
    bool first = true;
    for (std::size_t start = 0; start < bytes;) {
        const void* found = std::memchr(utf8 + start, '\n', bytes - start);
        if (!found) break;  // the line being written when the run stopped
        const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(found) - utf8);
        std::size_t length = end - start;
        const char* line = utf8 + start;
        if (length > 0 && line[length - 1] == '\r') --length;
        start = end + 1;
        const bool heading = first && length > 0 && line[0] == '#';
        first = false;
        if (heading) {
            // Only a heading setup writes: a line end lost in it would hide the entry after it.
            auto is = [&](const char* text, std::size_t bytes) {
                return length == bytes && std::memcmp(line, text, bytes) == 0;
            };
            if (is(kRecordHeading, kRecordHeadingBytes - 2)) continue;
            if (!is(kHeadingWithoutChecksums, sizeof kHeadingWithoutChecksums - 1)) return false;
            checksums = false;
            continue;
        }
        if (length == 0) continue;  // a blank line that an editor added
        if (!ParseLine(line, length, checksums, units, sink)) return false;
    }
    return true;
}
