#include "controls/BmpBtnCtrl.h"

#include <commctrl.h>
#include <oleacc.h>

#include "framework/DisplayScale.h"
#include "framework/PngDecoder.h"
#include "framework/WinApp.h"

namespace {

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

bool CBmpBtnCtrl::IsPushKind(int kind) {
    return kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON;
}

bool CBmpBtnCtrl::IsCheckKind(int kind) {
    return kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX;
}

bool CBmpBtnCtrl::IsRadioKind(int kind) {
    return kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON;
}

CBmpBtnCtrl::CBmpBtnCtrl() = default;

CBmpBtnCtrl::~CBmpBtnCtrl() = default;

BOOL CBmpBtnCtrl::LoadBitmaps(UINT nNormal, UINT nPressed, UINT nHover, UINT nChecked, UINT nDisabled,
                              UINT nDisabledChecked) {
    if (!m_hWnd) return FALSE;
    if (m_nKind == -1) m_nKind = static_cast<int>(GetStyle() & BS_TYPEMASK);
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);

    CBitmapEx* const pictures[] = {&m_bmpNormal, &m_bmpPressed, &m_bmpHover,
                                   &m_bmpChecked, &m_bmpDisabled, &m_bmpDisabledChecked};
    const UINT ids[] = {nNormal, nPressed, nHover, nChecked, nDisabled, nDisabledChecked};
    for (CBitmapEx* picture : pictures) UnloadPicture(*picture);
    m_crShapeKey = CLR_INVALID;
    m_rcShapeKeep = RECT{0, 0, 0, 0};
    for (int i = 0; i < 6; ++i) m_nPictureIds[i] = ids[i];

    // One start of the imaging component for all six, when they are made for another scale.
    const CPngDecoder decoder;
    const HINSTANCE module = AfxGetResourceHandle();
    if (!m_bmpNormal.LoadForDpi(module, LOWORD(nNormal), m_nDpi)) return FALSE;
    BOOL bAll = TRUE;
    for (int i = 1; i < 6; ++i) {
        if (ids[i] && !pictures[i]->LoadForDpi(module, LOWORD(ids[i]), m_nDpi)) bAll = FALSE;
    }
    return bAll;
}

void CBmpBtnCtrl::SetDpi(UINT dpi) {
    if (!dpi || dpi == m_nDpi) return;
    m_nDpi = dpi;
    if (!m_nPictureIds[0]) return;
    // The shape of the old pictures goes with them; it is set again for the new ones.
    const COLORREF key = m_crShapeKey;
    const RECT keep = m_rcShapeKeep;
    LoadBitmaps(m_nPictureIds[0], m_nPictureIds[1], m_nPictureIds[2], m_nPictureIds[3], m_nPictureIds[4],
                m_nPictureIds[5]);
    SetShape(key, keep);
    Invalidate(FALSE);
}

int CBmpBtnCtrl::Scale(int value) const {
    return ScaleToDpi(value, m_nDpi);
}

void CBmpBtnCtrl::SizeToBitmap(int x, int y) {
    const SIZE picture = m_bmpNormal.GetSize();
    int width = picture.cx;
    int height = picture.cy;
    if (IsCheckKind(m_nKind) || IsRadioKind(m_nKind)) {
        // The picture stands in for the platform's check mark; the caption keeps the template's
        // room, taken once and scaled with the button afterwards.
        if (m_nCaptionRoom < 0) {
            RECT client = {};
            GetClientRect(&client);
            m_nCaptionRoom = client.right - GetSystemMetricForDpi(SM_CXMENUCHECK, m_nDpi) + 2;
            m_nRoomDpi = m_nDpi;
        }
        height += Scale(4);
        width += ::MulDiv(m_nCaptionRoom, static_cast<int>(m_nDpi), static_cast<int>(m_nRoomDpi));
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
    // As the platform's own check box tells assistive tools of a new state.
    ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
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

void CBmpBtnCtrl::SetTipText(UINT nTextId) {
    m_nTipTextId = nTextId;
    if (m_hWnd && nTextId) EnsureToolTip();
}

void CBmpBtnCtrl::SetPictureOnly(BOOL bPictureOnly) {
    m_bPictureOnly = bPictureOnly;
    if (m_hWnd) Invalidate(FALSE);
}

void CBmpBtnCtrl::EnsureToolTip() {
    if (m_toolTip.m_hWnd) return;
    if (m_toolTip.Create(this)) m_toolTip.AddTool(this, L"");
}

fw::HeapArray<wchar_t> CBmpBtnCtrl::TipText() const {
    return m_nTipTextId ? LoadResourceString(m_nTipTextId) : GetWindowText();
}

long CBmpBtnCtrl::GetAccessibleRole() const {
    if (IsCheckKind(m_nKind)) return ROLE_SYSTEM_CHECKBUTTON;
    if (IsRadioKind(m_nKind)) return ROLE_SYSTEM_RADIOBUTTON;
    return ROLE_SYSTEM_PUSHBUTTON;
}

long CBmpBtnCtrl::GetAccessibleState(long standard) const {
    // The owner-drawn button keeps its check state itself; the platform cannot see it.
    standard &= ~(STATE_SYSTEM_CHECKED | STATE_SYSTEM_DEFAULT);
    if ((IsCheckKind(m_nKind) || IsRadioKind(m_nKind)) && m_nCheck == 1) standard |= STATE_SYSTEM_CHECKED;
    if (IsPushKind(m_nKind) && IsDefaultButton() && IsWindowVisible()) standard |= STATE_SYSTEM_DEFAULT;
    return standard;
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

bool CBmpBtnCtrl::IsDefaultButton() const {
    return m_nDefault == -1 ? m_nKind == BS_DEFPUSHBUTTON : m_nDefault != 0;
}

LRESULT CBmpBtnCtrl::OnGetDlgCode() {
    // An owner-drawn button answers as no push button at all, so Enter would always go to the
    // dialog's default; a push button that says which it is gets Enter while it has the focus.
    if (!IsPushKind(m_nKind)) return Default();
    return DLGC_BUTTON | (IsDefaultButton() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

LRESULT CBmpBtnCtrl::OnMouseMove(WPARAM, LPARAM) {
    // The tooltip waits for the mouse: a window that nobody points at needs none.
    if (m_nTipTextId || m_bPictureOnly) EnsureToolTip();
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
    if (m_toolTip.m_hWnd && (m_nTipTextId || m_bPictureOnly)) {
        const fw::HeapArray<wchar_t> tip = TipText();
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
