#include "framework/SystemLibrary.h"

#include "base/TextFormat.h"

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t system[MAX_PATH];
    wchar_t path[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !FormatText(path, L"%s\\%s", system, name)) return nullptr;
    // A library already loaded by that path is only counted again.
    return ::LoadLibraryW(path);
}
