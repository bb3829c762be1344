#include "controls/FocusMark.h"

#include "framework/DeviceContext.h"
#include "framework/GdiObject.h"

void DrawFocusMark(HDC dc, const RECT& rect, COLORREF colour) {
    const LOGBRUSH brush = {BS_SOLID, colour, 0};
    CGdiObject pen;
    // Every other pixel, as the platform's mark, whatever the pen's dash pattern would be.
    if (!pen.Attach(::ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr))) return;
    CSelectObject selectPen(dc, pen.GetSafeHandle());
    CSelectObject selectBrush(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}
