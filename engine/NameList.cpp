#include "engine/NameList.h"

#include <cwchar>

#include "base/TextFormat.h"
#include "engine/SetupPlatform.h"

bool CNameList::ReadFolder(const wchar_t* pattern) {
    m_count = 0;
    m_used = 0;
    auto walk = SetupPlatform().ListFolder(pattern);
    for (SetupFolderEntry entry; walk->Next(entry);) {
        if (entry.IsFolder()) continue;
        const std::size_t length = std::wcslen(entry.name);
        if (!m_offsets.Grow(m_count + 1, m_count) || !m_text.Grow(m_used + length + 1, m_used)) return false;
        std::wmemcpy(m_text.get() + m_used, entry.name, length + 1);
        m_offsets[m_count++] = m_used;
        m_used += length + 1;
    }
    return true;
}

bool CNameList::Contains(const wchar_t* name) const {
    // Most names are plain ASCII, compared cheaply; others also as the system compares them.
    bool ascii = true;
    for (const wchar_t* p = name; *p; ++p) {
        if (*p >= 0x80) ascii = false;
    }
    for (std::size_t i = 0; i < m_count; ++i) {
        if (EqualsAsciiNoCase(Name(i), name) || (!ascii && ::lstrcmpiW(Name(i), name) == 0)) return true;
    }
    return false;
}
