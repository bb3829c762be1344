// The program's operator new and delete, on the process heap. The program is built without
// exceptions, so an allocation that fails ends the process, as the application set it
// (AfxSetOutOfMemoryExit), instead of throwing; and none of the run-time library's exception
// machinery is linked for the allocator's sake.
#include <windows.h>

#include <cstddef>
#include <new>

#include "framework/WinApp.h"

void* operator new(std::size_t size) {
    if (void* block = ::HeapAlloc(::GetProcessHeap(), 0, size ? size : 1)) return block;
    AfxOutOfMemoryExit();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void operator delete(void* block) noexcept {
    if (block) ::HeapFree(::GetProcessHeap(), 0, block);
}

void operator delete[](void* block) noexcept {
    operator delete(block);
}

void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}

void operator delete[](void* block, std::size_t) noexcept {
    operator delete(block);
}
