#include "ui/LangSetupDlg.h"

#include <windowsx.h>


#include "base/TextFormat.h"
#include "controls/FocusMark.h"
#include "engine/log/SetupLog.h"
#include "engine/worker/SetupWorker.h"
#include "framework/DeviceContext.h"
#include "framework/WinApp.h"
#include "res/resource.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(102, 102, 102);
constexpr int kShortText = 128;
constexpr int kLongText = 1024;
constexpr int kLastProgressStep = 95;
// The push buttons' pictures (res/make_skin.py) stand at the right of the bottom band, 28 pixels
// from the edge and 21 apart, as on the background.
constexpr int kPushButtonWidth = 100;
constexpr int kPushButtonsRight = 28;
constexpr int kPushButtonsGap = 21;
// The note line ends this far before the action button, so that a long note wraps before it.
constexpr int kNoteGap = 10;

}  // namespace

CLangSetupDlg::CLangSetupDlg(const wchar_t* pszSetupDir, int bRemove, HMODULE hLangLib, CWnd* pParent)
    : CDialog(IDD_LANGSETUP_DIALOG, pParent),
      m_bRemove(bRemove),
      m_hIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_MAINFRAME))),
      m_hLangLib(hLangLib) {
    // The setup folder always fits: it came from a buffer of the same size.
    CopyText(m_szSetupDir, pszSetupDir);
    m_szTitle[0] = L'\0';
}

CLangSetupDlg::~CLangSetupDlg() = default;

void CLangSetupDlg::SetAppName(const wchar_t* pszAppName) {
    CopyText(m_szAppName, pszAppName);
}

INT_PTR CLangSetupDlg::DoModal() {
    const INT_PTR result = CDialog::DoModal();
    if (m_worker) ::WaitForSingleObject(m_worker.get(), INFINITE);
    return result;
}

void CLangSetupDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LAUNCH_CHECK, m_chkLaunch);
    DDX_Control(pDX, IDC_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_MINIMIZE, m_btnMinimize);
    DDX_Control(pDX, IDC_TITLE, m_lblTitle);
    DDX_Control(pDX, IDC_PROGRESS, m_progress);
    DDX_Control(pDX, IDC_PROMPT, m_lblPrompt);
    DDX_Control(pDX, IDC_LAUNCH_TEXT, m_lblLaunch);
    DDX_Control(pDX, IDOK, m_btnFinish);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_NOTE, m_lblNote);
    DDX_Control(pDX, IDC_ACTION, m_btnAction);
}

BOOL CLangSetupDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    LoadSkinBitmaps();
    InitTexts();
    ApplyBackgroundRegion();
    LayoutControls();
    ::SetPropW(m_hWnd, kWindowMark, reinterpret_cast<HANDLE>(1));
    // The action is what Enter and Space do first; left to the platform, the focus would go to
    // Cancel, the first tab stop of the template.
    GotoDlgCtrl(m_btnAction);
    return FALSE;
}

void CLangSetupDlg::LoadSkinBitmaps() {
    if (!m_hBackground.LoadBitmap(AfxGetResourceHandle(), IDB_BACKGROUND)) {
        LogLine({L"message shown: Error loading bitmap"});
        ::MessageBoxW(m_hWnd, L"Error loading bitmap", AfxGetAppName(), MB_OK);
    }
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
    RECT client;
    GetClientRect(&client);
    const int w = client.right - client.left;
    const UINT place = SWP_NOZORDER | SWP_NOACTIVATE;
    const int cancelX = w - kPushButtonsRight - kPushButtonWidth;
    const int actionX = cancelX - kPushButtonsGap - kPushButtonWidth;
    m_lblTitle.SetWindowPos(nullptr, 204, 17, w - 60, 17, place);
    m_lblNote.SetWindowPos(nullptr, 15, 374, actionX - kNoteGap - 15, 35, place);
    m_lblPrompt.SetWindowPos(nullptr, 215, 140, w - 230, 60, place);
    m_btnClose.SizeToBitmap(w - 32, 11);
    m_btnMinimize.SizeToBitmap(w - 62, 11);
    m_btnAction.SizeToBitmap(actionX, 374);
    m_btnFinish.SizeToBitmap(actionX, 374);
    m_btnCancel.SizeToBitmap(cancelX, 374);
    m_btnFinish.ShowWindow(SW_HIDE);
    m_chkLaunch.SizeToBitmap(215, 202);
    // It ends where the prompt ends, inside the window.
    m_lblLaunch.SetWindowPos(nullptr, 240, 205, w - 255, 60, place);
    m_lblLaunch.ShowWindow(SW_HIDE);
    m_chkLaunch.ShowWindow(SW_HIDE);
    m_progress.SetWindowPos(nullptr, 215, 175, w - 245, 30, place | SWP_HIDEWINDOW);
}

void CLangSetupDlg::OnActionClicked() {
    if (m_state != State::Ready) return;
    // Disabled at the click itself, so that a double click starts one worker.
    m_btnAction.EnableWindow(FALSE);
    m_state = State::Running;
    m_worker = StartSetupWorker(m_szSetupDir, m_hWnd, m_bRemove);
    if (!m_worker) {
        m_state = State::Ready;
        m_btnAction.EnableWindow(TRUE);
        GotoDlgCtrl(m_btnAction);
    }
}

LRESULT CLangSetupDlg::OnSetupProgress(WPARAM wParam, LPARAM lParam) {
    const BYTE code = LOBYTE(wParam);
    const bool removal =
        code == PROGRESS_REMOVE_BEGIN || code == PROGRESS_REMOVE_END || code == PROGRESS_REMOVE_INCOMPLETE;
    wchar_t note[kLongText];
    wchar_t prompt[kLongText];
    switch (code) {
    case PROGRESS_INSTALL_BEGIN:
    case PROGRESS_REMOVE_BEGIN:
        m_state = State::Running;
        m_progress.SetRange(0, 100);
        m_progress.SetStep(5);
        m_progress.SetPos(0);
        m_progress.ShowWindow(SW_SHOW);
        m_btnAction.EnableWindow(FALSE);
        m_btnCancel.EnableWindow(FALSE);
        m_btnClose.EnableWindow(FALSE);
        m_btnMinimize.EnableWindow(FALSE);
        LoadText(removal ? IDS_REMOVE_RUNNING_NOTE : IDS_INSTALL_RUNNING_NOTE, note, kLongText);
        LoadText(removal ? IDS_REMOVE_RUNNING_PROMPT : IDS_INSTALL_RUNNING_PROMPT, prompt, kLongText);
        m_lblNote.SetText(note);
        m_lblPrompt.SetText(prompt);
        SetTimer(kProgressTimerId, kProgressTimerMs);
        return 0;
    case PROGRESS_INSTALL_END:
    case PROGRESS_REMOVE_END:
        KillTimer(kProgressTimerId);
        m_bWorkSucceeded = lParam == 1;
        if (m_bWorkSucceeded) {
            m_progress.SetPos(100);
            if (code == PROGRESS_INSTALL_END) {
                m_bInstallDone = 1;
                m_progress.ShowWindow(SW_HIDE);
                m_chkLaunch.ShowWindow(SW_SHOW);
                m_lblLaunch.ShowWindow(SW_SHOW);
                m_chkLaunch.SetCheck(1);
            }
            LoadText(removal ? IDS_REMOVE_DONE_NOTE : IDS_INSTALL_DONE_NOTE, note, kLongText);
        } else {
            // A failed run: its sentence in the note line; no launch box is offered.
            LoadText(removal ? IDS_REMOVE_INCOMPLETE_NOTE : IDS_INSTALL_INCOMPLETE_NOTE, note, kLongText);
        }
        break;
    case PROGRESS_INSTALL_INCOMPLETE:
    case PROGRESS_REMOVE_INCOMPLETE:
        m_bWorkSucceeded = false;
        LoadText(removal ? IDS_REMOVE_INCOMPLETE_NOTE : IDS_INSTALL_INCOMPLETE_NOTE, note, kLongText);
        break;
    default:
        return 0;
    }
    LoadText(IDS_FINISH_PROMPT, prompt, kLongText);
    m_lblNote.SetText(note);
    m_lblPrompt.SetText(prompt);
    m_btnAction.ShowWindow(SW_HIDE);
    m_btnCancel.EnableWindow(FALSE);
    m_btnClose.EnableWindow(TRUE);
    m_btnMinimize.EnableWindow(TRUE);
    m_btnFinish.ShowWindow(SW_SHOW);
    // Enter now means Finish, and the keyboard starts there.
    SendMessage(DM_SETDEFID, IDOK);
    m_state = State::Completed;
    GotoDlgCtrl(m_btnFinish);
    return 0;
}

void CLangSetupDlg::OnTimer(UINT_PTR nIdEvent) {
    if (nIdEvent == kProgressTimerId && m_progress.GetPos() < kLastProgressStep) m_progress.StepIt();
}

void CLangSetupDlg::OnOK() {
    // Finish exists only once the work has ended; Enter before that does nothing.
    if (m_state != State::Completed) return;
    if (m_bInstallDone) m_bLaunchApp = m_chkLaunch.GetCheck() ? 1 : 0;
    CDialog::OnOK();
}

void CLangSetupDlg::OnCancel() {
    // The work cannot be cancelled: ending the dialog would end the process under it.
    if (m_state == State::Running) return;
    CDialog::OnCancel();
}

BOOL CLangSetupDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_ACTION:
            OnActionClicked();
            return TRUE;
        case IDC_CLOSE:
            OnCloseClicked();
            return TRUE;
        case IDC_MINIMIZE:
            OnMinimizeClicked();
            return TRUE;
        default:
            break;
        }
    }
    if (LOWORD(wParam) == IDC_LAUNCH_CHECK && (HIWORD(wParam) == BN_SETFOCUS || HIWORD(wParam) == BN_KILLFOCUS)) {
        UpdateLaunchFocusMark();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CLangSetupDlg::GotoDlgCtrl(CWnd& control) {
    SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control.m_hWnd), TRUE);
}

RECT CLangSetupDlg::LaunchCaptionRect() const {
    RECT rect = {};
    if (!m_chkLaunch.IsWindowVisible()) return rect;
    rect = m_lblLaunch.MeasureText();
    ::MapWindowPoints(m_lblLaunch.m_hWnd, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    // As a check box marks its own caption: two pixels beside the words, one above and below.
    ::InflateRect(&rect, 2, 1);
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

LRESULT CLangSetupDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_SETUP_PROGRESS:
        return OnSetupProgress(wParam, lParam);
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return Default();
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_UPDATEUISTATE: {
        // Focus cues shown or hidden: the launch caption's mark follows, as the buttons' do.
        const LRESULT result = CDialog::WindowProc(message, wParam, lParam);
        UpdateLaunchFocusMark();
        return result;
    }
    case WM_DESTROY:
        ::RemovePropW(m_hWnd, kWindowMark);
        break;
    case WM_SYSCOMMAND:
        // Neither the close command nor Alt+F4 may end the dialog while the work runs.
        if ((wParam & 0xFFF0) == SC_CLOSE && m_state == State::Running) return 0;
        break;
    case WM_CLOSE:
        if (m_state == State::Running) return 0;
        // Once the work has ended Cancel is disabled, and the platform's dialog handling may refuse
        // to close then; the enabled close button ends the wizard itself (never with a launch).
        if (m_state == State::Completed) {
            CDialog::OnCancel();
            return 0;
        }
        break;
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

void CLangSetupDlg::ApplyBackgroundRegion() {
    m_bmBackground = {};
    m_hBackground.GetBitmap(&m_bmBackground);
    const int width = m_bmBackground.bmWidth;
    const int height = m_bmBackground.bmHeight;
    // Without a background the window keeps the template's size and shape.
    if (width <= 0 || height <= 0) return;

    // The window takes a copy: the picture keeps its own region.
    CRgn shape;
    HRGN held = m_hBackground.CreateRegion(kBackgroundKey, RECT{});
    if (!held) return;
    if (shape.CreateCopy(held)) SetWindowRgn(shape, TRUE);

    const int x = ::GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
    const int y = ::GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
    SetWindowPos(HWND_TOP, x, y, width, height, 0);
}

BOOL CLangSetupDlg::OnEraseBkgnd(HDC dc) {
    if (!m_hBackground) return static_cast<BOOL>(Default());
    CMemoryDC memory(dc);
    CSelectObject select(memory.get(), m_hBackground.GetSafeHandle());
    ::BitBlt(dc, 0, 0, m_bmBackground.bmWidth, m_bmBackground.bmHeight, memory.get(), 0, 0, SRCCOPY);
    if (m_bLaunchFocusMark) DrawFocusMark(dc, m_rcLaunchMark, kWhite);
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

void CLangSetupDlg::OnCloseClicked() {
    SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
}

void CLangSetupDlg::OnMinimizeClicked() {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
}
