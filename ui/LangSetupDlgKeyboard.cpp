// The keyboard's road: focus moves as the dialog manager makes them, and the launch box's caption,
// which is the launch label: its focus mark and the clicks on it.
#include "ui/LangSetupDlg.h"

void CLangSetupDlg::GotoDlgCtrl(CWnd& control) {
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control.m_hWnd), TRUE);
}

RECT CLangSetupDlg::LaunchCaptionRect() const {
    RECT rect = {};
    if (!m_chkLaunch.IsWindowVisible()) return rect;
    rect = m_lblLaunch.MeasureText();
    ::MapWindowPoints(m_lblLaunch.m_hWnd, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    // As a check box marks its own caption: two pixels beside the words, one above and below.
    ::InflateRect(&rect, Scale(2), Scale(1));
    return rect;
}

void CLangSetupDlg::UpdateLaunchFocusMark() {
    const bool shown = ::GetFocus() == m_chkLaunch.m_hWnd && m_chkLaunch.IsWindowVisible() &&
                       !(m_chkLaunch.SendMessage(WM_QUERYUISTATE) & UISF_HIDEFOCUS);
    const RECT rect = shown ? LaunchCaptionRect() : m_rcLaunchMark;
    if (shown == m_bLaunchFocusMark && ::EqualRect(&rect, &m_rcLaunchMark)) return;
    RECT redraw = m_rcLaunchMark;
    ::UnionRect(&redraw, &redraw, &rect);
    m_bLaunchFocusMark = shown;
    m_rcLaunchMark = rect;
    // The mark is part of the background beneath the transparent label: both are drawn again.
    RedrawWindow(&redraw, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CLangSetupDlg::OnLButtonDblClk(UINT, POINT point) {
    ClickLaunchCaption(point);
}

bool CLangSetupDlg::ClickLaunchCaption(POINT point) {
    const RECT caption = LaunchCaptionRect();
    if (!::PtInRect(&caption, point) || !m_chkLaunch.IsWindowEnabled()) return false;
    // A click on the caption is a click on the box: the box takes the focus and toggles.
    m_chkLaunch.SendMessage(BM_CLICK);
    return true;
}

