// Libraries of the system folder that the program needs only sometimes, loaded by their full path
// (never a library of that name planted beside the program or in the current folder) and kept for
// the rest of the process, as an imported one would be.
#pragma once

#include <windows.h>

// The library's handle, or null when it is not there; name is a plain file name ("oleacc.dll").
HMODULE LoadSystemLibrary(const wchar_t* name);

// A function of a system library by name, or null when the library or the function is not there.
template <typename Fn>
Fn FindSystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = LoadSystemLibrary(library);  // kept for the process
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}
