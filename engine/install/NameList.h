// The file names in a folder, read once: what the payload holds, looked up without asking the disk
// again for every name of the install's tables.
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/HeapArray.h"

class CNameList {
public:
    CNameList() = default;
    CNameList(const CNameList&) = delete;
    CNameList& operator=(const CNameList&) = delete;

    // The files (not folders) in folder; false when there is no memory for them.
    bool ReadFolder(const wchar_t* folder);
    std::size_t Count() const { return m_count; }
    const wchar_t* Name(std::size_t index) const { return m_text.get() + m_offsets[index]; }
    // Compared as the file system compares names, without regard to case.
    bool Contains(const wchar_t* name) const;

private:
    fw::HeapArray<std::size_t> m_offsets;
    std::size_t m_count = 0;
    fw::HeapArray<wchar_t> m_text;
    std::size_t m_used = 0;
};
