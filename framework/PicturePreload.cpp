#include "framework/PicturePreload.h"

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

void CPicturePreload::Start(HINSTANCE module, const UINT* ids, UINT count) {
    if (m_thread || g_running || count == 0 || count > kMaxPictures) return;
    m_module = module;
    m_count = count;
    for (UINT i = 0; i < count; ++i) m_ids[i] = ids[i];
    m_progress.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!m_progress) return;
    m_thread.reset(::CreateThread(nullptr, 0, &CPicturePreload::Run, this, 0, nullptr));
    if (m_thread) g_running = this;
}

DWORD WINAPI CPicturePreload::Run(void* self) {
    auto* preload = static_cast<CPicturePreload*>(self);
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
    if (!batch || batch->m_module != module) return FALSE;
    for (UINT i = 0; i < batch->m_count; ++i) {
        if (batch->m_ids[i] != nId) continue;
        // The thread makes them in order and counts each one after its picture is whole.
        while (static_cast<UINT>(::InterlockedCompareExchange(&batch->m_made, 0, 0)) <= i) {
            const HANDLE waits[] = {batch->m_progress.get(), batch->m_thread.get()};
            if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) break;
        }
        if (static_cast<UINT>(::InterlockedCompareExchange(&batch->m_made, 0, 0)) <= i || !batch->m_pictures[i])
            return FALSE;
        return CopyDib(batch->m_pictures[i], bitmap);
    }
    return FALSE;
}
