#include "framework/DialogTemplate.h"

namespace {

constexpr std::size_t kHeaderFixed = 26;  // version to cy
constexpr std::size_t kItemFixed = 24;    // helpID to id

// Where a template is read, within its bytes.
class Reader {
public:
    Reader(const BYTE* bytes, std::size_t size) : m_bytes(bytes), m_size(size) {}
    bool Good() const { return m_at <= m_size; }
    std::size_t At() const { return m_at; }
    void Skip(std::size_t count) { m_at += count; }
    void AlignToDword() { m_at = (m_at + 3) & ~static_cast<std::size_t>(3); }
    WORD Word(std::size_t at) const { return at + 2 <= m_size ? static_cast<WORD>(m_bytes[at] | (m_bytes[at + 1] << 8)) : 0; }
    // A name or ordinal field: 0 (none), 0xFFFF and an ordinal, or a terminated string. Whether it
    // was a string.
    bool SkipNameOrOrdinal() {
        const WORD first = Word(m_at);
        if (first == 0xFFFF) {
            m_at += 4;
            return false;
        }
        SkipString();
        return first != 0;
    }
    void SkipString() {
        while (m_at + 2 <= m_size && Word(m_at) != 0) m_at += 2;
        m_at += 2;
    }

private:
    const BYTE* m_bytes;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// The header's end (where the first control starts) and the number of controls; false when the
// bytes are not an extended template.
bool ReadHeader(Reader& reader, const BYTE* bytes, std::size_t size, WORD& controls) {
    if (size < kHeaderFixed || reader.Word(0) != 1 || reader.Word(2) != 0xFFFF) return false;
    DWORD style;
    ::CopyMemory(&style, bytes + 12, sizeof style);
    controls = reader.Word(16);
    reader.Skip(kHeaderFixed);
    reader.SkipNameOrOrdinal();  // menu
    reader.SkipNameOrOrdinal();  // class
    reader.SkipString();         // title
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        reader.Skip(6);  // points, weight, italic, character set
        reader.SkipString();
    }
    reader.AlignToDword();
    return reader.Good();
}

// Walks one control; whether its class is a name. Ends aligned at the next control.
bool SkipControl(Reader& reader, DWORD& id, const BYTE* bytes) {
    ::CopyMemory(&id, bytes + reader.At() + 20, sizeof id);
    reader.Skip(kItemFixed);
    const bool named = reader.SkipNameOrOrdinal();
    reader.SkipNameOrOrdinal();  // title
    const WORD extra = reader.Word(reader.At());
    reader.Skip(2 + extra);
    reader.AlignToDword();
    return named;
}

}  // namespace

BOOL CDialogTemplate::CopyWithout(const void* source, DWORD size, const int* ids, int count) {
    m_bytes = fw::HeapArray<BYTE>();
    const auto* bytes = static_cast<const BYTE*>(source);
    Reader reader(bytes, size);
    WORD controls = 0;
    if (!bytes || !ReadHeader(reader, bytes, size, controls)) return FALSE;
    fw::HeapArray<BYTE> copy(size);
    if (!copy) return FALSE;
    std::size_t written = reader.At();
    ::CopyMemory(copy.get(), bytes, written);
    WORD kept = 0;
    for (WORD i = 0; i < controls; ++i) {
        const std::size_t start = reader.At();
        if (start + kItemFixed > size) return FALSE;
        DWORD id = 0;
        SkipControl(reader, id, bytes);
        const std::size_t end = reader.At() < size ? reader.At() : size;
        if (reader.At() > size && i + 1 < controls) return FALSE;
        bool leftOut = false;
        for (int j = 0; j < count; ++j) leftOut = leftOut || static_cast<int>(id) == ids[j];
        if (leftOut) continue;
        // Controls start on DWORD boundaries, and so does each one's copy.
        ::CopyMemory(copy.get() + written, bytes + start, end - start);
        written += (end - start + 3) & ~static_cast<std::size_t>(3);
        ++kept;
    }
    copy[16] = static_cast<BYTE>(kept & 0xFF);
    copy[17] = static_cast<BYTE>(kept >> 8);
    m_bytes = std::move(copy);
    return TRUE;
}

BOOL CDialogTemplate::NamesAClass(const void* source, DWORD size) {
    const auto* bytes = static_cast<const BYTE*>(source);
    Reader reader(bytes, size);
    WORD controls = 0;
    if (!bytes || !ReadHeader(reader, bytes, size, controls)) return TRUE;
    for (WORD i = 0; i < controls; ++i) {
        if (reader.At() + kItemFixed > size) return TRUE;
        DWORD id = 0;
        if (SkipControl(reader, id, bytes)) return TRUE;
    }
    return FALSE;
}
