// PNG pictures of the program's resources (resource type "PNG"), decoded by the Windows imaging
// component, which every Windows the program supports carries, into 32-bit DIB sections.
#pragma once

#include <windows.h>

#include "base/Handles.h"
#include "framework/GdiObject.h"

struct IWICImagingFactory;
class CPicturePreload;

class CPngDecoder {
public:
    // Serves the pictures decoded while the object lives (when no other does already), so that the
    // imaging component starts once for all of them, and only when the first is decoded: a batch
    // of pictures that are all bitmaps never starts it. Pictures are made on the user-interface
    // thread only.
    CPngDecoder();
    ~CPngDecoder();
    CPngDecoder(const CPngDecoder&) = delete;
    CPngDecoder& operator=(const CPngDecoder&) = delete;

    // PNG resource nId of module as a bitmap, through the serving decoder or one of its own;
    // FALSE, with bitmap empty, when there is no such resource or it cannot be decoded.
    static BOOL LoadResource(HINSTANCE module, UINT nId, CBitmap& bitmap);

private:
    friend class CPicturePreload;
    // A decoder of its own for a thread that is not the user-interface thread.
    struct Unserving {};
    explicit CPngDecoder(Unserving);
    // The resource's bytes; null when module has no PNG resource nId.
    static const BYTE* FindPng(HINSTANCE module, UINT nId, DWORD& size);
    BOOL Decode(const BYTE* data, DWORD size, CBitmap& bitmap);

    bool m_bServes = false;  // the serving decoder
    // The imaging component is free-threaded: a multithreaded apartment serves it, and costs far
    // less to enter than a single-threaded one. Entered with the first picture.
    bool m_bStarted = false;
    HRESULT m_comResult = E_FAIL;
    fw::ComPtr<IWICImagingFactory> m_factory;
};
