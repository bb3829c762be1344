// PNG resources decoded on a thread of their own, started before the window that shows them is
// made: the decoding then runs while the platform creates the window and its controls, rather
// than after. CPngDecoder::LoadResource takes the pictures from it. One batch at a time, started
// and taken on the user-interface thread.
#pragma once

#include <windows.h>

#include "base/Handles.h"
#include "framework/GdiObject.h"

class CPngPreload {
public:
    static constexpr UINT kMaxPictures = 16;

    CPngPreload() = default;
    // Waits for the thread and frees what nobody took.
    ~CPngPreload();
    CPngPreload(const CPngPreload&) = delete;
    CPngPreload& operator=(const CPngPreload&) = delete;

    // Starts decoding the PNG resources ids of module (at most kMaxPictures). Without a thread,
    // nothing is decoded ahead and the pictures are decoded when they are asked for.
    void Start(HINSTANCE module, const UINT* ids, UINT count);
    // A copy of the running batch's picture nId of module (several buttons show one picture),
    // as soon as the thread has decoded it; FALSE when it is not among them or could not be
    // decoded: the caller decodes it itself.
    static BOOL Take(HINSTANCE module, UINT nId, CBitmap& bitmap);

private:
    static DWORD WINAPI Run(void* self);

    fw::UniqueHandle m_thread;
    // Set by the thread after each picture, which it counts in m_decoded.
    fw::UniqueHandle m_progress;
    volatile LONG m_decoded = 0;
    HINSTANCE m_module = nullptr;
    UINT m_ids[kMaxPictures] = {};
    CBitmap m_pictures[kMaxPictures];
    UINT m_count = 0;
};
