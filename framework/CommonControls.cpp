#include "framework/CommonControls.h"

#include <commctrl.h>

#include "framework/SystemLibrary.h"

BOOL InitCommonControlClasses(DWORD icc) {
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    // Windows are made on the user-interface thread only: no guard around the first load.
    static InitFn s_init = nullptr;
    if (!s_init) s_init = FindSystemFunction<InitFn>(L"comctl32.dll", "InitCommonControlsEx");
    if (!s_init) return FALSE;
    const INITCOMMONCONTROLSEX classes = {sizeof classes, icc};
    return s_init(&classes);
}
