// The wizard's texts, pictures and places, at the scale of the monitor the window is on.
#include "ui/LangSetupDlg.h"

#include <commctrl.h>

#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "framework/CommonControls.h"
#include "framework/DisplayScale.h"
#include "framework/PngDecoder.h"
#include "framework/WinApp.h"
#include "res/resource.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(102, 102, 102);
// The push buttons' pictures (res/make_skin.py) stand at the right of the bottom band, 28 pixels
// from the edge and 21 apart, as on the background.
constexpr int kPushButtonWidth = 100;
constexpr int kPushButtonsRight = 28;
constexpr int kPushButtonsGap = 21;
// The note line ends this far before the action button, so that a long note wraps before it.
constexpr int kNoteGap = 10;

}  // namespace

int CLangSetupDlg::Scale(int value) const {
    return ScaleToDpi(value, m_nDpi);
}

void CLangSetupDlg::LoadBackground() {
    if (m_hBackground.LoadForDpi(AfxGetResourceHandle(), IDB_BACKGROUND, m_nDpi)) return;
    LogLine({L"message shown: Error loading bitmap"});
    ::MessageBoxW(m_hWnd, L"Error loading bitmap", AfxGetAppName(), MB_OK);
}

void CLangSetupDlg::LoadSkinBitmaps() {
    // One start of the imaging component for every picture, when they are made for another scale.
    const CPngDecoder decoder;
    for (CBmpBtnCtrl* button : {&m_btnClose, &m_btnMinimize, &m_btnAction, &m_btnFinish, &m_btnCancel, &m_chkLaunch})
        button->SetDpi(m_nDpi);
    m_btnClose.LoadBitmaps(IDB_CLOSE_NORMAL, IDB_CLOSE_NORMAL, IDB_CLOSE_HOVER, 0, IDB_CLOSE_DISABLED, 0);
    m_btnMinimize.LoadBitmaps(IDB_MINIMIZE_NORMAL, IDB_MINIMIZE_NORMAL, IDB_MINIMIZE_HOVER, 0, IDB_MINIMIZE_DISABLED, 0);
    for (CBmpBtnCtrl* button : {&m_btnAction, &m_btnFinish, &m_btnCancel}) {
        button->LoadBitmaps(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_HOVER, 0, IDB_BUTTON_DISABLED, 0);
        button->SetDisabledTextColor(kDisabledCaption);
    }
    m_chkLaunch.LoadBitmaps(IDB_CHECK_EMPTY, IDB_CHECK_EMPTY, IDB_CHECK_EMPTY, IDB_CHECK_TICKED, 0, 0);
    // The box tells when it gains and loses the focus, for the mark around its caption.
    m_chkLaunch.ModifyStyle(0, BS_NOTIFY);
}

void CLangSetupDlg::LoadText(UINT nId, wchar_t* text, int capacity) const {
    text[0] = L'\0';
    ::LoadStringW(m_hLangLib, nId, text, capacity);
}

void CLangSetupDlg::InitTexts() {
    // The title names the window for the taskbar, Alt+Tab and assistive tools; the title line
    // stays empty, since the background's picture shows the title.
    wchar_t pattern[kLongText];
    LoadText(IDS_WIZARD_TITLE, pattern, kLongText);
    if (!FormatText(m_szTitle, pattern, m_szAppName)) CopyText(m_szTitle, m_szAppName);
    for (CLabel* label : {&m_lblTitle, &m_lblNote, &m_lblPrompt, &m_lblLaunch}) label->SetDpi(m_nDpi);
    m_lblTitle.SetText(L"")
        .SetTextColor(kWhite)
        .SetFontName(L"Arial", 0)
        .SetFontSize(11)
        .SetFontBold(TRUE)
        .SetTransparent(TRUE);
    SetWindowText(m_szTitle);

    wchar_t action[kShortText];
    wchar_t note[kLongText];
    wchar_t prompt[kLongText];
    wchar_t launch[kLongText];
    wchar_t finish[kShortText];
    wchar_t cancel[kShortText];
    LoadText(m_bRemove ? IDS_REMOVE : IDS_INSTALL, action, kShortText);
    LoadText(m_bRemove ? IDS_REMOVE_READY_NOTE : IDS_INSTALL_READY_NOTE, note, kLongText);
    LoadText(m_bRemove ? IDS_REMOVE_PROMPT : IDS_INSTALL_PROMPT, prompt, kLongText);
    launch[0] = L'\0';
    if (!m_bRemove) {
        LoadText(IDS_LAUNCH_APP, launch, kLongText);
        m_chkLaunch.SetWindowText(launch);
    }
    LoadText(IDS_FINISH, finish, kShortText);
    LoadText(IDS_CANCEL, cancel, kShortText);

    m_btnAction.SetWindowText(action);
    m_btnFinish.SetWindowText(finish);
    m_btnCancel.SetWindowText(cancel);
    // The window's own buttons show pictures; their words are their tooltips and their names.
    wchar_t minimize[kShortText];
    wchar_t close[kShortText];
    LoadText(IDS_MINIMIZE, minimize, kShortText);
    LoadText(IDS_CLOSE, close, kShortText);
    m_btnMinimize.SetWindowText(minimize);
    m_btnClose.SetWindowText(close);
    m_btnMinimize.SetPictureOnly(TRUE);
    m_btnClose.SetPictureOnly(TRUE);

    m_lblNote.SetText(note).SetTextColor(kGrey).SetFontName(L"Arial", 0).SetFontSize(10).SetFontBold(TRUE).SetTransparent(
        TRUE);
    m_lblPrompt.SetText(prompt)
        .SetTextColor(kWhite)
        .SetFontName(L"Arial", 0)
        .SetFontSize(10)
        .SetFontBold(TRUE)
        .SetTransparent(TRUE);
    m_lblLaunch.SetText(launch)
        .SetTextColor(kWhite)
        .SetFontName(L"Arial", 0)
        .SetFontSize(10)
        .SetFontBold(TRUE)
        .SetTransparent(TRUE);
}

void CLangSetupDlg::LayoutControls() {
    PlaceControls(true);
}

void CLangSetupDlg::PlaceControls(bool bFirst) {
    RECT client;
    GetClientRect(&client);
    // Worked out on the 100 % design, each edge then at the window's scale.
    const int w = ::MulDiv(client.right - client.left, static_cast<int>(kDesignDpi), static_cast<int>(m_nDpi));
    auto place = [this](CWnd& control, int x, int y, int cx, int cy, UINT flags) {
        const int left = Scale(x);
        const int top = Scale(y);
        control.SetWindowPos(nullptr, left, top, Scale(x + cx) - left, Scale(y + cy) - top,
                             SWP_NOZORDER | SWP_NOACTIVATE | flags);
    };
    const int cancelX = w - kPushButtonsRight - kPushButtonWidth;
    const int actionX = cancelX - kPushButtonsGap - kPushButtonWidth;
    place(m_lblTitle, 204, 17, w - 60, 17, 0);
    place(m_lblNote, 15, 374, actionX - kNoteGap - 15, 35, 0);
    place(m_lblPrompt, 215, 140, w - 230, 60, 0);
    m_btnClose.SizeToBitmap(Scale(w - 32), Scale(11));
    m_btnMinimize.SizeToBitmap(Scale(w - 62), Scale(11));
    m_btnAction.SizeToBitmap(Scale(actionX), Scale(374));
    m_btnFinish.SizeToBitmap(Scale(actionX), Scale(374));
    m_btnCancel.SizeToBitmap(Scale(cancelX), Scale(374));
    if (bFirst) m_btnFinish.ShowWindow(SW_HIDE);
    m_chkLaunch.SizeToBitmap(Scale(215), Scale(202));
    // It ends where the prompt ends, inside the window.
    place(m_lblLaunch, 240, 205, w - 255, 60, 0);
    if (bFirst) {
        m_lblLaunch.ShowWindow(SW_HIDE);
        m_chkLaunch.ShowWindow(SW_HIDE);
    }
    if (m_progress.m_hWnd) PlaceProgressBar();
}

void CLangSetupDlg::PlaceProgressBar() {
    RECT client;
    GetClientRect(&client);
    const int w = ::MulDiv(client.right - client.left, static_cast<int>(kDesignDpi), static_cast<int>(m_nDpi));
    const int left = Scale(215);
    const int top = Scale(175);
    m_progress.SetWindowPos(nullptr, left, top, Scale(215 + w - 245) - left, Scale(175 + 30) - top,
                            SWP_NOZORDER | SWP_NOACTIVATE);
}

void CLangSetupDlg::CreateProgressBar() {
    if (m_progress.m_hWnd) return;
    InitCommonControlClasses(ICC_PROGRESS_CLASS);
    // The bar draws no text: its window text names it for assistive tools, as the sentence that
    // stands above it while it runs.
    wchar_t running[kLongText];
    LoadText(m_bRemove ? IDS_REMOVE_RUNNING_PROMPT : IDS_INSTALL_RUNNING_PROMPT, running, kLongText);
    HWND bar = ::CreateWindowExW(0, PROGRESS_CLASSW, running, WS_CHILD | WS_BORDER, 0, 0, 0, 0, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS)),
                                 AfxGetResourceHandle(), nullptr);
    // Where the template had it: beneath the prompt, after it in the keyboard's order.
    if (!bar || !m_progress.SubclassWindow(bar)) return;
    ::SetWindowPos(bar, m_lblPrompt.m_hWnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PlaceProgressBar();
}

void CLangSetupDlg::ApplyCaptionFont() {
    // The dialog manager made the dialog's font for the scale the window opened at.
    HFONT font = GetFont();
    CFont scaled;
    LOGFONTW lf = {};
    if (m_nDpi != m_nFontDpi && font && ::GetObjectW(font, sizeof lf, &lf)) {
        lf.lfHeight = ::MulDiv(lf.lfHeight, static_cast<int>(m_nDpi), static_cast<int>(m_nFontDpi));
        lf.lfWidth = ::MulDiv(lf.lfWidth, static_cast<int>(m_nDpi), static_cast<int>(m_nFontDpi));
        if (scaled.CreateFontIndirect(&lf)) font = scaled.GetSafeHandle();
    }
    for (CBmpBtnCtrl* button : {&m_btnClose, &m_btnMinimize, &m_btnAction, &m_btnFinish, &m_btnCancel, &m_chkLaunch})
        button->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // Only now that no button draws with it any more.
    m_captionFont.Attach(scaled.Detach());
}

void CLangSetupDlg::OnDpiChanged(UINT dpi, const RECT& suggested) {
    if (!dpi || dpi == m_nDpi) return;
    m_nDpi = dpi;
    {
        const CPngDecoder decoder;
        m_hBackground.LoadForDpi(AfxGetResourceHandle(), IDB_BACKGROUND, m_nDpi);
        for (CBmpBtnCtrl* button :
             {&m_btnClose, &m_btnMinimize, &m_btnAction, &m_btnFinish, &m_btnCancel, &m_chkLaunch})
            button->SetDpi(m_nDpi);
    }
    ApplyCaptionFont();
    for (CLabel* label : {&m_lblTitle, &m_lblNote, &m_lblPrompt, &m_lblLaunch}) label->SetDpi(m_nDpi);
    // The platform's rectangle, in the background's size at the new scale (they differ by a
    // rounding at most).
    if (ShapeToBackground())
        SetWindowPos(nullptr, suggested.left, suggested.top, m_bmBackground.bmWidth, m_bmBackground.bmHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceControls(false);
    UpdateLaunchFocusMark();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
