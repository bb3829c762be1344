// A static text of a dialog template that paints itself: its own font, text colour and
// background (solid, a two-colour gradient, or none so that the skin behind shows through),
// flashing, an embossed second copy, rotation, and web or mail links. Every setter returns
// the label, so settings are chained in one expression. Implemented in Label.cpp (settings, clicks,
// what assistive tools hear) and LabelPaint.cpp (painting and measuring).
#pragma once

#include <windows.h>

#include "base/HeapArray.h"
#include "framework/GdiObject.h"
#include "framework/Static.h"

class CLabel : public CStatic {
public:
    // The click notification sent to the parent in notify mode (WM_NOTIFY code).
    static constexpr UINT kClickNotification = 0x8200;
    enum LinkType { LinkNone = 0, LinkWeb = 1, LinkMail = 2 };
    enum FlashType { FlashNone = 0, FlashTextType = 1, FlashBackgroundType = 2 };

    CLabel();
    ~CLabel() override;

    // nFillMode 0: a solid background of cr; any other value: a gradient from cr (left) to
    // crSecond (right).
    virtual CLabel& SetBkColor(COLORREF cr, COLORREF crSecond = 0, int nFillMode = 0);
    virtual CLabel& SetTextColor(COLORREF cr);
    // Lost when the window does not exist yet.
    virtual CLabel& SetText(const wchar_t* text);
    virtual CLabel& SetFontBold(BOOL bBold);
    // A face of more than 31 characters is cut to 31.
    virtual CLabel& SetFontName(const wchar_t* face, BYTE charSet = DEFAULT_CHARSET);
    virtual CLabel& SetFontUnderline(BOOL bSet);
    virtual CLabel& SetFontItalic(BOOL bSet);
    virtual CLabel& SetFontSize(int nPoints);
    virtual CLabel& SetSunken(BOOL bSet);
    virtual CLabel& SetBorder(BOOL bSet);
    virtual CLabel& SetTransparent(BOOL bSet);
    virtual CLabel& FlashText(BOOL bActivate);
    virtual CLabel& FlashBackground(BOOL bActivate);
    virtual CLabel& SetLink(BOOL bLink, BOOL bNotifyParent);
    // A shared cursor, not owned.
    virtual CLabel& SetLinkCursor(HCURSOR hCursor);
    virtual CLabel& SetEmbossed(BOOL bSet, BOOL bLowerRight);
    virtual CLabel& SetRotation(int nDegrees, BOOL bRotate);
    virtual CLabel& SetEmbossColor(COLORREF cr);
    virtual CLabel& SetLogFont(LOGFONTW lf);
    virtual CLabel& SetMailLink(BOOL bMail, BOOL bNotifyParent);
    virtual CLabel& SetLinkUrl(const wchar_t* url);
    // The scale the label is shown at: a size set in points is that many points at dpi from then
    // on (0, the default, is the screen's resolution); a font taken over from the control keeps its
    // size relative to the scale it came with. Repaints.
    CLabel& SetDpi(UINT dpi);

    long GetAccessibleRole() const override;
    long GetAccessibleState(long standard) const override;

    // Where text (the label's own when null) stands when the label draws it: in the label's
    // font and format, laid out in its client width, in client coordinates. Wider than the
    // label when a word cannot be broken; taller when the lines need more than its height.
    RECT MeasureText(const wchar_t* text = nullptr) const;

    // A horizontal gradient over rect from crFrom (left) to crTo (right) in at most nBands
    // bands, one per pixel column when rect is narrower.
    static void DrawGradient(HDC dc, const RECT& rect, COLORREF crFrom, COLORREF crTo, int nBands);

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Opens a link; verb null means the default verb. The one place a click reaches the shell.
    virtual void OpenLink(const wchar_t* verb, const wchar_t* target);

    void OnPaint();
    // Steps of a paint on dc, the off-screen surface or, when transparent, the screen itself.
    void PaintLabel(HDC dc, const RECT& rc, const wchar_t* text);
    void OnTimer(UINT_PTR nId);
    void OnLButtonDown();
    BOOL OnSetCursor();
    void OnSysColorChange();
    // The font is made again from m_lf when it is next needed: a chain of setters makes one font,
    // not one for each setter.
    void RecreateFont();
    HFONT Font() const;
    // Repaints the label and the part of the parent beneath it, at once.
    void RedrawLabel();

    COLORREF m_crText;
    COLORREF m_crEmboss = RGB(255, 255, 255);
    CBrush m_hDefaultBrush;  // COLOR_BTNFACE, the background without a solid brush
    CBrush m_hBkBrush;       // the solid background of SetBkColor; empty otherwise
    LOGFONTW m_lf = {};
    mutable CFont m_font;
    mutable bool m_bFontStale = false;
    BOOL m_bFlashState = 0;
    BOOL m_bTimerSet = 0;
    int m_nLinkType = LinkNone;
    BOOL m_bTransparent = 0;
    BOOL m_bEmbossed = 0;
    BOOL m_bNotifyParent = 0;
    BOOL m_bRotated = 0;
    int m_nFlashType = FlashNone;
    HCURSOR m_hLinkCursor = nullptr;  // borrowed cursor
    BOOL m_bEmbossLowerRight = 0;
    int m_nBkFillMode = 0;
    COLORREF m_crBkSecond = 0;
    COLORREF m_crBk = 0;
    fw::HeapArray<wchar_t> m_strLink;  // terminated; empty when none was set
    UINT m_nDpi = 0;                   // 0: the screen's resolution
    int m_nPointSize = 0;              // the last SetFontSize; 0 before one
};
