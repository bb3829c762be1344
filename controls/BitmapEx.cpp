#include "controls/BitmapEx.h"

#include <algorithm>

#include "base/HeapArray.h"
#include "framework/BitmapResample.h"
#include "framework/DeviceContext.h"
#include "framework/DisplayScale.h"
#include "framework/PicturePreload.h"
#include "framework/PngDecoder.h"
#include "framework/WinApp.h"

namespace {

// Every run of non-key pixels of a row becomes a rectangle one pixel high, never merged across
// rows. All pixels are read at once, as 0x00RRGGBB values with the rows top down; the runs are
// counted first, then written into the region data. The bitmap must not be selected into a DC.
bool BuildKeyColourRegion(HBITMAP bitmap, int width, int height, COLORREF key, CRgn& region) {
    if (width <= 0 || height <= 0) return region.CreateRectRgn(0, 0, 0, 0) != FALSE;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    // A decoded picture's own 32-bit top-down rows are read where they are; others are copied so.
    DIBSECTION dib = {};
    fw::HeapArray<DWORD> copy;
    const DWORD* pixels = nullptr;
    if (::GetObjectW(bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBitsPixel == 32 && dib.dsBmih.biHeight < 0 &&
        dib.dsBm.bmWidth == width && dib.dsBm.bmBits) {
        pixels = static_cast<const DWORD*>(dib.dsBm.bmBits);
    } else {
        copy = fw::HeapArray<DWORD>(count);
        if (!copy || !CBitmap::ReadPixels(bitmap, width, height, copy.get())) return false;
        pixels = copy.get();
    }
    const DWORD pixelKey = (static_cast<DWORD>(GetRValue(key)) << 16) | (static_cast<DWORD>(GetGValue(key)) << 8) |
                           GetBValue(key);
    auto forEachRun = [&](auto&& visit) {
        for (int y = 0; y < height; ++y) {
            const DWORD* row = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
            int x = 0;
            while (x < width) {
                const int start = x;
                while (x < width && (row[x] & 0xFFFFFF) != pixelKey) ++x;
                if (x > start) visit(RECT{start, y, x, y + 1});
                ++x;
            }
        }
    };
    // Most pictures have no pixel of the key: their region is their rectangle, without a scan by runs.
    bool keyed = false;
    for (std::size_t i = 0; i < count && !keyed; ++i) keyed = (pixels[i] & 0xFFFFFF) == pixelKey;
    if (!keyed) return region.CreateRectRgn(0, 0, width, height) != FALSE;
    std::size_t runCount = 0;
    forEachRun([&](const RECT&) { ++runCount; });
    if (runCount == 0) return region.CreateRectRgn(0, 0, 0, 0) != FALSE;
    fw::HeapArray<BYTE> data(sizeof(RGNDATAHEADER) + runCount * sizeof(RECT));
    if (!data) return false;
    auto* rgnData = reinterpret_cast<RGNDATA*>(data.get());
    rgnData->rdh.dwSize = sizeof(RGNDATAHEADER);
    rgnData->rdh.iType = RDH_RECTANGLES;
    rgnData->rdh.nCount = static_cast<DWORD>(runCount);
    rgnData->rdh.nRgnSize = static_cast<DWORD>(runCount * sizeof(RECT));
    rgnData->rdh.rcBound = RECT{0, 0, width, height};
    RECT* next = reinterpret_cast<RECT*>(rgnData->Buffer);
    forEachRun([&](const RECT& run) { *next++ = run; });
    return region.Attach(::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), rgnData)) != FALSE;
}

// The size of bitmap resource nId from its header, without making the bitmap.
bool BitmapResourceSize(HINSTANCE module, UINT nId, SIZE& size) {
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(nId), MAKEINTRESOURCEW(2));  // RT_BITMAP
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const auto* header = loaded ? static_cast<const BITMAPINFOHEADER*>(::LockResource(loaded)) : nullptr;
    if (!header || ::SizeofResource(module, resource) < sizeof *header || header->biSize < sizeof *header) return false;
    size = SIZE{header->biWidth, header->biHeight < 0 ? -header->biHeight : header->biHeight};
    return size.cx > 0 && size.cy > 0;
}

}  // namespace

SIZE CBitmapEx::SizeForDpi(HINSTANCE module, UINT nId, UINT dpi) {
    SIZE design = {};
    if (!BitmapResourceSize(module, nId, design)) return SIZE{0, 0};
    if (dpi == kDesignDpi) return design;
    return SIZE{ScaleToDpi(design.cx, dpi), ScaleToDpi(design.cy, dpi)};
}

UINT CBitmapEx::ScaledSetId(UINT nId, UINT dpi) {
    if (dpi <= kDesignDpi) return 0;
    for (UINT i = 0; i < ARRAYSIZE(kScaledSetDpis); ++i) {
        if (kScaledSetDpis[i] >= dpi) return nId + (i + 1) * kScaledSetIdStep;
    }
    return nId + ARRAYSIZE(kScaledSetDpis) * kScaledSetIdStep;
}

BOOL CBitmapEx::LoadForDpi(HINSTANCE module, UINT nId, UINT dpi) {
    m_rgn.DeleteObject();
    m_crRegionKey = CLR_INVALID;
    SIZE design = {};
    if (dpi == kDesignDpi || !BitmapResourceSize(module, nId, design)) {
        CBitmap made;
        if (CPicturePreload::Take(module, nId, made)) return Attach(made.Detach());
        return LoadBitmap(module, nId);
    }
    const SIZE wanted = {ScaleToDpi(design.cx, dpi), ScaleToDpi(design.cy, dpi)};
    const UINT scaledId = ScaledSetId(nId, dpi);
    CBitmap made;
    if (!scaledId || !CPngDecoder::LoadResource(module, scaledId, made)) {
        // A set that cannot be had still leaves the wizard a picture of the right size.
        if (!made.LoadBitmap(module, nId)) {
            DeleteObject();
            return FALSE;
        }
    }
    BITMAP info = {};
    made.GetBitmap(&info);
    if (info.bmWidth == wanted.cx && info.bmHeight == wanted.cy) return Attach(made.Detach());
    CBitmap resampled;
    if (ResampleBitmap(made.GetSafeHandle(), wanted.cx, wanted.cy, resampled)) return Attach(resampled.Detach());
    return Attach(made.Detach());
}

CBitmapEx::CBitmapEx(const wchar_t* pszName) {
    if (pszName) Attach(::LoadBitmapW(AfxGetResourceHandle(), pszName));
}

CBitmapEx::~CBitmapEx() {
    m_rgn.DeleteObject();
    DeleteObject();
}

SIZE CBitmapEx::GetSize() const {
    BITMAP info = {};
    if (!GetBitmap(&info)) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

BOOL CBitmapEx::Draw(HDC target, int x, int y) const {
    const SIZE size = GetSize();
    CMemoryDC source(target);
    CSelectObject picture(source.get(), m_hObject);
    return ::BitBlt(target, x, y, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
}

BOOL CBitmapEx::DrawStretched(HDC target, const RECT& rect) const {
    const SIZE size = GetSize();
    CMemoryDC source(target);
    CSelectObject picture(source.get(), m_hObject);
    ::StretchBlt(target, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source.get(), 0, 0,
                 size.cx, size.cy, SRCCOPY);
    return TRUE;
}

BOOL CBitmapEx::DrawSliced(HDC target, const RECT& rect, SIZE border) const {
    const int W = rect.right - rect.left;
    const int H = rect.bottom - rect.top;
    const SIZE size = GetSize();
    const int w = size.cx;
    const int h = size.cy;
    const int bx = border.cx;
    const int by = border.cy;
    if (!(W > 2 * bx && H > 2 * by && w > 2 * bx && h > 2 * by)) return FALSE;

    // Declared before the contexts, so the contexts are deleted first.
    CBitmap strip;
    CBitmap result;
    strip.CreateCompatibleBitmap(target, W, h);
    result.CreateCompatibleBitmap(target, W, H);
    CMemoryDC a(target);
    CMemoryDC b(target);
    {
        // Horizontal pass: the picture's rows into a strip of the target's width.
        CSelectObject stripInA(a.get(), strip.m_hObject);
        CSelectObject pictureInB(b.get(), m_hObject);
        ::BitBlt(a.get(), 0, 0, bx, h, b.get(), 0, 0, SRCCOPY);
        ::StretchBlt(a.get(), bx, 0, W - 2 * bx, h, b.get(), bx, 0, w - 2 * bx, h, SRCCOPY);
        ::BitBlt(a.get(), W - bx, 0, bx, h, b.get(), w - bx, 0, SRCCOPY);
        {
            // Vertical pass: the strip's rows into the result.
            CSelectObject resultInA(a.get(), result.m_hObject);
            CSelectObject stripInB(b.get(), strip.m_hObject);
            ::BitBlt(a.get(), 0, 0, W, by, b.get(), 0, 0, SRCCOPY);
            ::StretchBlt(a.get(), 0, by, W, H - 2 * by, b.get(), 0, by, W, h - 2 * by, SRCCOPY);
            ::BitBlt(a.get(), 0, H - by, W, by, b.get(), 0, h - by, SRCCOPY);
            ::BitBlt(target, rect.left, rect.top, W, H, a.get(), 0, 0, SRCCOPY);
        }
    }
    return TRUE;
}

HRGN CBitmapEx::CreateRegion(COLORREF key, const RECT& keep) {
    if (key == m_crRegionKey && m_rgn) return m_rgn.GetSafeHandle();
    const SIZE size = GetSize();
    const int w = size.cx;
    const int h = size.cy;
    if (key == CLR_INVALID) {
        // No colour: the whole rectangle, but only a region that is already held is reused.
        if (!m_rgn) return nullptr;
        m_rgn.SetRectRgn(0, 0, w, h);
        m_crRegionKey = CLR_INVALID;
        return m_rgn.GetSafeHandle();
    }

    static const RECT kNoKeep = {0, 0, 0, 0};
    if (::EqualRect(&keep, &kNoKeep)) {
        CRgn whole;
        if (!BuildKeyColourRegion(GetSafeHandle(), w, h, key, whole)) return nullptr;
        m_rgn.Attach(whole.Detach());
    } else {
        CMemoryDC screen(nullptr);
        if (!screen) return nullptr;
        m_rgn.DeleteObject();
        CSelectObject picture(screen.get(), m_hObject);
        const HDC dc = screen.get();
        CRgn pixels;
        pixels.CreateRectRgn(0, 0, 0, 0);
        // Only the frame around keep is looked at; keep's inside stays in the region.
        m_rgn.CreateRectRgn(0, 0, w, h);
        auto cutIfKey = [&](int x, int y) {
            if (::GetPixel(dc, x, y) != key) return;
            pixels.SetRectRgn(x, y, x + 1, y + 1);
            m_rgn.CombineRgn(m_rgn.GetSafeHandle(), pixels.GetSafeHandle(), RGN_DIFF);
        };
        auto visitColumn = [&](int x, int fromY, int toY) {  // toY exclusive
            for (int y = std::max(fromY, 0); y < std::min(toY, h); ++y) cutIfKey(x, y);
        };
        const int keepLeft = std::clamp(static_cast<int>(keep.left), 0, w);
        const int keepRight = std::clamp(static_cast<int>(keep.right), keepLeft, w);
        for (int x = 0; x < keepLeft; ++x) visitColumn(x, 0, h);
        for (int x = keepLeft; x < keepRight; ++x) {
            // Row keep.top itself is looked at as well.
            visitColumn(x, 0, keep.top + 1);
            visitColumn(x, keep.bottom, h);
        }
        for (int x = keepRight; x < w; ++x) visitColumn(x, 0, h);
    }

    m_crRegionKey = key;
    return m_rgn.GetSafeHandle();
}
