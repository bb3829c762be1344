#include "engine/RecordList.h"

#include <cwchar>

#include "base/TextFormat.h"

namespace {

struct KindName {
    RecordKind kind;
    const wchar_t* word;
    std::size_t fields;
};

constexpr KindName kKinds[] = {
    {RecordKind::Begin, L"begin", 2},
    {RecordKind::Folder, L"folder", 1},
    {RecordKind::File, L"file", 1},
    {RecordKind::Moved, L"moved", 2},
    {RecordKind::Key, L"key", 1},
    {RecordKind::Value, L"value", 3},
    {RecordKind::ServiceReleased, L"service released", 1},
    {RecordKind::ServiceInstalled, L"service installed", 1},
    {RecordKind::Completed, L"completed", 0},
};

const KindName& NameOf(RecordKind kind) {
    for (const KindName& name : kKinds) {
        if (name.kind == kind) return name;
    }
    return kKinds[0];
}

constexpr wchar_t kSeparator[] = L" | ";
constexpr std::size_t kSeparatorUnits = 3;

// The separator's bar, the escape sign and line ends may not appear inside a field.
bool NeedsEscape(wchar_t c) {
    return c < 0x20 || c == L'|' || c == L'%';
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

// Undoes the escapes of a field in place.
void Unescape(wchar_t* field) {
    wchar_t* out = field;
    for (const wchar_t* in = field; *in; ++in) {
        const int high = in[0] == L'%' ? HexDigit(in[1]) : -1;
        const int low = high >= 0 ? HexDigit(in[2]) : -1;
        if (low >= 0) {
            *out++ = static_cast<wchar_t>(high * 16 + low);
            in += 2;
        } else {
            *out++ = *in;
        }
    }
    *out = L'\0';
}

// Appends the UTF-8 of units to text.
bool AppendUtf8(const wchar_t* units, std::size_t count, fw::HeapArray<char>& text, std::size_t& bytes) {
    if (count == 0) return true;
    if (!text.Grow(bytes + count * 3, bytes)) return false;
    const int written = ::WideCharToMultiByte(CP_UTF8, 0, units, static_cast<int>(count), text.get() + bytes,
                                              static_cast<int>(text.size() - bytes), nullptr, nullptr);
    bytes += static_cast<std::size_t>(written);
    return written > 0;
}

bool AppendLine(RecordKind kind, const wchar_t* const* fields, fw::HeapArray<char>& text, std::size_t& bytes) {
    const KindName& name = NameOf(kind);
    if (!AppendUtf8(name.word, std::wcslen(name.word), text, bytes)) return false;
    for (std::size_t i = 0; i < name.fields; ++i) {
        if (!AppendUtf8(kSeparator, kSeparatorUnits, text, bytes)) return false;
        for (const wchar_t* p = fields[i] ? fields[i] : L""; *p; ++p) {
            wchar_t escaped[3] = {*p, 0, 0};
            std::size_t units = 1;
            if (NeedsEscape(*p)) {
                static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
                escaped[0] = L'%';
                escaped[1] = kHex[(*p >> 4) & 0xF];
                escaped[2] = kHex[*p & 0xF];
                units = 3;
            }
            if (!AppendUtf8(escaped, units, text, bytes)) return false;
        }
    }
    return AppendUtf8(L"\r\n", 2, text, bytes);
}

}  // namespace

std::size_t CRecordList::Store(const wchar_t* text) {
    const std::size_t length = text ? std::wcslen(text) : 0;
    if (!m_text.Grow(m_used + length + 1, m_used)) return static_cast<std::size_t>(-1);
    const std::size_t offset = m_used;
    if (length) std::wmemcpy(m_text.get() + offset, text, length);
    m_text[offset + length] = L'\0';
    m_used += length + 1;
    return offset;
}

bool CRecordList::Add(RecordKind kind, const wchar_t* a, const wchar_t* b, const wchar_t* c) {
    if (!m_entries.Grow(m_count + 1, m_count)) return false;
    Entry entry{kind, {}};
    const wchar_t* fields[3] = {a, b, c};
    for (std::size_t i = 0; i < 3; ++i) {
        entry.field[i] = Store(fields[i]);
        if (entry.field[i] == static_cast<std::size_t>(-1)) return false;
    }
    m_entries[m_count++] = entry;
    return true;
}

bool CRecordList::AddFrom(const CRecordList& other, std::size_t index) {
    // The fields are copied first: other may be this list, whose text moves when it grows.
    fw::HeapArray<wchar_t> copies[3];
    for (std::size_t i = 0; i < 3; ++i) copies[i] = fw::CopyToHeap(other.Field(index, i));
    for (const auto& copy : copies) {
        if (!copy) return false;
    }
    return Add(other.Kind(index), copies[0].get(), copies[1].get(), copies[2].get());
}

void CRecordList::Clear() {
    m_count = 0;
    m_used = 0;
}

const wchar_t* CRecordList::Field(std::size_t index, std::size_t field) const {
    if (index >= m_count || field >= 3) return L"";
    return m_text.get() + m_entries[index].field[field];
}

bool CRecordList::Contains(RecordKind kind, const wchar_t* a, const wchar_t* b, std::size_t from) const {
    for (std::size_t i = from; i < m_count; ++i) {
        if (Kind(i) == kind && ::lstrcmpiW(Field(i, 0), a ? a : L"") == 0 &&
            ::lstrcmpiW(Field(i, 1), b ? b : L"") == 0)
            return true;
    }
    return false;
}

bool CRecordList::ParseLine(wchar_t* line) {
    // The word runs to the first separator; the fields follow, each up to the next one.
    wchar_t* fields[3] = {nullptr, nullptr, nullptr};
    std::size_t count = 0;
    wchar_t* separator = std::wcsstr(line, kSeparator);
    while (separator) {
        *separator = L'\0';
        wchar_t* field = separator + kSeparatorUnits;
        if (count == 3) return false;
        fields[count++] = field;
        separator = std::wcsstr(field, kSeparator);
    }
    const KindName* name = nullptr;
    for (const KindName& candidate : kKinds) {
        if (std::wcscmp(candidate.word, line) == 0) name = &candidate;
    }
    if (!name || name->fields != count) return false;
    for (std::size_t i = 0; i < count; ++i) Unescape(fields[i]);
    return Add(name->kind, fields[0], fields[1], fields[2]);
}

bool CRecordList::Parse(const char* utf8, std::size_t bytes) {
    Clear();
    const int units = bytes ? ::MultiByteToWideChar(CP_UTF8, 0, utf8, static_cast<int>(bytes), nullptr, 0) : 0;
    if (bytes && units <= 0) return false;
    fw::HeapArray<wchar_t> all(static_cast<std::size_t>(units) + 1);
    if (!all) return false;
    if (units) ::MultiByteToWideChar(CP_UTF8, 0, utf8, static_cast<int>(bytes), all.get(), units);

    wchar_t* line = all.get();
    while (*line) {
        wchar_t* end = line;
        while (*end && *end != L'\n') ++end;
        const bool last = *end == L'\0';
        *end = L'\0';
        if (end > line && end[-1] == L'\r') end[-1] = L'\0';

        if (*line && *line != L'#' && !ParseLine(line)) {
            // A line without its end is the one being written when the run stopped: its change
            // was never made (each is written whole before its change), so it is left out.
            if (!last) return false;
            break;
        }
        if (last) break;
        line = end + 1;
    }
    return true;
}

bool CRecordList::Format(std::size_t first, std::size_t end, fw::HeapArray<char>& text, std::size_t& bytes) const {
    bytes = 0;
    for (std::size_t i = first; i < end && i < m_count; ++i) {
        const wchar_t* fields[3] = {Field(i, 0), Field(i, 1), Field(i, 2)};
        if (!AppendLine(Kind(i), fields, text, bytes)) return false;
    }
    return true;
}

bool CRecordList::FormatLine(RecordKind kind, const wchar_t* a, const wchar_t* b, const wchar_t* c,
                             fw::HeapArray<char>& text, std::size_t& bytes) {
    bytes = 0;
    const wchar_t* fields[3] = {a, b, c};
    return AppendLine(kind, fields, text, bytes);
}
