// The install record's text on its own: the round trip of every kind of entry, and what damage,
// a cut, an editor's byte-order mark or its line ends do to the reading of a sample record.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "engine/record/RecordedValue.h"
#include "engine/record/RecordList.h"
#include "engine/record/RecordText.h"

namespace {

struct Entry {
    RecordKind kind;
    std::wstring a, b, c;
    bool operator==(const Entry& other) const {
        return kind == other.kind && a == other.a && b == other.b && c == other.c;
    }
};

void PrintTo(const Entry& e, std::ostream* out) {
    *out << CRecordList::Word(e.kind);
    for (const std::wstring* field : {&e.a, &e.b, &e.c}) {
        *out << " |";
        for (wchar_t c : *field) *out << ' ' << std::hex << static_cast<unsigned>(c);
    }
}

// Fields that need every escape: separators, the escape sign, line ends, control characters, a
// surrogate pair (a user profile named in an ideograph of the supplementary planes), lone
// surrogates as file names may hold them, and text that only looks like an escape or a checksum.
const std::vector<Entry> kSample = {
    {RecordKind::Begin, L"2026-12-08 10:00:00", L"C:\\media | 100% \\\xD842\xDFB7\x7530\\", L""},
    {RecordKind::Folder, L"C:\\Program Files\\KRT55A", L"", L""},
    {RecordKind::File, L"C:\\Users\\\xD842\xDFB7\x7530\\Desktop\\a|b %41 %u0041.lnk", L"", L""},
    {RecordKind::Moved, L"C:\\x\\line\r\nend\ttab\x01.txt", L"C:\\x\\Uninstall\\Backup\\1\\1", L""},
    {RecordKind::Key, L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KRT55A", L"", L""},
    {RecordKind::Value, L"HKLM\\SOFTWARE\\Run", L"name | #0000", L"sz:\"C:\\a b\\x.exe\" min"},
    {RecordKind::Value, L"HKCU\\Persisted", L"lone \xD800 and \xDC00 end\xDBFF", L"hex:7:4100000000"},
    {RecordKind::ServiceReleased, L"C:\\Program Files\\KRT55A", L"", L""},
    {RecordKind::ServiceInstalled, L"C:\\Program Files\\KRT55A", L"", L""},
    {RecordKind::Value, L"", L"", L""},
    {RecordKind::Completed, L"", L"", L""},
};

std::string SampleText() {
    fw::HeapArray<char> text;
    size_t bytes = 0;
    CRecordList list;
    for (const Entry& e : kSample) EXPECT_TRUE(list.Add(e.kind, e.a.c_str(), e.b.c_str(), e.c.c_str()));
    EXPECT_TRUE(list.Format(0, list.Count(), text, bytes));
    return std::string(kRecordHeading) + std::string(text.get(), bytes);
}

std::vector<Entry> Entries(const CRecordList& list) {
    std::vector<Entry> entries;
    for (size_t i = 0; i < list.Count(); ++i)
        entries.push_back({list.Kind(i), list.Field(i, 0), list.Field(i, 1), list.Field(i, 2)});
    return entries;
}

bool Parse(const std::string& text, std::vector<Entry>& entries) {
    CRecordList list;
    const bool ok = list.Parse(text.data(), text.size());
    entries = Entries(list);
    return ok;
}

// The lines' ends in the sample, as byte offsets just past each "\n".
std::vector<size_t> LineEnds(const std::string& text) {
    std::vector<size_t> ends;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') ends.push_back(i + 1);
    }
    return ends;
}

}  // namespace

TEST(RecordText, EveryEntryReadsBackUnchanged) {
    const std::string text = SampleText();
    // One line each: nothing of a field breaks a line or adds a separator.
    EXPECT_EQ(kSample.size() + 1, LineEnds(text).size());
    EXPECT_NE(std::string::npos, text.find("\xF0\xA0\xAE\xB7")) << "a surrogate pair is one four-byte character";
    EXPECT_NE(std::string::npos, text.find("a%7Cb %2541 %25u0041.lnk"));
    std::vector<Entry> entries;
    ASSERT_TRUE(Parse(text, entries));
    EXPECT_EQ(kSample, entries);
}

TEST(RecordText, ACutLeavesOutTheLineItFellInAndNothingElse) {
    const std::string text = SampleText();
    const std::vector<size_t> ends = LineEnds(text);
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        std::vector<Entry> entries;
        ASSERT_TRUE(Parse(text.substr(0, cut), entries)) << "cut at " << cut;
        // Whole lines only: those that end at or before the cut, the heading aside.
        size_t whole = 0;
        while (whole < ends.size() && ends[whole] <= cut) ++whole;
        const size_t expected = whole > 0 ? whole - 1 : 0;
        ASSERT_EQ(std::vector<Entry>(kSample.begin(), kSample.begin() + static_cast<long>(expected)), entries)
            << "cut at " << cut;
    }
}

TEST(RecordText, ADamagedByteNeverReadsAsAnEntry) {
    const std::string text = SampleText();
    const size_t heading = LineEnds(text)[0];
    for (size_t at = 0; at < text.size(); ++at) {
        for (unsigned char flip : {0x01, 0x20, 0x80, 0xFF}) {
            std::string damaged = text;
            damaged[at] = static_cast<char>(damaged[at] ^ flip);
            std::vector<Entry> entries;
            const bool read = Parse(damaged, entries);
            if (!read) {
                EXPECT_TRUE(entries.empty());
                continue;
            }
            // Read at all: the damage was in the heading or a line end it left out, and every
            // entry that was read is one that was written.
            ASSERT_LE(entries.size(), kSample.size()) << at;
            EXPECT_EQ(std::vector<Entry>(kSample.begin(), kSample.begin() + static_cast<long>(entries.size())), entries)
                << "byte " << at << " ^ " << int(flip);
            if (at >= heading) {
                EXPECT_LT(entries.size(), kSample.size()) << "byte " << at << " ^ " << int(flip);
            }
        }
    }
}

TEST(RecordText, AnEditorsByteOrderMarkBareLineEndsAndBlankLinesAreRead) {
    std::string text = "\xEF\xBB\xBF" + SampleText() + "\r\n";
    std::string bare;
    for (char c : text) {
        if (c != '\r') bare += c;
    }
    // A bare line end inside the escaped fields cannot be: they were escaped.
    std::vector<Entry> entries;
    ASSERT_TRUE(Parse(text, entries));
    EXPECT_EQ(kSample, entries);
    ASSERT_TRUE(Parse(bare, entries));
    EXPECT_EQ(kSample, entries);
}

TEST(RecordText, ALineEditedByHandOrAnUnknownWordMakesTheRecordUnreadable) {
    const std::string text = SampleText();
    for (const std::string& edited :
         {text + "file | C:\\Windows\\win.ini\r\n",                    // no checksum
          text + "# a remark\r\n",                                      // only the heading is a remark
          text + "erase | C:\\x | #00000000\r\n",                       // not a word of the record
          std::string(kRecordHeading) + "completed\r\nfile | C:\\x\r\n"}) {  // the old format's lines
        std::vector<Entry> entries;
        EXPECT_FALSE(Parse(edited, entries)) << edited.substr(edited.size() - 30);
        EXPECT_TRUE(entries.empty());
    }
}

TEST(RecordText, RecordsWrittenBeforeLinesHadChecksumsAreStillRead) {
    const std::string old =
        "# What setup changed on this machine, in the order it changed it. Setup reads this file to undo an install "
        "that did not complete and to remove the installation.\r\n"
        "begin | 2026-12-07 19:40:01 | C:\\payload\\\r\nfile | C:\\Program Files\\KRT55A\\a%7Cb.dll\r\ncompleted\r\n";
    std::vector<Entry> entries;
    ASSERT_TRUE(Parse(old, entries));
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ(L"C:\\Program Files\\KRT55A\\a|b.dll", entries[1].a);
    EXPECT_EQ(RecordKind::Completed, entries[2].kind);
}

TEST(RecordedValue, EveryTypeOfDataComesBackExactly) {
    const std::wstring text = L"C:\\a b\\x.exe";
    const std::wstring unterminated = L"no end";
    const BYTE binary[] = {0x00, 0xFF, 0x7C, 0x25};
    const wchar_t multi[] = L"one\0two\0";
    const DWORD number = 4294967295u;
    struct Case {
        DWORD type;
        const void* data;
        DWORD bytes;
        const wchar_t* prefix;
    } cases[] = {
        {REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2), L"sz:"},
        {REG_DWORD, &number, 4, L"dword:4294967295"},
        {REG_EXPAND_SZ, L"%ProgramFiles%\\x", 34, L"hex:2:"},
        {REG_MULTI_SZ, multi, sizeof multi, L"hex:7:"},
        {REG_BINARY, binary, sizeof binary, L"hex:3:00ff7c25"},
        {REG_BINARY, binary, 0, L"hex:3:"},
        {REG_SZ, unterminated.c_str(), static_cast<DWORD>(unterminated.size() * 2), L"hex:1:"},
        {REG_QWORD, binary, 4, L"hex:11:"},
    };
    for (const Case& c : cases) {
        fw::HeapArray<wchar_t> formatted;
        ASSERT_TRUE(FormatRecordedValue(c.type, static_cast<const BYTE*>(c.data), c.bytes, formatted));
        EXPECT_EQ(0u, std::wstring(formatted.get()).find(c.prefix)) << formatted.get();
        RecordedValue value;
        ASSERT_TRUE(ParseRecordedValue(formatted.get(), value)) << formatted.get();
        EXPECT_EQ(c.type, value.type);
        ASSERT_EQ(c.bytes, value.bytes);
        EXPECT_EQ(0, memcmp(c.data, value.data.get(), c.bytes)) << formatted.get();
    }
    RecordedValue value;
    for (const wchar_t* bad : {L"none", L"dword:", L"dword:4294967296", L"dword:-1", L"hex:3:0", L"hex:3:zz", L"hex::00",
                               L"hex:3", L"text:abc"})
        EXPECT_FALSE(ParseRecordedValue(bad, value)) << bad;
}
