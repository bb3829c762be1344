// The one walk over a folder's entries that the engine makes.
#pragma once

#include <windows.h>

#include <cwchar>

#include "base/TextFormat.h"
#include "engine/platform/SetupPlatform.h"

// Calls visit(const SetupFolderEntry&) for each entry of folder (with or without its trailing
// backslash) in the system's order, "." and
// ".." left out; visit returns false to stop the walk. Each next entry is read ahead, so visit may
// delete the one it is given. Returns false when the folder's pattern does not fit or visit
// stopped; a folder that is not there has no entries. The walk follows what the system follows:
// a caller that deletes checks first that folder is not a link.
template <typename Visit>
bool ForEachFolderEntry(const wchar_t* folder, Visit visit) {
    wchar_t pattern[MAX_PATH];
    const std::size_t length = std::wcslen(folder);
    const bool slash = length > 0 && folder[length - 1] == L'\\';  // a setup folder ends with one
    if (!FormatText(pattern, slash ? L"%s*.*" : L"%s\\*.*", folder)) return false;
    auto walk = SetupPlatform().ListFolder(pattern);
    for (SetupFolderEntry entry; walk->Next(entry);) {
        const wchar_t* name = entry.name;
        if (name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2]))) continue;
        if (!visit(static_cast<const SetupFolderEntry&>(entry))) return false;
    }
    return true;
}
