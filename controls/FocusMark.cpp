#include "controls/FocusMark.h"

#include "framework/DeviceContext.h"
#include "framework/GdiObject.h"

void DrawFocusMark(HDC dc, const RECT& rect, COLORREF colour, int thickness) {
    if (thickness <= 1) {
        const LOGBRUSH brush = {BS_SOLID, colour, 0};
        CGdiObject pen;
        // Every other pixel, as the platform's mark, whatever the pen's dash pattern would be.
        if (!pen.Attach(::ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr))) return;
        CSelectObject selectPen(dc, pen.GetSafeHandle());
        CSelectObject selectBrush(dc, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
        return;
    }
    CBrush dot;
    if (!dot.CreateSolidBrush(colour)) return;
    const int t = thickness;
    const int step = 2 * t;
    auto square = [&](int x, int y, int right, int bottom) {
        const RECT piece = {x, y, x + t < right ? x + t : right, y + t < bottom ? y + t : bottom};
        ::FillRect(dc, &piece, dot.GetSafeHandle());
    };
    // Along the top and bottom edges, then down the sides between them.
    for (int x = rect.left; x < rect.right; x += step) {
        square(x, rect.top, rect.right, rect.bottom);
        if (rect.bottom - t > rect.top) square(x, rect.bottom - t, rect.right, rect.bottom);
    }
    for (int y = rect.top + step; y < rect.bottom - t; y += step) {
        square(rect.left, y, rect.right, rect.bottom);
        if (rect.right - t > rect.left) square(rect.right - t, y, rect.right, rect.bottom);
    }
}
