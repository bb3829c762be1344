#include "framework/CommonControls.h"

#include <commctrl.h>

#include "base/TextFormat.h"

namespace {

using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

InitFn LoadInitFunction() {
    // By full path from the system folder: never a library of that name planted elsewhere.
    wchar_t system[MAX_PATH];
    wchar_t path[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !FormatText(path, L"%s\\comctl32.dll", system)) return nullptr;
    HMODULE library = ::LoadLibraryW(path);  // kept for the process's lifetime
    if (!library) return nullptr;
    return reinterpret_cast<InitFn>(reinterpret_cast<void*>(::GetProcAddress(library, "InitCommonControlsEx")));
}

}  // namespace

BOOL InitCommonControlClasses(DWORD icc) {
    // Windows are made on the user-interface thread only: no guard around the first load.
    static InitFn s_init = nullptr;
    if (!s_init) s_init = LoadInitFunction();
    if (!s_init) return FALSE;
    const INITCOMMONCONTROLSEX classes = {sizeof classes, icc};
    return s_init(&classes);
}
