// Functions of kernel32 looked up by name at run time, so that the program still starts on
// systems that lack them.
#pragma once

#include <windows.h>

// Null when the function is not there.
template <typename Fn>
Fn FindKernel32Function(const char* name) {
    HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");  // borrowed handle
    return kernel32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(kernel32, name))) : nullptr;
}
