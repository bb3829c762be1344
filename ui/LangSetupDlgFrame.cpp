// The skinned frame: the background, the window's shape, size and place, the drag by its
// surface, the window's own close and minimise buttons.
#include "ui/LangSetupDlg.h"

#include "controls/FocusMark.h"
#include "framework/DeviceContext.h"
#include "framework/WinApp.h"
#include "res/resource.h"

void CLangSetupDlg::PlaceWindow() {
    // Without a background the window keeps the template's size and shape.
    const SIZE size = CBitmapEx::SizeForDpi(AfxGetResourceHandle(), IDB_BACKGROUND, m_nDpi);
    if (size.cx <= 0 || size.cy <= 0) return;
    const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2 - size.cx / 2;
    const int y = ::GetSystemMetrics(SM_CYSCREEN) / 2 - size.cy / 2;
    SetWindowPos(HWND_TOP, x, y, size.cx, size.cy, 0);
}

void CLangSetupDlg::FitToBackground() {
    if (!ShapeToBackground()) return;
    // A picture that could only be had at another size than the one planned for (no memory for
    // the filter) still fills the window.
    RECT window = {};
    GetWindowRect(&window);
    if (window.right - window.left != m_bmBackground.bmWidth || window.bottom - window.top != m_bmBackground.bmHeight)
        SetWindowPos(nullptr, 0, 0, m_bmBackground.bmWidth, m_bmBackground.bmHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CLangSetupDlg::ShapeToBackground() {
    m_bmBackground = {};
    m_hBackground.GetBitmap(&m_bmBackground);
    const int width = m_bmBackground.bmWidth;
    const int height = m_bmBackground.bmHeight;
    if (width <= 0 || height <= 0) return false;

    HRGN held = m_hBackground.CreateRegion(kBackgroundKey, RECT{});
    if (!held) return true;
    RECT box = {};
    const RECT whole = {0, 0, width, height};
    if (::GetRgnBox(held, &box) == SIMPLEREGION && ::EqualRect(&box, &whole)) {
        // A background without the key colour leaves the window its rectangle: no region to keep
        // up, which costs the first paint time.
        if (m_bShaped) ::SetWindowRgn(m_hWnd, nullptr, TRUE);
        m_bShaped = false;
        return true;
    }
    // The window takes a copy: the picture keeps its own region.
    CRgn shape;
    if (shape.CreateCopy(held) && SetWindowRgn(shape, TRUE)) m_bShaped = true;
    return true;
}

BOOL CLangSetupDlg::OnEraseBkgnd(HDC dc) {
    if (!m_bPainted) {
        m_bPainted = true;
        SetTimer(kAfterFirstPaintTimerId, USER_TIMER_MINIMUM);
    }
    if (!m_hBackground) return static_cast<BOOL>(Default());
    CMemoryDC memory(dc);
    CSelectObject select(memory.get(), m_hBackground.GetSafeHandle());
    ::BitBlt(dc, 0, 0, m_bmBackground.bmWidth, m_bmBackground.bmHeight, memory.get(), 0, 0, SRCCOPY);
    if (m_bLaunchFocusMark) DrawFocusMark(dc, m_rcLaunchMark, kFocusMarkColour, Scale(1));
    return TRUE;
}

void CLangSetupDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()));
    RECT client;
    GetClientRect(&client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.get(), x, y, m_hIcon);
}

void CLangSetupDlg::OnLButtonDown(UINT, POINT point) {
    if (ClickLaunchCaption(point)) return;
    // The platform's move loop follows the mouse as if the caption had been grabbed.
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION,
                MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
    Default();
}

void CLangSetupDlg::OnCloseClicked() {
    SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CLangSetupDlg::OnMinimizeClicked() {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
}
