#include "controls/BitmapEx.h"

#include <algorithm>

#include "framework/DeviceContext.h"
#include "framework/WinApp.h"

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

    CMemoryDC screen(nullptr);
    if (!screen) return nullptr;
    m_rgn.DeleteObject();
    CSelectObject picture(screen.get(), m_hObject);
    const HDC dc = screen.get();
    CRgn pixels;
    pixels.CreateRectRgn(0, 0, 0, 0);

    static const RECT kNoKeep = {0, 0, 0, 0};
    if (::EqualRect(&keep, &kNoKeep)) {
        // Every run of non-key pixels of a row becomes a rectangle one pixel high.
        m_rgn.CreateRectRgn(0, 0, 0, 0);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int start = x;
                while (x < w && ::GetPixel(dc, x, y) != key) ++x;
                if (x > start) {
                    pixels.SetRectRgn(start, y, x, y + 1);
                    m_rgn.CombineRgn(m_rgn.GetSafeHandle(), pixels.GetSafeHandle(), RGN_OR);
                }
            }
        }
    } else {
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
