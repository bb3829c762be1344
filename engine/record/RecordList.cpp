#include "engine/record/RecordList.h"

#include <cwchar>

#include "base/NameCompare.h"
#include "engine/record/RecordText.h"

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

// Puts the entries of a record's text into a list.
class CListSink final : public IRecordLineSink {
public:
    explicit CListSink(CRecordList& list) : m_list(list) {}
    bool OnLine(wchar_t* word, wchar_t* const* fields, std::size_t count) override {
        for (const KindName& name : kKinds) {
            if (std::wcscmp(name.word, word) == 0) {
                return name.fields == count &&
                       m_list.Add(name.kind, count > 0 ? fields[0] : nullptr, count > 1 ? fields[1] : nullptr,
                                  count > 2 ? fields[2] : nullptr);
            }
        }
        return false;
    }

private:
    CRecordList& m_list;
};

bool AppendLine(RecordKind kind, const wchar_t* const* fields, fw::HeapArray<char>& text, std::size_t& bytes) {
    const KindName& name = NameOf(kind);
    return AppendRecordLine(name.word, fields, name.fields, text, bytes);
}

}  // namespace

const wchar_t* CRecordList::Word(RecordKind kind) {
    return NameOf(kind).word;
}

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
        if (Kind(i) == kind && EqualsNoCase(Field(i, 0), a ? a : L"") && EqualsNoCase(Field(i, 1), b ? b : L""))
            return true;
    }
    return false;
}

bool CRecordList::Parse(const char* utf8, std::size_t bytes) {
    Clear();
    CListSink sink(*this);
    if (ParseRecordText(utf8, bytes, sink)) return true;
    Clear();
    return false;
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
