// The entries of an install record in memory, read from and written as the record's text
// (RecordText.h). A person reads it as it stands; setup reads it back to undo an install or to
// remove one, taking each entry as a claim to check, never as a command.
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/HeapArray.h"

enum class RecordKind : unsigned char {
    Begin,             // begin | <local time> | <setup folder>: a run of setup began to change the machine
    Folder,            // folder | <path>: created
    File,              // file | <path>: created where nothing was
    Moved,             // moved | <path> | <backup>: what was there moved aside, to be put back on undo
    Key,               // key | <root\path>: created
    Value,             // value | <root\key path> | <name> | <earlier data>: set or deleted
    ServiceReleased,   // service released | <install folder>: the earlier service was released
    ServiceInstalled,  // service installed | <install folder>: the service setup program ran with "-i"
    Completed,         // completed: the run ended well; the entries before it are the installation
};

// A value's earlier data in a record: "none" when there was no value (see RecordedValue.h).
inline constexpr wchar_t kNoEarlierValue[] = L"none";

class CRecordList {
public:
    CRecordList() = default;
    CRecordList(const CRecordList&) = delete;
    CRecordList& operator=(const CRecordList&) = delete;

    // Returns false when there is no memory for it.
    bool Add(RecordKind kind, const wchar_t* a = nullptr, const wchar_t* b = nullptr, const wchar_t* c = nullptr);
    bool AddFrom(const CRecordList& other, std::size_t index);
    // Replaces the entries by those of a record's text (see ParseRecordText); false, with no
    // entries, when a line is damaged.
    bool Parse(const char* utf8, std::size_t bytes);
    void Clear();

    // The word that starts an entry's line ("file", "moved", ...).
    static const wchar_t* Word(RecordKind kind);

    std::size_t Count() const { return m_count; }
    RecordKind Kind(std::size_t index) const { return m_entries[index].kind; }
    // The field, or an empty text when the entry has none at that place.
    const wchar_t* Field(std::size_t index, std::size_t field) const;
    // Whether an entry of this kind with the same fields (compared without regard to case) is
    // listed at or after from.
    bool Contains(RecordKind kind, const wchar_t* a, const wchar_t* b, std::size_t from = 0) const;

    // The entries from first to end as the record's lines, UTF-8; false when there is no memory.
    bool Format(std::size_t first, std::size_t end, fw::HeapArray<char>& text, std::size_t& bytes) const;
    // One entry as one line, for appending.
    static bool FormatLine(RecordKind kind, const wchar_t* a, const wchar_t* b, const wchar_t* c,
                           fw::HeapArray<char>& text, std::size_t& bytes);

private:
    struct Entry {
        RecordKind kind;
        std::size_t field[3];  // offsets into m_text
    };
    std::size_t Store(const wchar_t* text);

    fw::HeapArray<Entry> m_entries;
    std::size_t m_count = 0;
    fw::HeapArray<wchar_t> m_text;  // the fields, each terminated
    std::size_t m_used = 0;
};
