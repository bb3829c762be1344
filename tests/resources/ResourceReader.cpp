#include "tests/resources/ResourceReader.h"

#include <cstring>

namespace restest {

fw::UniqueModule LoadAsData(const std::wstring& path) {
    return fw::UniqueModule(
        ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::optional<std::string_view> ResourceBytes(HMODULE module, LPCWSTR type, LPCWSTR name, LANGID language) {
    HRSRC found = ::FindResourceExW(module, type, name, language);
    if (!found) return std::nullopt;
    HGLOBAL loaded = ::LoadResource(module, found);  // not owned: lives as long as the module
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return std::string_view(static_cast<const char*>(data), ::SizeofResource(module, found));
}

namespace {

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::vector<LANGID>*>(param)->push_back(language);
    return TRUE;
}

// Sequential reads that fail softly once the bytes run out.
class Reader {
public:
    explicit Reader(std::string_view bytes, size_t pos = 0) : m_bytes(bytes), m_pos(pos) {}

    bool ok() const { return m_ok; }
    size_t pos() const { return m_pos; }

    template <typename T>
    T Read() {
        T value{};
        if (!m_ok || m_pos + sizeof(T) > m_bytes.size()) {
            m_ok = false;
            return value;
        }
        std::memcpy(&value, m_bytes.data() + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }
    std::wstring String() {
        std::wstring text;
        for (wchar_t c = Read<wchar_t>(); m_ok && c != L'\0'; c = Read<wchar_t>()) text += c;
        return text;
    }
    NameOrOrdinal NameOrOrd() {
        NameOrOrdinal field;
        const WORD first = Read<WORD>();
        if (first == 0xFFFF) {
            field.isOrdinal = true;
            field.ordinal = Read<WORD>();
        } else if (first != 0) {
            field.text = static_cast<wchar_t>(first) + String();
        }
        return field;
    }
    void Skip(size_t count) {
        if (m_pos + count > m_bytes.size()) m_ok = false;
        else m_pos += count;
    }
    void AlignTo4() { Skip(((m_pos + 3) & ~size_t{3}) - m_pos); }

private:
    std::string_view m_bytes;
    size_t m_pos;
    bool m_ok = true;
};

size_t AlignUp4(size_t n) { return (n + 3) & ~size_t{3}; }

// The node at offset, which must end within bytes; its length is left in length.
std::optional<VersionNode> ParseVersionNode(std::string_view bytes, size_t offset, WORD& length) {
    Reader reader(bytes, offset);
    length = reader.Read<WORD>();
    const WORD valueLength = reader.Read<WORD>();
    VersionNode node;
    node.type = reader.Read<WORD>();
    const size_t end = offset + length;
    if (!reader.ok() || length < 6 || end > bytes.size()) return std::nullopt;
    node.key = reader.String();
    reader.AlignTo4();
    // A text value counts UTF-16 units, a binary one bytes.
    const size_t valueBytes = node.type == 1 ? valueLength * sizeof(wchar_t) : valueLength;
    if (!reader.ok() || reader.pos() + valueBytes > end) return std::nullopt;
    node.value.assign(bytes.data() + reader.pos(), valueBytes);
    for (size_t pos = AlignUp4(reader.pos() + valueBytes); pos < end;) {
        WORD childLength = 0;
        std::optional<VersionNode> child = ParseVersionNode(bytes.substr(0, end), pos, childLength);
        if (!child) return std::nullopt;
        node.children.push_back(std::move(*child));
        pos = AlignUp4(pos + childLength);
    }
    return node;
}

}  // namespace

std::vector<LANGID> ResourceLanguages(HMODULE module, LPCWSTR type, LPCWSTR name) {
    std::vector<LANGID> languages;
    ::EnumResourceLanguagesW(module, type, name, CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

std::wstring StringInLanguage(HMODULE module, UINT id, LANGID language) {
    std::optional<std::string_view> block =
        ResourceBytes(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!block) return {};
    Reader reader(*block);
    for (UINT index = 0; index < id % 16; ++index) reader.Skip(reader.Read<WORD>() * sizeof(wchar_t));
    std::wstring text(reader.Read<WORD>(), L'\0');
    for (wchar_t& c : text) c = reader.Read<wchar_t>();
    return reader.ok() ? text : std::wstring();
}

std::optional<DialogTemplateEx> ParseDialogTemplateEx(std::string_view bytes) {
    Reader reader(bytes);
    DialogTemplateEx dialog;
    dialog.version = reader.Read<WORD>();
    dialog.signature = reader.Read<WORD>();
    if (!reader.ok() || dialog.version != 1 || dialog.signature != 0xFFFF) return std::nullopt;
    dialog.helpId = reader.Read<DWORD>();
    dialog.exStyle = reader.Read<DWORD>();
    dialog.style = reader.Read<DWORD>();
    const WORD count = reader.Read<WORD>();
    dialog.x = reader.Read<short>();
    dialog.y = reader.Read<short>();
    dialog.cx = reader.Read<short>();
    dialog.cy = reader.Read<short>();
    dialog.menu = reader.NameOrOrd();
    dialog.windowClass = reader.NameOrOrd();
    dialog.title = reader.String();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = reader.Read<WORD>();
        dialog.weight = reader.Read<WORD>();
        dialog.italic = reader.Read<BYTE>();
        dialog.charset = reader.Read<BYTE>();
        dialog.typeface = reader.String();
    }
    for (WORD i = 0; i < count && reader.ok(); ++i) {
        reader.AlignTo4();
        DialogItem item;
        item.helpId = reader.Read<DWORD>();
        item.exStyle = reader.Read<DWORD>();
        item.style = reader.Read<DWORD>();
        item.x = reader.Read<short>();
        item.y = reader.Read<short>();
        item.cx = reader.Read<short>();
        item.cy = reader.Read<short>();
        item.id = reader.Read<DWORD>();
        item.windowClass = reader.NameOrOrd();
        item.text = reader.NameOrOrd();
        item.extraBytes = reader.Read<WORD>();
        reader.Skip(item.extraBytes);
        dialog.items.push_back(item);
    }
    if (!reader.ok()) return std::nullopt;
    return dialog;
}

const VersionNode* VersionNode::Child(std::wstring_view childKey) const {
    for (const VersionNode& child : children)
        if (child.key == childKey) return &child;
    return nullptr;
}

std::wstring VersionNode::Text() const {
    std::wstring text(value.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), value.data(), text.size() * sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

std::optional<VersionNode> ParseVersionResource(std::string_view bytes) {
    WORD length = 0;
    return ParseVersionNode(bytes, 0, length);
}

}  // namespace restest
