// The wizard's texts, pictures and places.
#include "ui/LangSetupDlg.h"

#include "base/TextFormat.h"
#include "engine/SetupLog.h"
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

