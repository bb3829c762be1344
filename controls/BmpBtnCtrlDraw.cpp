// The bitmap button's drawing: through an off-screen surface, the picture of the visual state,
// the caption and the focus mark, each at the button's scale.
#include "controls/BmpBtnCtrl.h"

#include "controls/FocusMark.h"
#include "framework/DeviceContext.h"

namespace {

const COLORREF kCaptionColour = RGB(255, 255, 255);
const COLORREF kCheckBoxFill = RGB(8, 130, 193);
const COLORREF kRadioButtonFill = RGB(71, 93, 173);
const SIZE kPushButtonBorder = {5, 5};
// The focus mark and the caption keep this far from a push button's edges: on a pill-shaped
// face the mark's corners then stay on the face, clear of the rounded ends' outline.
const SIZE kCaptionInset = {6, 3};

}  // namespace

RECT CBmpBtnCtrl::GetCaptionRect() const {
    RECT rc = {};
    GetClientRect(&rc);
    if (IsPushKind(m_nKind)) ::InflateRect(&rc, -Scale(kCaptionInset.cx), -Scale(kCaptionInset.cy));
    return rc;
}

COLORREF CBmpBtnCtrl::CaptionColour() const {
    if (IsWindowEnabled()) return kCaptionColour;
    return m_crDisabledText == CLR_INVALID ? ::GetSysColor(COLOR_GRAYTEXT) : m_crDisabledText;
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
        // The caption's font: the button's own, which the dialog gives every control and sets
        // again at another scale, else the parent's.
        HFONT font = GetFont();
        const HWND parent = ::GetParent(m_hWnd);
        if (!font && parent) font = reinterpret_cast<HFONT>(::SendMessageW(parent, WM_GETFONT, 0, 0));
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
        picture.DrawSliced(dc, rc, SIZE{Scale(kPushButtonBorder.cx), Scale(kPushButtonBorder.cy)});

    // Hovering without a hover picture shows no focus, so that the button looks unchanged; the
    // mark also waits while the platform hides focus cues (a dialog used with the mouse only).
    RECT caption = GetCaptionRect();
    const bool hoverWithoutPicture =
        m_bHover && !(state & (ODS_SELECTED | ODS_DISABLED)) && !m_bmpHover.GetSafeHandle();
    if (!hoverWithoutPicture && (GetStyle() & WS_TABSTOP) && IsWindowEnabled() && (state & ODS_FOCUS) &&
        !(state & ODS_NOFOCUSRECT))
        DrawFocusMark(dc, caption, kCaptionColour, Scale(1));

    // A picture-only button's caption is its tooltip and its name, not part of the picture.
    if (m_bPictureOnly) return;
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const fw::HeapArray<wchar_t> text = GetWindowText();
    if (text && text[0]) {
        if (state & ODS_SELECTED) ::OffsetRect(&caption, Scale(1), Scale(1));
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
        if (bRadio && focused) DrawFocusMark(dc, box, kCaptionColour, Scale(1));
        return;
    }

    // The radio button's caption has a face of its own, 9 points at the button's scale,
    // deselected before it is deleted.
    CFont radioFont;
    if (bRadio) {
        LOGFONTW face = {};
        face.lfHeight = -::MulDiv(9, static_cast<int>(m_nDpi), 72);
        face.lfCharSet = DEFAULT_CHARSET;
        ::lstrcpynW(face.lfFaceName, L"Arial", LF_FACESIZE);
        radioFont.CreateFontIndirect(&face);
    }
    CSelectObject captionFont(dc, radioFont.GetSafeHandle());

    const COLORREF oldColour = ::SetTextColor(dc, CaptionColour());
    RECT caption = {box.right + Scale(4), box.top, box.right, box.bottom};
    const int height = ::DrawTextW(dc, text.get(), -1, &caption, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    caption.bottom = caption.top + height + Scale(1);
    if (!bRadio) ::OffsetRect(&caption, 0, -Scale(1));
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text.get(), -1, &caption, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    ::SetBkMode(dc, oldMode);
    ::SetTextColor(dc, oldColour);
    // A caption wholly beyond the control's width is shown by someone else (a label beside it),
    // who marks it; a piece of the mark at the control's edge would only stray.
    if (focused && caption.left < rc.right) {
        ::InflateRect(&caption, Scale(2), Scale(1));
        DrawFocusMark(dc, caption, kCaptionColour, Scale(1));
    }
}
