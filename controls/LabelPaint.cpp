// The label's painting and measuring: the text in its font and format, over a solid or gradient
// background or straight onto the parent's picture.
#include "controls/Label.h"

#include <cwchar>

#include "framework/DeviceContext.h"

namespace {

const int kGradientBands = 100;

// The DrawText format that the static styles ask for.
UINT TextFormat(DWORD style, const wchar_t* text) {
    UINT format;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER:
        format = DT_CENTER | DT_WORDBREAK;
        break;
    case SS_RIGHT:
        format = DT_RIGHT | DT_WORDBREAK;
        break;
    case SS_LEFTNOWORDWRAP:
        format = DT_LEFT;
        break;
    default:
        format = DT_WORDBREAK;
        break;
    }
    if (std::wcschr(text, L'\t')) format |= DT_EXPANDTABS;
    if (style & SS_CENTERIMAGE)
        format = std::wcsstr(text, L"\r\n") ? DT_CENTER : DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    return format;
}

}  // namespace

RECT CLabel::MeasureText(const wchar_t* text) const {
    RECT rc = {};
    GetClientRect(&rc);
    fw::HeapArray<wchar_t> own;
    if (!text) {
        own = GetWindowText();
        text = own ? own.get() : L"";
    }
    CClientDC dc(m_hWnd);
    CSelectObject font(dc.get(), Font());
    ::DrawTextW(dc.get(), text, -1, &rc, TextFormat(GetStyle(), text) | DT_CALCRECT);
    return rc;
}

void CLabel::DrawGradient(HDC dc, const RECT& rect, COLORREF crFrom, COLORREF crTo, int nBands) {
    const int width = rect.right - rect.left;
    const int bands = nBands < width ? nBands : width;
    const int divisor = bands > 1 ? bands : 1;

    // Channels in 8.8 fixed point; the steps truncate toward zero.
    int red = GetRValue(crFrom) * 256;
    int green = GetGValue(crFrom) * 256;
    int blue = GetBValue(crFrom) * 256;
    const int redStep = ((GetRValue(crTo) - GetRValue(crFrom)) * 256) / divisor;
    const int greenStep = ((GetGValue(crTo) - GetGValue(crFrom)) * 256) / divisor;
    const int blueStep = ((GetBValue(crTo) - GetBValue(crFrom)) * 256) / divisor;

    const int bandWidth = width / divisor;
    // A stock pen: nothing to put back before it could be deleted.
    ::SelectObject(dc, ::GetStockObject(NULL_PEN));
    int x = rect.left;
    for (int i = 0; i < bands; ++i) {
        const int end = i == bands - 1 ? rect.right : x + bandWidth;
        CBrush band;
        band.CreateSolidBrush(RGB(red / 256, green / 256, blue / 256));
        {
            CSelectObject selected(dc, band.GetSafeHandle());
            // Without an outline the rectangle leaves out its right and bottom edges.
            ::Rectangle(dc, x, rect.top, end + 1, rect.bottom + 1);
        }
        red += redStep;
        green += greenStep;
        blue += blueStep;
        x = end;
    }
}

void CLabel::OnPaint() {
    CPaintDC paint(m_hWnd);
    RECT rc = {};
    GetClientRect(&rc);
    const fw::HeapArray<wchar_t> window = GetWindowText();
    const wchar_t* text = window ? window.get() : L"";
    if (m_bTransparent) {
        PaintLabel(paint.get(), rc, text);
        return;
    }
    // Drawn off screen and copied in one operation, so the label never flickers.
    CBitmap surface;
    CMemoryDC memory(paint.get());
    if (!memory || !surface.CreateCompatibleBitmap(paint.get(), rc.right, rc.bottom)) return;
    CSelectObject onSurface(memory.get(), surface.GetSafeHandle());
    PaintLabel(memory.get(), rc, text);
    ::BitBlt(paint.get(), 0, 0, rc.right, rc.bottom, memory.get(), 0, 0, SRCCOPY);
}

void CLabel::PaintLabel(HDC dc, const RECT& rc, const wchar_t* text) {
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(dc, m_crText);
    CSelectObject font(dc, Font());

    if (!m_bTransparent) {
        if (m_nBkFillMode == 0)
            ::FillRect(dc, &rc, m_hBkBrush ? m_hBkBrush.GetSafeHandle() : m_hDefaultBrush.GetSafeHandle());
        else
            DrawGradient(dc, rc, m_crBk, m_crBkSecond, kGradientBands);
    }

    if (m_bFlashState == 0 && m_nFlashType == FlashTextType) {
        // The hidden phase: text in the colour of the solid background.
        LOGBRUSH brush = {};
        ::SetTextColor(dc, m_hBkBrush.GetObject(sizeof brush, &brush) ? brush.lbColor : RGB(0, 0, 0));
    }

    const int length = ::lstrlenW(text);
    if (m_bRotated) {
        // The baseline starts at the label's centre and runs along the font's escapement.
        const UINT oldAlign = ::SetTextAlign(dc, TA_BASELINE);
        POINT oldOrigin = {};
        ::SetViewportOrgEx(dc, (rc.right - rc.left) / 2, (rc.bottom - rc.top) / 2, &oldOrigin);
        ::TextOutW(dc, 0, 0, text, length);
        ::SetViewportOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
        ::SetTextAlign(dc, oldAlign);
    } else {
        const UINT format = TextFormat(GetStyle(), text);
        RECT box = rc;
        ::DrawTextW(dc, text, length, &box, format);
        if (m_bEmbossed) {
            ::SetTextColor(dc, m_crEmboss);
            box = rc;
            ::OffsetRect(&box, m_bEmbossLowerRight ? 1 : -1, m_bEmbossLowerRight ? 1 : -1);
            ::DrawTextW(dc, text, length, &box, format);
        }
    }

    ::SetBkMode(dc, oldMode);
    ::SetTextColor(dc, oldColour);
}
