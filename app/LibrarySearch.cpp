#include "app/LibrarySearch.h"

#include <windows.h>

#include "base/Kernel32.h"

void RestrictLibrarySearchToSystem() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    if (auto setDefault = FindKernel32Function<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories"))
        setDefault(kSearchSystem32);
    // Older systems: at least take the program's current folder out of the search.
    if (auto setDirectory = FindKernel32Function<SetDllDirectoryFn>("SetDllDirectoryW")) setDirectory(L"");
}
