#include "engine/install/NameList.h"

#include <cwchar>

#include "base/NameCompare.h"
#include "engine/platform/FolderWalk.h"

bool CNameList::ReadFolder(const wchar_t* folder) {
    m_count = 0;
    m_used = 0;
    return ForEachFolderEntry(folder, [&](const SetupFolderEntry& entry) {
        if (entry.IsFolder()) return true;
        const std::size_t length = std::wcslen(entry.name);
        if (!m_offsets.Grow(m_count + 1, m_count) || !m_text.Grow(m_used + length + 1, m_used)) return false;
        std::wmemcpy(m_text.get() + m_used, entry.name, length + 1);
        m_offsets[m_count++] = m_used;
        m_used += length + 1;
        return true;
    });
}

bool CNameList::Contains(const wchar_t* name) const {
    for (std::size_t i = 0; i < m_count; ++i) {
        if (EqualsNoCase(Name(i), name)) return true;
    }
    return false;
}
