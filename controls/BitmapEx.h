// A bitmap of the program's resources with its size, three ways of drawing it and a window
// shape made of all its pixels that are not of a key colour.
#pragma once

#include <windows.h>

#include "framework/GdiObject.h"

class CBitmapEx : public CBitmap {
public:
    // The scales with pictures made for them (res/make_skin.py), by dots per inch: resource type
    // "PNG", at the 100 % bitmap's id plus kScaledSetIdStep times the set's place here (1 for the
    // first).
    static constexpr UINT kScaledSetDpis[] = {120, 144, 168, 192};
    static constexpr UINT kScaledSetIdStep = 1000;

    // pszName: a resource name or MAKEINTRESOURCEW id of the program's resources; null leaves
    // the object empty. A bitmap that cannot be loaded leaves it empty too.
    explicit CBitmapEx(const wchar_t* pszName = nullptr);
    ~CBitmapEx() override;

    // Bitmap nId of module (a 100 % picture) at the scale of dpi: the picture made for that scale
    // where there is one, else the next larger one (above the largest: the largest) made its size
    // with an area filter, at the 100 % picture's size scaled; the 100 % picture itself at 96 and
    // where no other can be had. Any held region goes with the old bitmap. FALSE, the object
    // empty, when not even the 100 % picture loads.
    BOOL LoadForDpi(HINSTANCE module, UINT nId, UINT dpi);
    // The size that LoadForDpi gives bitmap nId at dpi, read from the 100 % picture's header
    // without making any picture; {0, 0} when module has no such bitmap.
    static SIZE SizeForDpi(HINSTANCE module, UINT nId, UINT dpi);
    // The PNG resource that LoadForDpi decodes for bitmap nId at dpi; 0 for the bitmap itself.
    static UINT ScaledSetId(UINT nId, UINT dpi);

    SIZE GetSize() const;
    // The whole bitmap at (x, y); the result of the copy.
    BOOL Draw(HDC target, int x, int y) const;
    // The whole bitmap stretched into rect; always TRUE.
    BOOL DrawStretched(HDC target, const RECT& rect) const;
    // Into rect with border.cx columns left and right and border.cy rows top and bottom kept at
    // their size; FALSE, drawing nothing, when rect or the bitmap is not more than twice the
    // border wide and high.
    BOOL DrawSliced(HDC target, const RECT& rect, SIZE border) const;
    // The held region of every pixel whose colour is not key: the whole bitmap scanned by runs
    // when keep is empty, else only the frame around keep. The same key again returns the held
    // region without a scan. Key -1 makes the held region the full rectangle, or returns null
    // when none is held. The handle stays the object's own: a window gets a copy. The whole scan
    // reads the bitmap's bits, so the bitmap must not be selected into a device context then.
    HRGN CreateRegion(COLORREF key, const RECT& keep);

    CRgn m_rgn;
    COLORREF m_crRegionKey = CLR_INVALID;
};
