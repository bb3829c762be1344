// A copy of an extended dialog template (DLGTEMPLATEEX) without some of its controls, for a dialog
// that makes those itself later (the controls of a library it loads only when they are needed),
// and whether a template names a window class of its own (a string, not one of the system's
// ordinals), which the common controls register.
#pragma once

#include <windows.h>

#include "base/HeapArray.h"

class CDialogTemplate {
public:
    // Copies the template of size bytes without the controls whose ids are among ids. FALSE, and
    // no copy, when it is not an extended template or runs short.
    BOOL CopyWithout(const void* source, DWORD size, const int* ids, int count);
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_bytes.get()); }

    // Whether an extended template holds a control of a class given by name; TRUE also for a
    // template it cannot read, which then gets everything it may need.
    static BOOL NamesAClass(const void* source, DWORD size);

private:
    fw::HeapArray<BYTE> m_bytes;
};
