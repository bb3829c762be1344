#include "controls/Label.h"

#include <shellapi.h>

#include <cstdlib>
#include <cwchar>

#include "framework/DeviceContext.h"

namespace {

const UINT_PTR kFlashTimer = 1;
const UINT kFlashPeriodMs = 500;
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

CLabel::CLabel() : m_crText(::GetSysColor(COLOR_WINDOWTEXT)) {
    m_hDefaultBrush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
}

CLabel::~CLabel() {
    if (m_hWnd && m_bTimerSet) KillTimer(kFlashTimer);
    m_font.DeleteObject();
    m_hDefaultBrush.DeleteObject();
    m_hBkBrush.DeleteObject();
}

CLabel& CLabel::SetBkColor(COLORREF cr, COLORREF crSecond, int nFillMode) {
    m_crBk = cr;
    m_crBkSecond = crSecond;
    m_nBkFillMode = nFillMode;
    m_hBkBrush.DeleteObject();
    if (nFillMode == 0) m_hBkBrush.CreateSolidBrush(cr);
    RedrawLabel();
    return *this;
}

CLabel& CLabel::SetTextColor(COLORREF cr) {
    m_crText = cr;
    RedrawLabel();
    return *this;
}

CLabel& CLabel::SetText(const wchar_t* text) {
    if (!m_hWnd) return *this;
    SetWindowText(text);
    RedrawLabel();
    return *this;
}

CLabel& CLabel::SetFontBold(BOOL bBold) {
    m_lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    RecreateFont();
    RedrawLabel();
    return *this;
}

CLabel& CLabel::SetFontName(const wchar_t* face, BYTE charSet) {
    m_lf.lfCharSet = charSet;
    // The record holds 31 characters and the terminator; a longer face is cut there.
    wchar_t(&field)[LF_FACESIZE] = m_lf.lfFaceName;
    size_t length = 0;
    for (; face && face[length] && length < LF_FACESIZE - 1; ++length) field[length] = face[length];
    for (size_t i = length; i < LF_FACESIZE; ++i) field[i] = L'\0';
    RecreateFont();
    RedrawLabel();
    return *this;
}

CLabel& CLabel::SetFontUnderline(BOOL bSet) {
    m_lf.lfUnderline = static_cast<BYTE>(bSet);
    RecreateFont();
    RedrawLabel();
    return *this;
}

CLabel& CLabel::SetFontItalic(BOOL bSet) {
    m_lf.lfItalic = static_cast<BYTE>(bSet);
    RecreateFont();
    RedrawLabel();
    return *this;
}

CLabel& CLabel::SetFontSize(int nPoints) {
    // The size in pixels at the screen's resolution, as a point-size font of this face gets it.
    CFont measured;
    LOGFONTW lf = {};
    if (measured.CreatePointFont(nPoints * 10, m_lf.lfFaceName, nullptr) && measured.GetObject(sizeof lf, &lf)) {
        m_lf.lfHeight = lf.lfHeight;
        m_lf.lfWidth = lf.lfWidth;
    }
    RecreateFont();
    RedrawLabel();
    return *this;
}

CLabel& CLabel::SetSunken(BOOL bSet) {
    if (m_hWnd) ModifyStyleEx(bSet ? 0 : WS_EX_STATICEDGE, bSet ? WS_EX_STATICEDGE : 0, SWP_FRAMECHANGED);
    return *this;
}

CLabel& CLabel::SetBorder(BOOL bSet) {
    if (m_hWnd) ModifyStyle(bSet ? 0 : WS_BORDER, bSet ? WS_BORDER : 0, SWP_FRAMECHANGED);
    return *this;
}

CLabel& CLabel::SetTransparent(BOOL bSet) {
    m_bTransparent = bSet;
    // The extended style stays once set.
    if (m_hWnd) ModifyStyleEx(0, WS_EX_TRANSPARENT);
    RedrawLabel();
    return *this;
}

CLabel& CLabel::FlashText(BOOL bActivate) {
    if (m_bTimerSet && m_hWnd) KillTimer(kFlashTimer);
    if (bActivate) {
        m_bFlashState = 0;
        m_bTimerSet = 1;
        if (m_hWnd) SetTimer(kFlashTimer, kFlashPeriodMs);
        m_nFlashType = FlashTextType;
    } else {
        m_nFlashType = FlashNone;
    }
    return *this;
}

CLabel& CLabel::FlashBackground(BOOL bActivate) {
    if (m_bTimerSet && m_hWnd) KillTimer(kFlashTimer);
    if (bActivate) {
        m_bFlashState = 0;
        m_bTimerSet = 1;
        if (m_hWnd) SetTimer(kFlashTimer, kFlashPeriodMs);
        m_nFlashType = FlashBackgroundType;
    }
    return *this;
}

CLabel& CLabel::SetLink(BOOL bLink, BOOL bNotifyParent) {
    m_nLinkType = bLink ? LinkWeb : LinkNone;
    m_bNotifyParent = bNotifyParent;
    // A static control is clicked only with SS_NOTIFY.
    if (m_hWnd) ModifyStyle(m_nLinkType ? 0 : SS_NOTIFY, m_nLinkType ? SS_NOTIFY : 0);
    return *this;
}

CLabel& CLabel::SetLinkCursor(HCURSOR hCursor) {
    m_hLinkCursor = hCursor;
    return *this;
}

CLabel& CLabel::SetEmbossed(BOOL bSet, BOOL bLowerRight) {
    m_bEmbossed = bSet;
    m_bEmbossLowerRight = bLowerRight;
    RedrawLabel();
    return *this;
}

CLabel& CLabel::SetRotation(int nDegrees, BOOL bRotate) {
    m_lf.lfEscapement = nDegrees * 10;
    m_lf.lfOrientation = nDegrees * 10;
    m_bRotated = bRotate;
    RecreateFont();
    RedrawLabel();
    return *this;
}

CLabel& CLabel::SetEmbossColor(COLORREF cr) {
    m_crEmboss = cr;
    RedrawLabel();
    return *this;
}

CLabel& CLabel::SetLogFont(LOGFONTW lf) {
    m_lf = lf;
    m_lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
    RecreateFont();
    RedrawLabel();
    return *this;
}

CLabel& CLabel::SetMailLink(BOOL bMail, BOOL bNotifyParent) {
    m_nLinkType = bMail ? LinkMail : LinkNone;
    m_bNotifyParent = bNotifyParent;
    if (m_hWnd) ModifyStyle(m_nLinkType ? 0 : SS_NOTIFY, m_nLinkType ? SS_NOTIFY : 0);
    return *this;
}

CLabel& CLabel::SetLinkUrl(const wchar_t* url) {
    m_strLink = fw::CopyToHeap(url);
    return *this;
}

RECT CLabel::MeasureText(const wchar_t* text) const {
    RECT rc = {};
    GetClientRect(&rc);
    fw::HeapArray<wchar_t> own;
    if (!text) {
        own = GetWindowText();
        text = own ? own.get() : L"";
    }
    CClientDC dc(m_hWnd);
    CSelectObject font(dc.get(), m_font.GetSafeHandle());
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

void CLabel::PreSubclassWindow() {
    CStatic::PreSubclassWindow();
    HGDIOBJ font = GetFont();
    if (!font) font = ::GetStockObject(SYSTEM_FONT);
    ::GetObjectW(font, sizeof m_lf, &m_lf);
    RecreateFont();
}

LRESULT CLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        OnTimer(wParam);
        return Default();
    case WM_LBUTTONDOWN:
        OnLButtonDown();
        return Default();
    case WM_SETCURSOR:
        return OnSetCursor();
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        // OnPaint covers the label itself; erasing first would only flicker.
        return TRUE;
    default:
        return CStatic::WindowProc(message, wParam, lParam);
    }
}

void CLabel::OpenLink(const wchar_t* verb, const wchar_t* target) {
    ::ShellExecuteW(nullptr, verb, target, nullptr, nullptr, SW_SHOWNORMAL);
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
    CSelectObject font(dc, m_font.GetSafeHandle());

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

void CLabel::OnTimer(UINT_PTR) {
    m_bFlashState = !m_bFlashState;
    RedrawLabel();
}

void CLabel::OnLButtonDown() {
    if (m_bNotifyParent) {
        // The parent decides what a click means; the link is not opened.
        NMHDR header = {m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), kClickNotification};
        ::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, static_cast<WPARAM>(header.idFrom),
                       reinterpret_cast<LPARAM>(&header));
        return;
    }
    const fw::HeapArray<wchar_t> window = GetWindowText();
    const wchar_t* text = window ? window.get() : L"";
    if (m_nLinkType == LinkWeb) {
        OpenLink(L"open", m_strLink && m_strLink[0] ? m_strLink.get() : text);
    } else if (m_nLinkType == LinkMail) {
        const wchar_t scheme[] = L"mailto:";
        const std::size_t schemeLength = ARRAYSIZE(scheme) - 1;
        const std::size_t textLength = static_cast<std::size_t>(::lstrlenW(text));
        fw::HeapArray<wchar_t> mail(schemeLength + textLength + 1);
        if (!mail) return;
        ::CopyMemory(mail.get(), scheme, schemeLength * sizeof(wchar_t));
        ::CopyMemory(mail.get() + schemeLength, text, textLength * sizeof(wchar_t));
        OpenLink(nullptr, mail.get());
    }
}

BOOL CLabel::OnSetCursor() {
    if (!m_hLinkCursor) return static_cast<BOOL>(Default());
    ::SetCursor(m_hLinkCursor);
    return TRUE;
}

void CLabel::OnSysColorChange() {
    m_hDefaultBrush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    RedrawLabel();
}

void CLabel::RecreateFont() {
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_lf);
}

void CLabel::RedrawLabel() {
    if (!m_hWnd) return;
    RECT rc = {};
    GetWindowRect(&rc);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // A transparent label shows the parent through it: the parent repaints beneath it at once.
    const HWND parent = ::GetParent(m_hWnd);
    if (!parent) return;
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
    ::InvalidateRect(parent, &rc, TRUE);
    ::UpdateWindow(parent);
}
