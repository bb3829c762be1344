// The wizard: the program's only window, a skinned modal dialog that offers one install or one
// removal, runs it on the worker thread, follows its progress and, after an install, asks
// whether to start the installed application.
#pragma once

#include <windows.h>

#include "base/Handles.h"
#include "controls/BitmapEx.h"
#include "controls/BmpBtnCtrl.h"
#include "controls/Label.h"
#include "framework/Dialog.h"
#include "framework/GdiObject.h"
#include "framework/ProgressCtrl.h"

class CPicturePreload;

// The wizard takes the scale of the monitor it is on: its pictures (made for that scale), fonts,
// places, focus marks and shape, laid out again when the window moves to a monitor of another
// scale. The class is implemented by concern: LangSetupDlg.cpp (construction and message
// dispatch), LangSetupDlgLayout.cpp (texts, pictures and places at the window's scale),
// LangSetupDlgFrame.cpp (the skinned frame),
// LangSetupDlgProgress.cpp (the work and its progress), LangSetupDlgKeyboard.cpp (the keyboard's
// road and the launch box's caption).
class CLangSetupDlg : public CDialog {
public:
    // The key colour of the background: its pixels are cut out of the window.
    static constexpr COLORREF kBackgroundKey = RGB(255, 0, 255);
    static constexpr UINT_PTR kProgressTimerId = 100;
    static constexpr UINT kProgressTimerMs = 200;
    // A property of the wizard's window, by which a second copy of setup finds it.
    static constexpr wchar_t kWindowMark[] = L"KRT21C_WIZARD";
    // Set by the first paint: what the window needs only once it is on the screen. A timer, not a
    // posted message, comes after the controls' own paints and after the thread has gone idle,
    // which is when the platform puts the painted window on the screen.
    static constexpr UINT_PTR kAfterFirstPaintTimerId = 101;
    // The caption of a disabled push button, more than 3:1 against the skin's disabled face.
    static constexpr COLORREF kDisabledCaption = RGB(92, 102, 114);
    // The texts' buffers, in UTF-16 units with the terminator.
    static constexpr int kShortText = 128;
    static constexpr int kLongText = 1024;
    // The launch caption's focus mark, white as the captions and the buttons' marks.
    static constexpr COLORREF kFocusMarkColour = RGB(255, 255, 255);

    // pszSetupDir ends with a backslash; bRemove selects the removal wizard; hLangLib is the
    // interface-language library that every text comes from (borrowed).
    CLangSetupDlg(const wchar_t* pszSetupDir, int bRemove, HMODULE hLangLib, CWnd* pParent = nullptr);
    ~CLangSetupDlg() override;

    // The application's name (AppName of setup.ini), for the window's title; set before DoModal.
    void SetAppName(const wchar_t* pszAppName);

    // Starts making the pictures that the wizard shows, at the primary monitor's scale, where the
    // window opens, on a thread of their own: the program calls it as early as it can, so that
    // they are made while the display starts up and the window is made. preload must outlive the
    // wizard.
    static void StartPictures(CPicturePreload& preload);

    // Also waits for a worker that is still running, so that the process never ends under a
    // half-done install.
    INT_PTR DoModal() override;

    // The worker has reported its end (the Completed state).
    bool WorkCompleted() const { return m_state == State::Completed; }
    // ... and it reported success.
    bool WorkSucceeded() const { return m_state == State::Completed && m_bWorkSucceeded; }
    // The wizard was left through Finish after an install with the launch box ticked: the
    // installed application is to be started.
    bool LaunchChosen() const { return m_bLaunchApp != 0; }
    // The scale the wizard is shown at, in dots per inch.
    UINT GetDpi() const { return m_nDpi; }

    // The run's pieces, public for the tests that drive the dialog in process.
    LRESULT OnSetupProgress(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nIdEvent);
    void OnAfterFirstPaint();
    void OnActionClicked();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The buttons' and the box's pictures at the window's scale.
    virtual void LoadSkinBitmaps();
    // The background at the window's scale: the last picture that the first paint needs, since it
    // takes the longest to make.
    virtual void LoadBackground();
    void InitTexts();
    // Places the controls at the window's scale; the first time, also hides what the Ready state
    // does not show.
    void LayoutControls();
    void PlaceControls(bool bFirst);
    // Moved to a monitor of another scale: pictures, fonts, shape and places again, at the
    // rectangle that the platform suggests.
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    // The buttons' captions in the dialog's font at the window's scale.
    void ApplyCaptionFont();
    // A length of the 100 % design at the window's scale.
    int Scale(int value) const;
    // The progress bar, made hidden at its place when first wanted: it is left out of the
    // template, so that the first paint does not wait for the common controls' library.
    void CreateProgressBar();
    void PlaceProgressBar();
    // The skinned frame: the window the size that the background has at the window's scale,
    // centred on the screen, before the background itself is made.
    void PlaceWindow();
    // The window's shape from the background, and its size when the background came out another
    // size than PlaceWindow planned for.
    void FitToBackground();
    // The shape alone; whether there is a background to take it from.
    bool ShapeToBackground();
    BOOL OnEraseBkgnd(HDC dc);
    void OnPaint();
    void OnLButtonDown(UINT nFlags, POINT point);
    // A double click on the launch box's caption is two clicks, as on the box itself.
    void OnLButtonDblClk(UINT nFlags, POINT point);
    void OnCloseClicked();
    void OnMinimizeClicked();

    // Text id of the language library, at most capacity units with the terminator; empty
    // when the library lacks it.
    void LoadText(UINT nId, wchar_t* text, int capacity) const;
    // The launch box's caption is the launch label: the box's focus mark goes around its words,
    // and a click on them toggles the box. In client coordinates; empty while the box is hidden.
    RECT LaunchCaptionRect() const;
    void UpdateLaunchFocusMark();
    // Clicks the box when point is on its caption; whether it was.
    bool ClickLaunchCaption(POINT point);
    // Moves the focus the way the dialog manager does, so that the default button follows.
    void GotoDlgCtrl(CWnd& control);

    BITMAP m_bmBackground = {};
    CBitmapEx m_hBackground;
    wchar_t m_szSetupDir[MAX_PATH] = {};
    wchar_t m_szTitle[MAX_PATH] = {};
    wchar_t m_szAppName[MAX_PATH] = {};
    int m_bRemove;
    int m_bInstallDone = 0;
    BOOL m_bLaunchApp = 0;
    CBmpBtnCtrl m_chkLaunch;
    CBmpBtnCtrl m_btnClose;
    CBmpBtnCtrl m_btnMinimize;
    CLabel m_lblTitle;
    CProgressCtrl m_progress;
    CLabel m_lblPrompt;
    CLabel m_lblLaunch;
    CBmpBtnCtrl m_btnFinish;
    CBmpBtnCtrl m_btnCancel;
    CLabel m_lblNote;
    CBmpBtnCtrl m_btnAction;
    HICON m_hIcon;  // shared icon of the resources

private:
    // Ready until the action is clicked; Running from the click until the worker's end code.
    enum class State { Ready, Running, Completed };

    HMODULE m_hLangLib;  // borrowed
    State m_state = State::Ready;
    bool m_bWorkSucceeded = false;
    bool m_bPainted = false;
    // The launch caption's focus mark, drawn with the background while the box has the focus.
    bool m_bLaunchFocusMark = false;
    RECT m_rcLaunchMark = {};
    // The worker, waited for before the dialog lets the process go on.
    fw::UniqueHandle m_worker;
    // The window's scale, and the one the dialog's own font was made for.
    UINT m_nDpi = 96;
    UINT m_nFontDpi = 96;
    // The captions' font at another scale than the dialog font's; empty while that one serves.
    CFont m_captionFont;
    // The window has a region cut from the background (not the whole rectangle).
    bool m_bShaped = false;
};
