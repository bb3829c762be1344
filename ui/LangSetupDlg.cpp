#include "ui/LangSetupDlg.h"

#include <windowsx.h>

#include "base/TextFormat.h"
#include "engine/worker/SetupWorker.h"
#include "framework/DisplayScale.h"
#include "framework/PicturePreload.h"
#include "framework/WinApp.h"
#include "res/resource.h"

namespace {

// Every picture that the wizard shows, in the order that it takes them: the background last.
constexpr UINT kShownPictures[] = {IDB_CLOSE_NORMAL,    IDB_CLOSE_HOVER,       IDB_CLOSE_DISABLED, IDB_MINIMIZE_NORMAL,
                                   IDB_MINIMIZE_HOVER,  IDB_MINIMIZE_DISABLED, IDB_BUTTON_NORMAL,  IDB_BUTTON_PRESSED,
                                   IDB_BUTTON_HOVER,    IDB_BUTTON_DISABLED,   IDB_CHECK_EMPTY,    IDB_CHECK_TICKED,
                                   IDB_BACKGROUND};
static_assert(ARRAYSIZE(kShownPictures) <= CPicturePreload::kMaxPictures, "room for every picture");

// The design's bitmap at 100 %, else the set made for the scale.
UINT PictureForDpi(UINT nId, UINT dpi) {
    const UINT scaled = CBitmapEx::ScaledSetId(nId, dpi);
    return scaled ? scaled : nId;
}

}  // namespace

CLangSetupDlg::CLangSetupDlg(const wchar_t* pszSetupDir, int bRemove, HMODULE hLangLib, CWnd* pParent)
    : CDialog(IDD_LANGSETUP_DIALOG, pParent),
      m_bRemove(bRemove),
      m_hIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_MAINFRAME))),
      m_hLangLib(hLangLib) {
    LeaveOutOfTemplate(IDC_PROGRESS);
    // The setup folder always fits: it came from a buffer of the same size.
    CopyText(m_szSetupDir, pszSetupDir);
    m_szTitle[0] = L'\0';
}

CLangSetupDlg::~CLangSetupDlg() = default;

void CLangSetupDlg::SetAppName(const wchar_t* pszAppName) {
    CopyText(m_szAppName, pszAppName);
}

void CLangSetupDlg::StartPictures(CPicturePreload& preload) {
    preload.Start(AfxGetResourceHandle(), kShownPictures, ARRAYSIZE(kShownPictures), &PictureForDpi);
}

INT_PTR CLangSetupDlg::DoModal() {
    // Unless the program started making them already.
    CPicturePreload preload;
    StartPictures(preload);
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
    // The scale of the monitor the window opens on, which the dialog manager made its font for.
    m_nDpi = GetWindowDpi(m_hWnd);
    m_nFontDpi = m_nDpi;
    KeepDialogLayoutOnDpiChange(m_hWnd);
    // The background comes last: at other scales than 100 % it is decoded meanwhile.
    LoadSkinBitmaps();
    InitTexts();
    PlaceWindow();
    LayoutControls();
    LoadBackground();
    FitToBackground();
    ::SetPropW(m_hWnd, kWindowMark, reinterpret_cast<HANDLE>(1));
    // The action is what Enter and Space do first; left to the platform, the focus would go to
    // Cancel, the first tab stop of the template.
    GotoDlgCtrl(m_btnAction);
    return FALSE;
}

void CLangSetupDlg::OnAfterFirstPaint() {
    KillTimer(kAfterFirstPaintTimerId);
    // The taskbar's and Alt+Tab's icons and the progress bar: making them is among the slowest
    // steps of the start, and the first paint does not need them.
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    CreateProgressBar();
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
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
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

