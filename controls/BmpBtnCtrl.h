// A button of a dialog template turned into an owner-drawn, skinned button: a picture per
// visual state, a white caption, mouse-over tracking. Push buttons show the picture as the
// whole button; check boxes and radio buttons show it as the check mark, the caption beside it.
// The button keeps its own check state and changes it itself when clicked. Its pictures,
// metrics and focus mark follow the scale it is given (SetDpi). Implemented in BmpBtnCtrl.cpp
// (pictures, size, mouse, what assistive tools hear) and BmpBtnCtrlDraw.cpp (the drawing).
#pragma once

#include <windows.h>

#include "base/HeapArray.h"
#include "controls/BitmapEx.h"
#include "framework/Button.h"
#include "framework/ToolTipCtrl.h"

class CBmpBtnCtrl : public CButton {
public:
    // Button kinds: the button-type bits of the style at the first LoadBitmaps.
    static constexpr int kPushButton = BS_PUSHBUTTON;
    static constexpr int kDefPushButton = BS_DEFPUSHBUTTON;
    static constexpr int kCheckBox = BS_CHECKBOX;
    static constexpr int kAutoCheckBox = BS_AUTOCHECKBOX;
    static constexpr int kRadioButton = BS_RADIOBUTTON;
    static constexpr int kAutoRadioButton = BS_AUTORADIOBUTTON;

    CBmpBtnCtrl();
    ~CBmpBtnCtrl() override;

    // Resource ids of the six pictures, 0 = none (the normal picture stands in), at the button's
    // scale. Takes the kind once, makes the button owner-drawn and (re)loads every picture. FALSE
    // when a requested picture could not be loaded; without the normal one nothing else is loaded.
    BOOL LoadBitmaps(UINT nNormal, UINT nPressed = 0, UINT nHover = 0, UINT nChecked = 0, UINT nDisabled = 0,
                     UINT nDisabledChecked = 0);
    // Sizes the button to its normal picture and moves it to (x, y) of the parent's client
    // area; (0, 0) only resizes. Nothing is redrawn.
    virtual void SizeToBitmap(int x, int y);
    virtual int GetCheck() const;
    // Only on an enabled button, and only when the state changes.
    virtual void SetCheck(int nCheck);
    virtual int GetButtonKind() const;

    // The scale the button is shown at (96 until set): its pictures, loaded again at once when
    // there are any, its margins and its focus mark. The size follows at the next SizeToBitmap.
    void SetDpi(UINT dpi);
    UINT GetDpi() const { return m_nDpi; }

    // What the wizard leaves inactive, offered for other skins. A push button takes the shape
    // of its normal picture without the key colour (applied at SizeToBitmap; LoadBitmaps
    // clears it, so set it after loading).
    void SetShape(COLORREF crKey, const RECT& rcKeep);
    // Shown while the mouse is over the button; a shared cursor, not owned.
    void SetHoverCursor(HCURSOR hCursor);
    // The string resource shown as the button's tooltip; creates the tooltip window.
    void SetTipText(UINT nTextId);
    // For a button whose picture says what it does (close, minimise): its caption is not drawn
    // but shown as its tooltip, and names it for assistive tools.
    void SetPictureOnly(BOOL bPictureOnly);
    // The caption's colour on a disabled button, chosen against the skin's disabled picture;
    // CLR_INVALID (the default) takes the system's grey text.
    void SetDisabledTextColor(COLORREF cr);
    // Where a push button's caption is centred: inside the focus mark, which keeps clear of
    // the rounded ends of a pill-shaped face. A caption must fit in it to be read whole.
    RECT GetCaptionRect() const;

    long GetAccessibleRole() const override;
    long GetAccessibleState(long standard) const override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    void DrawItem(LPDRAWITEMSTRUCT pDrawItem) override;

protected:
    // The kinds of button that the template's style names.
    static bool IsPushKind(int kind);
    static bool IsCheckKind(int kind);
    static bool IsRadioKind(int kind);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void DrawPushButton(HDC dc, RECT rc, UINT state);
    void DrawCheckBox(HDC dc, RECT rc, UINT state);
    void DrawRadioButton(HDC dc, RECT rc, UINT state);

    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    BOOL OnSetCursor(HWND window, UINT nHitTest, UINT message);
    LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);

    // The picture for the item state by the kind's table; the normal one when it is missing.
    CBitmapEx& ChoosePicture(UINT state);
    // The check box and the radio button differ only in fill, caption face and focus rule.
    void DrawMarkAndCaption(HDC dc, const RECT& rc, UINT state, bool bRadio);
    COLORREF CaptionColour() const;
    // What the dialog manager asks of a button: a push button tells whether it is the default.
    LRESULT OnGetDlgCode();
    bool IsDefaultButton() const;
    // A length of the 100 % design at the button's scale.
    int Scale(int value) const;
    // The tooltip window, made when the mouse first comes, and its text.
    void EnsureToolTip();
    fw::HeapArray<wchar_t> TipText() const;

    CBitmapEx m_bmpNormal;
    CBitmapEx m_bmpPressed;
    CBitmapEx m_bmpChecked;
    CBitmapEx m_bmpHover;
    CBitmapEx m_bmpDisabled;
    CBitmapEx m_bmpDisabledChecked;
    COLORREF m_crShapeKey = CLR_INVALID;
    RECT m_rcShapeKeep = {0, 0, 0, 0};
    BOOL m_bHover = 0;
    BOOL m_bTracking = 0;
    int m_nCheck = 0;
    HCURSOR m_hPrevCursor = nullptr;   // borrowed cursor
    HCURSOR m_hHoverCursor = nullptr;  // borrowed cursor
    int m_nKind = -1;
    UINT m_nTipTextId = 0;
    CToolTipCtrl m_toolTip;
    COLORREF m_crDisabledText = CLR_INVALID;
    // The dialog's default push button: -1 until the dialog manager moves the default, then 0 or 1.
    int m_nDefault = -1;
    UINT m_nDpi = 96;
    // The ids given to LoadBitmaps, for loading again at another scale; all 0 before.
    UINT m_nPictureIds[6] = {};
    BOOL m_bPictureOnly = 0;
    // A check box's or radio button's room beside its picture, and the scale it was taken at.
    int m_nCaptionRoom = -1;
    UINT m_nRoomDpi = 96;
};
