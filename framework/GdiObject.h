// Owning wrappers of GDI objects: each deletes the object it holds when it is destroyed or
// given another one. A handle obtained elsewhere is taken over with Attach and given away
// with Detach.
#pragma once

#include <windows.h>

#include <utility>

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    explicit operator bool() const { return m_hObject != nullptr; }
    // Takes object over, deleting what was held before.
    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach() { return std::exchange(m_hObject, nullptr); }
    // Deletes the held object; the caller must have deselected it from every device context.
    BOOL DeleteObject();
    // The object's description (BITMAP, LOGFONTW, LOGBRUSH ...); 0 when empty or refused.
    int GetObject(int size, void* buffer) const;
};

class CBitmap : public CGdiObject {
public:
    HBITMAP GetSafeHandle() const { return static_cast<HBITMAP>(m_hObject); }
    // From the resources of module; a failed load leaves the object empty.
    BOOL LoadBitmap(HINSTANCE module, UINT nId);
    BOOL CreateCompatibleBitmap(HDC dc, int width, int height);
    // A 32-bit top-down DIB section of width x height (each pixel 0x00RRGGBB), its pixels in *bits.
    BOOL CreateDib(int width, int height, DWORD** bits);
    // The picture's pixels as 32-bit top-down rows of width x height, into pixels (room for them).
    static BOOL ReadPixels(HBITMAP bitmap, int width, int height, DWORD* pixels);
    int GetBitmap(BITMAP* info) const { return GetObject(sizeof *info, info); }
};

class CRgn : public CGdiObject {
public:
    HRGN GetSafeHandle() const { return static_cast<HRGN>(m_hObject); }
    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    // Makes the held region the given rectangle; needs a region.
    BOOL SetRectRgn(int left, int top, int right, int bottom);
    // this = a mode b; returns the region type, ERROR (0) on failure.
    int CombineRgn(HRGN a, HRGN b, int mode);
    // A new region with the same area as source.
    BOOL CreateCopy(HRGN source);
};

class CFont : public CGdiObject {
public:
    HFONT GetSafeHandle() const { return static_cast<HFONT>(m_hObject); }
    BOOL CreateFontIndirect(const LOGFONTW* font);
    // nPointSize in tenths of a point; dc null means the screen's resolution.
    BOOL CreatePointFont(int nPointSize, const wchar_t* face, HDC dc = nullptr);
};

class CBrush : public CGdiObject {
public:
    HBRUSH GetSafeHandle() const { return static_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF colour);
};
