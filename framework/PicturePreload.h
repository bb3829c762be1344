// The pictures a window is about to show, made on a thread of their own that is started before
// the window: PNG resources are decoded and bitmap resources read into 32-bit pictures while the
// platform creates the window and its controls, rather than after. CPngDecoder::LoadResource and
// CBitmapEx take the pictures from it. One batch at a time, started and taken on the
// user-interface thread.
#pragma once

#include <windows.h>

#include "base/Handles.h"
#include "framework/GdiObject.h"

class CPicturePreload {
public:
    static constexpr UINT kMaxPictures = 16;

    CPicturePreload() = default;
    // Waits for the thread and frees what nobody took.
    ~CPicturePreload();
    CPicturePreload(const CPicturePreload&) = delete;
    CPicturePreload& operator=(const CPicturePreload&) = delete;

    // Starts making the pictures ids of module (at most kMaxPictures) for the primary monitor's
    // scale: each one becomes idForDpi(id, dpi), then its PNG resource or, without one, its
    // bitmap resource. The thread asks for the scale itself, so that a caller that starts it
    // first thing goes on with its own work while the display starts up. Without a thread,
    // nothing is made ahead and the pictures are made when they are asked for.
    void Start(HINSTANCE module, const UINT* ids, UINT count, UINT (*idForDpi)(UINT id, UINT dpi));
    // A copy of the running batch's picture nId of module (several buttons show one picture),
    // as soon as the thread has made it; FALSE when it is not among them or could not be made:
    // the caller makes it itself.
    static BOOL Take(HINSTANCE module, UINT nId, CBitmap& bitmap);

private:
    static DWORD WINAPI Run(void* self);
    // Waits until the thread has counted at least atLeast on counter; FALSE when it ended first.
    bool WaitFor(volatile LONG& counter, LONG atLeast) const;

    fw::UniqueHandle m_thread;
    // Set by the thread once the ids are for the scale (m_mapped) and after each picture, which
    // it counts in m_made.
    fw::UniqueHandle m_progress;
    volatile LONG m_mapped = 0;
    volatile LONG m_made = 0;
    HINSTANCE m_module = nullptr;
    UINT (*m_idForDpi)(UINT id, UINT dpi) = nullptr;
    UINT m_ids[kMaxPictures] = {};
    CBitmap m_pictures[kMaxPictures];
    UINT m_count = 0;
};
