#include "controls/Label.h"

#include <oleacc.h>
#include <shellapi.h>

#include <cstdlib>
#include <cwchar>

#include "framework/DeviceContext.h"

namespace {

const UINT_PTR kFlashTimer = 1;
const UINT kFlashPeriodMs = 500;

UINT ScreenDpi() {
    CClientDC screen(nullptr);
    const int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
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
    m_nPointSize = nPoints;
    if (m_nDpi) {
        // The points at the label's scale, in pixels as a point-size font gets them.
        m_lf.lfHeight = -::MulDiv(nPoints, static_cast<int>(m_nDpi), 72);
        m_lf.lfWidth = 0;
    } else {
        // The size in pixels at the screen's resolution, as a point-size font of this face gets it.
        CFont measured;
        LOGFONTW lf = {};
        if (measured.CreatePointFont(nPoints * 10, m_lf.lfFaceName, nullptr) && measured.GetObject(sizeof lf, &lf)) {
            m_lf.lfHeight = lf.lfHeight;
            m_lf.lfWidth = lf.lfWidth;
        }
    }
    RecreateFont();
    RedrawLabel();
    return *this;
}

CLabel& CLabel::SetDpi(UINT dpi) {
    const UINT old = m_nDpi ? m_nDpi : ScreenDpi();
    m_nDpi = dpi;
    if (!dpi || dpi == old) return *this;
    if (m_nPointSize) return SetFontSize(m_nPointSize);
    m_lf.lfHeight = ::MulDiv(m_lf.lfHeight, static_cast<int>(dpi), static_cast<int>(old));
    m_lf.lfWidth = ::MulDiv(m_lf.lfWidth, static_cast<int>(dpi), static_cast<int>(old));
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
    case WM_GETFONT:
        // The font the label draws with, once it has one, rather than the control's first one.
        if (m_font || m_bFontStale) return reinterpret_cast<LRESULT>(Font());
        return CStatic::WindowProc(message, wParam, lParam);
    default:
        return CStatic::WindowProc(message, wParam, lParam);
    }
}

long CLabel::GetAccessibleRole() const {
    return ROLE_SYSTEM_STATICTEXT;
}

long CLabel::GetAccessibleState(long standard) const {
    // Its words are read, not edited; a label without a link takes no focus.
    standard |= STATE_SYSTEM_READONLY;
    if (!m_nLinkType) standard &= ~STATE_SYSTEM_FOCUSABLE;
    return standard;
}

void CLabel::OpenLink(const wchar_t* verb, const wchar_t* target) {
    ::ShellExecuteW(nullptr, verb, target, nullptr, nullptr, SW_SHOWNORMAL);
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
    m_bFontStale = true;
}

HFONT CLabel::Font() const {
    if (m_bFontStale) {
        m_bFontStale = false;
        m_font.CreateFontIndirect(&m_lf);
    }
    return m_font.GetSafeHandle();
}

void CLabel::RedrawLabel() {
    // A label not on the screen (its own or its window's first showing ahead) is painted whole
    // when it is shown; redrawing it now would only cost the start its time.
    if (!m_hWnd || !IsWindowVisible()) return;
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
