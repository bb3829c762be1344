#include "controls/BmpBtnCtrl.h"

#include <commctrl.h>

#include "controls/FocusMark.h"
#include "framework/DeviceContext.h"
#include "framework/WinApp.h"

namespace {

const COLORREF kCaptionColour = RGB(255, 255, 255);
const COLORREF kCheckBoxFill = RGB(8, 130, 193);
const COLORREF kRadioButtonFill = RGB(71, 93, 173);
const SIZE kPushButtonBorder = {5, 5};
// The focus mark and the caption keep this far from a push button's edges: on a pill-shaped
// face the mark's corners then stay on the face, clear of the rounded ends' outline.
const SIZE kCaptionInset = {6, 3};

bool IsPushKind(int kind) {
    return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON;
}

bool IsCheckKind(int kind) {
    return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX;
}

bool IsRadioKind(int kind) {
    return kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON;
}

bool LoadPicture(CBitmapEx& picture, UINT nId) {
    return picture.LoadBitmap(AfxGetResourceHandle(), LOWORD(nId)) != FALSE;
}

// The picture's bitmap and the shape made from the old bitmap go together.
void UnloadPicture(CBitmapEx& picture) {
    picture.m_rgn.DeleteObject();
    picture.m_crRegionKey = CLR_INVALID;
    picture.DeleteObject();
}

// A string of the resource module, or of the program itself when that one lacks it; terminated.
fw::HeapArray<wchar_t> LoadResourceString(UINT nId) {
    const wchar_t* text = nullptr;
    int length = ::LoadStringW(AfxGetResourceHandle(), nId, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0) length = ::LoadStringW(::GetModuleHandleW(nullptr), nId, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return fw::CopyToHeap(L"");
    fw::HeapArray<wchar_t> copy(static_cast<std::size_t>(length) + 1);
    if (copy) ::CopyMemory(copy.get(), text, static_cast<std::size_t>(length) * sizeof(wchar_t));
    return copy;
}

}  // namespace

CBmpBtnCtrl::CBmpBtnCtrl() = default;

CBmpBtnCtrl::~CBmpBtnCtrl() = default;

BOOL CBmpBtnCtrl::LoadBitmaps(UINT nNormal, UINT nPressed, UINT nHover, UINT nChecked, UINT nDisabled,
                              UINT nDisabledChecked) {
    if (!m_hWnd) return FALSE;
    if (m_nKind == -1) m_nKind = static_cast<int>(GetStyle() & BS_TYPEMASK);
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);

    CBitmapEx* const pictures[] = {&m_bmpNormal, &m_bmpPressed, &m_bmpHover,
                                   &m_bmpChecked, &m_bmpDisabled, &m_bmpDisabledChecked};
    for (CBitmapEx* picture : pictures) UnloadPicture(*picture);
    m_crShapeKey = CLR_INVALID;
    m_rcShapeKeep = RECT{0, 0, 0, 0};

    if (!LoadPicture(m_bmpNormal, nNormal)) return FALSE;
    const UINT ids[] = {nPressed, nHover, nChecked, nDisabled, nDisabledChecked};
    BOOL bAll = TRUE;
    for (int i = 0; i < 5; ++i) {
        if (ids[i] && !LoadPicture(*pictures[i + 1], ids[i])) bAll = FALSE;
    }
    return bAll;
}

void CBmpBtnCtrl::SizeToBitmap(int x, int y) {
    const SIZE picture = m_bmpNormal.GetSize();
    RECT client = {};
    GetClientRect(&client);
    int width = picture.cx;
    int height = picture.cy;
    if (IsCheckKind(m_nKind) || IsRadioKind(m_nKind)) {
        // The picture stands in for the platform's check mark; the caption keeps its room.
        height += 4;
        width += client.right - ::GetSystemMetrics(SM_CXMENUCHECK) + 2;
    }
    if (m_nKind == BS_PUSHBUTTON && m_crShapeKey <= 0xFFFFFF) {
        // The window takes a copy: the picture keeps its own region for the next request.
        CRgn shape;
        HRGN held = m_bmpNormal.CreateRegion(m_crShapeKey, m_rcShapeKeep);
        if (held && shape.CreateCopy(held)) SetWindowRgn(shape, TRUE);
    }
    if (x == 0 && y == 0)
        SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    else
        SetWindowPos(nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

int CBmpBtnCtrl::GetCheck() const {
    return m_nCheck;
}

void CBmpBtnCtrl::SetCheck(int nCheck) {
    if (!IsWindowEnabled() || nCheck == m_nCheck) return;
    m_nCheck = nCheck;
    Invalidate(FALSE);
}

int CBmpBtnCtrl::GetButtonKind() const {
    return m_nKind;
}

void CBmpBtnCtrl::SetShape(COLORREF crKey, const RECT& rcKeep) {
    m_crShapeKey = crKey;
    m_rcShapeKeep = rcKeep;
}

void CBmpBtnCtrl::SetHoverCursor(HCURSOR hCursor) {
    m_hHoverCursor = hCursor;
}

void CBmpBtnCtrl::SetDisabledTextColor(COLORREF cr) {
    m_crDisabledText = cr;
}

RECT CBmpBtnCtrl::GetCaptionRect() const {
    RECT rc = {};
    GetClientRect(&rc);
    if (IsPushKind(m_nKind)) ::InflateRect(&rc, -kCaptionInset.cx, -kCaptionInset.cy);
    return rc;
}

COLORREF CBmpBtnCtrl::CaptionColour() const {
    if (IsWindowEnabled()) return kCaptionColour;
    return m_crDisabledText == CLR_INVALID ? ::GetSysColor(COLOR_GRAYTEXT) : m_crDisabledText;
}

void CBmpBtnCtrl::SetTipText(UINT nTextId) {
    m_nTipTextId = nTextId;
    if (!m_hWnd || m_toolTip.m_hWnd || !nTextId) return;
    if (m_toolTip.Create(this)) m_toolTip.AddTool(this, L"");
}

BOOL CBmpBtnCtrl::PreTranslateMessage(MSG* pMsg) {
    if (m_toolTip.m_hWnd) m_toolTip.RelayEvent(pMsg);
    return CButton::PreTranslateMessage(pMsg);
}

BOOL CBmpBtnCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        // The check state changes before the parent hears of the click.
        if (IsCheckKind(m_nKind))
            SetCheck(GetCheck() == 0 ? 1 : 0);
        else if (IsRadioKind(m_nKind))
            SetCheck(1);
    }
    return CButton::OnChildNotify(message, wParam, lParam, pResult);
}

LRESULT CBmpBtnCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE:
        return OnMouseMove(wParam, lParam);
    case WM_SETCURSOR:
        return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_ERASEBKGND:
        // DrawItem covers every pixel.
        return TRUE;
    case WM_MOUSELEAVE:
        return OnMouseLeave(wParam, lParam);
    case WM_MOUSEHOVER:
        return OnMouseHover(wParam, lParam);
    case WM_GETDLGCODE:
        return OnGetDlgCode();
    case BM_SETSTYLE:
        // The dialog manager moves the default push button by restyling it, which would end the
        // owner drawing: the button only notes whether it is now the default.
        if (m_nKind == -1) break;
        m_nDefault = (wParam & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? 1 : 0;
        if (LOWORD(lParam)) Invalidate(FALSE);
        return 0;
    case WM_LBUTTONDBLCLK:
        // An owner-drawn button reports a quick second click as a double click, which would
        // leave a check box unchanged; for check boxes and radio buttons it is a click.
        if (IsCheckKind(m_nKind) || IsRadioKind(m_nKind)) return DefWindowProc(WM_LBUTTONDOWN, wParam, lParam);
        return CButton::WindowProc(message, wParam, lParam);
    default:
        break;
    }
    return CButton::WindowProc(message, wParam, lParam);
}

LRESULT CBmpBtnCtrl::OnGetDlgCode() {
    // An owner-drawn button answers as no push button at all, so Enter would always go to the
    // dialog's default; a push button that says which it is gets Enter while it has the focus.
    if (!IsPushKind(m_nKind)) return Default();
    const bool isDefault = m_nDefault == -1 ? m_nKind == BS_DEFPUSHBUTTON : m_nDefault != 0;
    return DLGC_BUTTON | (isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

void CBmpBtnCtrl::DrawItem(LPDRAWITEMSTRUCT pDrawItem) {
    if (!pDrawItem) return;
    RECT rc = {};
    GetClientRect(&rc);
    const HDC target = pDrawItem->hDC;
    CBitmap surface;
    CMemoryDC memory(target);
    if (!memory || !surface.CreateCompatibleBitmap(target, rc.right, rc.bottom)) return;
    {
        CSaveDC saved(memory.get());
        ::SelectObject(memory.get(), surface.GetSafeHandle());
        const HWND parent = ::GetParent(m_hWnd);
        const HFONT font = parent ? reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr;
        if (font) ::SelectObject(memory.get(), font);

        const UINT state = pDrawItem->itemState;
        if (IsPushKind(m_nKind))
            DrawPushButton(memory.get(), rc, state);
        else if (IsCheckKind(m_nKind))
            DrawCheckBox(memory.get(), rc, state);
        else if (IsRadioKind(m_nKind))
            DrawRadioButton(memory.get(), rc, state);

        ::BitBlt(target, 0, 0, rc.right, rc.bottom, memory.get(), 0, 0, SRCCOPY);
    }
}

CBitmapEx& CBmpBtnCtrl::ChoosePicture(UINT state) {
    const bool disabled = (state & ODS_DISABLED) != 0;
    const bool selected = (state & ODS_SELECTED) != 0;
    const bool checked = m_nCheck == 1;
    CBitmapEx* chosen = &m_bmpNormal;
    if (IsPushKind(m_nKind)) {
        if (disabled)
            chosen = &m_bmpDisabled;
        else if (selected)
            chosen = &m_bmpPressed;
        else if (m_bHover)
            chosen = &m_bmpHover;
    } else {
        if (disabled && checked)
            chosen = &m_bmpDisabledChecked;
        else if (disabled)
            chosen = &m_bmpDisabled;
        else if (checked)
            chosen = &m_bmpChecked;
        else if (m_bHover)
            chosen = &m_bmpHover;
        else if (selected)
            chosen = &m_bmpPressed;
    }
    return chosen->GetSafeHandle() ? *chosen : m_bmpNormal;
}

void CBmpBtnCtrl::DrawPushButton(HDC dc, RECT rc, UINT state) {
    const CBitmapEx& picture = ChoosePicture(state);
    const SIZE size = picture.GetSize();
    if (size.cx == rc.right - rc.left && size.cy == rc.bottom - rc.top)
        picture.Draw(dc, 0, 0);
    else
        picture.DrawSliced(dc, rc, kPushButtonBorder);

    // Hovering without a hover picture shows no focus, so that the button looks unchanged; the
    // mark also waits while the platform hides focus cues (a dialog used with the mouse only).
    RECT caption = GetCaptionRect();
    const bool hoverWithoutPicture =
        m_bHover && !(state & (ODS_SELECTED | ODS_DISABLED)) && !m_bmpHover.GetSafeHandle();
    if (!hoverWithoutPicture && (GetStyle() & WS_TABSTOP) && IsWindowEnabled() && (state & ODS_FOCUS) &&
        !(state & ODS_NOFOCUSRECT))
        DrawFocusMark(dc, caption, kCaptionColour);

    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const fw::HeapArray<wchar_t> text = GetWindowText();
    if (text && text[0]) {
        if (state & ODS_SELECTED) ::OffsetRect(&caption, 1, 1);
        ::SetTextColor(dc, CaptionColour());
        ::DrawTextW(dc, text.get(), -1, &caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    ::SetBkMode(dc, oldMode);
}

void CBmpBtnCtrl::DrawCheckBox(HDC dc, RECT rc, UINT state) {
    DrawMarkAndCaption(dc, rc, state, false);
}

void CBmpBtnCtrl::DrawRadioButton(HDC dc, RECT rc, UINT state) {
    DrawMarkAndCaption(dc, rc, state, true);
}

void CBmpBtnCtrl::DrawMarkAndCaption(HDC dc, const RECT& rc, UINT state, bool bRadio) {
    {
        CBrush fill;
        fill.CreateSolidBrush(bRadio ? kRadioButtonFill : kCheckBoxFill);
        ::FillRect(dc, &rc, fill.GetSafeHandle());
    }

    const CBitmapEx& picture = ChoosePicture(state);
    const SIZE size = picture.GetSize();
    RECT box = {0, 0, size.cx, size.cy};
    ::OffsetRect(&box, 0, (rc.top + rc.bottom) / 2 - size.cy / 2);
    picture.DrawStretched(dc, box);

    const bool enabled = IsWindowEnabled() != FALSE;
    const bool focused =
        enabled && (state & ODS_FOCUS) && !(state & ODS_NOFOCUSRECT) && (bRadio || (GetStyle() & WS_TABSTOP));
    const fw::HeapArray<wchar_t> text = GetWindowText();
    if (!text || !text[0]) {
        if (bRadio && focused) DrawFocusMark(dc, box, kCaptionColour);
        return;
    }

    // The radio button's caption has a face of its own, deselected before it is deleted.
    CFont radioFont;
    if (bRadio) radioFont.CreatePointFont(90, L"Arial", nullptr);
    CSelectObject captionFont(dc, radioFont.GetSafeHandle());

    const COLORREF oldColour = ::SetTextColor(dc, CaptionColour());
    RECT caption = {box.right + 4, box.top, box.right, box.bottom};
    const int height = ::DrawTextW(dc, text.get(), -1, &caption, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    caption.bottom = caption.top + height + 1;
    if (!bRadio) ::OffsetRect(&caption, 0, -1);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text.get(), -1, &caption, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    ::SetBkMode(dc, oldMode);
    ::SetTextColor(dc, oldColour);
    // A caption wholly beyond the control's width is shown by someone else (a label beside it),
    // who marks it; a piece of the mark at the control's edge would only stray.
    if (focused && caption.left < rc.right) {
        ::InflateRect(&caption, 2, 1);
        DrawFocusMark(dc, caption, kCaptionColour);
    }
}

LRESULT CBmpBtnCtrl::OnMouseMove(WPARAM, LPARAM) {
    if (!m_bTracking) {
        // Hover after 1 ms, so the hover picture shows as soon as the mouse rests on the button.
        TRACKMOUSEEVENT track = {sizeof track, TME_HOVER | TME_LEAVE, m_hWnd, 1};
        m_bTracking = ::TrackMouseEvent(&track);
    }
    return Default();
}

BOOL CBmpBtnCtrl::OnSetCursor(HWND window, UINT, UINT) {
    if (window == m_hWnd && m_hHoverCursor) {
        m_hPrevCursor = ::SetCursor(m_hHoverCursor);
        return TRUE;
    }
    m_hPrevCursor = nullptr;
    return static_cast<BOOL>(Default());
}

LRESULT CBmpBtnCtrl::OnMouseHover(WPARAM, LPARAM) {
    m_bHover = TRUE;
    if (m_toolTip.m_hWnd && m_nTipTextId) {
        const fw::HeapArray<wchar_t> tip = LoadResourceString(m_nTipTextId);
        m_toolTip.UpdateTipText(tip ? tip.get() : L"", this, 0);
    }
    if (IsWindowEnabled()) Invalidate(FALSE);
    return 0;
}

LRESULT CBmpBtnCtrl::OnMouseLeave(WPARAM, LPARAM) {
    m_bHover = FALSE;
    m_bTracking = FALSE;
    if (m_hPrevCursor) ::SetCursor(m_hPrevCursor);
    if (IsWindowEnabled()) Invalidate(FALSE);
    return 0;
}
