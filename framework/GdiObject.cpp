#include "framework/GdiObject.h"

#include <cstdlib>
#include <cwchar>

#include "framework/DeviceContext.h"

BOOL CGdiObject::Attach(HGDIOBJ object) {
    DeleteObject();
    m_hObject = object;
    return object != nullptr;
}

BOOL CGdiObject::DeleteObject() {
    HGDIOBJ object = Detach();
    return object ? ::DeleteObject(object) : FALSE;
}

int CGdiObject::GetObject(int size, void* buffer) const {
    return m_hObject ? ::GetObjectW(m_hObject, size, buffer) : 0;
}

BOOL CBitmap::LoadBitmap(HINSTANCE module, UINT nId) {
    return Attach(::LoadBitmapW(module, MAKEINTRESOURCEW(nId)));
}

BOOL CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height) {
    return Attach(::CreateCompatibleBitmap(dc, width, height));
}

namespace {

// 32 bits a pixel, rows from the top: what the pictures' pixels are read and made as.
BITMAPINFO TopDownFormat(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

BOOL CBitmap::ReadPixels(HBITMAP bitmap, int width, int height, DWORD* pixels) {
    BITMAPINFO info = TopDownFormat(width, height);
    CClientDC screen(nullptr);
    return ::GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels, &info, DIB_RGB_COLORS) == height;
}

BOOL CBitmap::CreateDib(int width, int height, DWORD** bits) {
    *bits = nullptr;
    if (width <= 0 || height <= 0) return FALSE;
    BITMAPINFO info = TopDownFormat(width, height);
    void* pixels = nullptr;
    if (!Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0))) return FALSE;
    *bits = static_cast<DWORD*>(pixels);
    return TRUE;
}

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
    return Attach(::CreateRectRgn(left, top, right, bottom));
}

BOOL CRgn::SetRectRgn(int left, int top, int right, int bottom) {
    return m_hObject ? ::SetRectRgn(GetSafeHandle(), left, top, right, bottom) : FALSE;
}

int CRgn::CombineRgn(HRGN a, HRGN b, int mode) {
    return m_hObject ? ::CombineRgn(GetSafeHandle(), a, b, mode) : ERROR;
}

BOOL CRgn::CreateCopy(HRGN source) {
    HRGN copy = ::CreateRectRgn(0, 0, 0, 0);
    if (!copy) return FALSE;
    if (::CombineRgn(copy, source, nullptr, RGN_COPY) == ERROR) {
        ::DeleteObject(copy);
        return FALSE;
    }
    return Attach(copy);
}

BOOL CFont::CreateFontIndirect(const LOGFONTW* font) {
    return Attach(::CreateFontIndirectW(font));
}

BOOL CFont::CreatePointFont(int nPointSize, const wchar_t* face, HDC dc) {
    LOGFONTW font = {};
    font.lfCharSet = DEFAULT_CHARSET;
    if (face) {
        // A face too long for the record names no font: none is asked for.
        if (std::wcslen(face) >= LF_FACESIZE) return FALSE;
        std::wcscpy(font.lfFaceName, face);
    }
    HDC screen = dc ? nullptr : ::GetDC(nullptr);
    HDC measure = dc ? dc : screen;
    // Points are 1/72 inch; the height is the character height in device units, hence negative.
    POINT size = {0, ::MulDiv(::GetDeviceCaps(measure, LOGPIXELSY), nPointSize, 720)};
    POINT origin = {0, 0};
    ::DPtoLP(measure, &size, 1);
    ::DPtoLP(measure, &origin, 1);
    font.lfHeight = -std::abs(size.y - origin.y);
    if (screen) ::ReleaseDC(nullptr, screen);
    return CreateFontIndirect(&font);
}

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
    return Attach(::CreateSolidBrush(colour));
}
