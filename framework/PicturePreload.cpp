#include "framework/PicturePreload.h"

#include "framework/DisplayScale.h"
#include "framework/PngDecoder.h"

namespace {

// The batch that LoadResource looks in; written on the user-interface thread only.
CPicturePreload* g_running = nullptr;

// A bitmap resource as a 32-bit DIB section, as the decoder makes PNG pictures: copied and read as
// they are wherever it is taken.
BOOL ReadBitmapResource(HINSTANCE module, UINT nId, CBitmap& picture) {
    CBitmap loaded;
    BITMAP info = {};
    if (!loaded.LoadBitmap(module, nId) || !loaded.GetBitmap(&info)) return FALSE;
    DWORD* bits = nullptr;
    if (!picture.CreateDib(info.bmWidth, info.bmHeight, &bits)) return FALSE;
    if (CBitmap::ReadPixels(loaded.GetSafeHandle(), info.bmWidth, info.bmHeight, bits)) return TRUE;
    picture.DeleteObject();
    return FALSE;
}

// A copy of a 32-bit DIB section, so that each of several buttons owns its picture.
BOOL CopyDib(const CBitmap& source, CBitmap& copy) {
    DIBSECTION dib = {};
    if (source.GetObject(sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32 || !dib.dsBm.bmBits) return FALSE;
    DWORD* bits = nullptr;
    if (!copy.CreateDib(dib.dsBm.bmWidth, dib.dsBm.bmHeight, &bits)) return FALSE;
    ::CopyMemory(bits, dib.dsBm.bmBits, static_cast<SIZE_T>(dib.dsBm.bmWidthBytes) * dib.dsBm.bmHeight);
    return TRUE;
}

}  // namespace

CPicturePreload::~CPicturePreload() {
    if (m_thread) ::WaitForSingleObject(m_thread.get(), INFINITE);
    if (g_running == this) g_running = nullptr;
}

void CPicturePreload::Start(HINSTANCE module, const UINT* ids, UINT count, UINT (*idForDpi)(UINT id, UINT dpi)) {
    if (m_thread || g_running || count == 0 || count > kMaxPictures || !idForDpi) return;
    m_module = module;
    m_idForDpi = idForDpi;
    m_count = count;
    for (UINT i = 0; i < count; ++i) m_ids[i] = ids[i];
    m_progress.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!m_progress) return;
    m_thread.reset(::CreateThread(nullptr, 0, &CPicturePreload::Run, this, 0, nullptr));
    if (m_thread) g_running = this;
}

DWORD WINAPI CPicturePreload::Run(void* self) {
    auto* preload = static_cast<CPicturePreload*>(self);
    const UINT dpi = GetPrimaryMonitorDpi();
    for (UINT i = 0; i < preload->m_count; ++i) preload->m_ids[i] = preload->m_idForDpi(preload->m_ids[i], dpi);
    ::InterlockedExchange(&preload->m_mapped, 1);
    ::SetEvent(preload->m_progress.get());
    CPngDecoder decoder{CPngDecoder::Unserving{}};
    for (UINT i = 0; i < preload->m_count; ++i) {
        DWORD size = 0;
        if (const BYTE* data = CPngDecoder::FindPng(preload->m_module, preload->m_ids[i], size))
            decoder.Decode(data, size, preload->m_pictures[i]);
        else
            ReadBitmapResource(preload->m_module, preload->m_ids[i], preload->m_pictures[i]);
        ::InterlockedIncrement(&preload->m_made);
        ::SetEvent(preload->m_progress.get());
    }
    return 0;
}

BOOL CPicturePreload::Take(HINSTANCE module, UINT nId, CBitmap& bitmap) {
    CPicturePreload* batch = g_running;
    if (!batch || batch->m_module != module || !batch->WaitFor(batch->m_mapped, 1)) return FALSE;
    for (UINT i = 0; i < batch->m_count; ++i) {
        if (batch->m_ids[i] != nId) continue;
        // The thread makes them in order and counts each one after its picture is whole.
        if (!batch->WaitFor(batch->m_made, static_cast<LONG>(i) + 1) || !batch->m_pictures[i]) return FALSE;
        return CopyDib(batch->m_pictures[i], bitmap);
    }
    return FALSE;
}

bool CPicturePreload::WaitFor(volatile LONG& counter, LONG atLeast) const {
    while (::InterlockedCompareExchange(&counter, 0, 0) < atLeast) {
        const HANDLE waits[] = {m_progress.get(), m_thread.get()};
        // The thread's end counts as well: nothing more comes after it.
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0)
            return ::InterlockedCompareExchange(&counter, 0, 0) >= atLeast;
    }
    return true;
}
