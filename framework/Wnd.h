// A window object bound to an existing window by subclassing: every message goes through the
// virtual WindowProc, whose switch calls the OnXxx handlers and falls back to the window's
// original procedure. Notifications of child controls are reflected back to the control's own
// object (OnChildNotify), so a control draws and toggles itself without its parent's help.
#pragma once

#include <windows.h>

#include "base/HeapArray.h"
#include "framework/GdiObject.h"

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();

    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The window this object is bound to; null before subclassing and after destruction.
    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object bound to window, or null for a window without one.
    static CWnd* FromHandlePermanent(HWND window);

    // Binds the object to the parent's child control nId (a control of a dialog template).
    BOOL SubclassDlgItem(UINT nId, CWnd* pParent);
    // FALSE, and nothing bound, for a window of another process or one already bound.
    BOOL SubclassWindow(HWND window);
    // Unbinds the object and gives the window its original procedure back; when someone has
    // subclassed the window since, their chain is kept and passes on to the original instead.
    HWND UnsubclassWindow();

    // Called right after binding, before the first message arrives through WindowProc.
    virtual void PreSubclassWindow();
    // Called by the modal loop for every message aimed at this window or one of its children,
    // before it is translated and dispatched; TRUE means it was handled.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // A notification of the parent about this control, reflected to it: WM_COMMAND and
    // WM_DRAWITEM. TRUE means handled, with *pResult as the parent's answer.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // What assistive tools hear of the window (WM_GETOBJECT), where the class knows better than the
    // platform's standard object: a role (ROLE_SYSTEM_*; 0 leaves the standard object alone), the
    // state given the standard one (STATE_SYSTEM_*), and a name and a value (an empty array keeps
    // the standard object's).
    virtual long GetAccessibleRole() const;
    virtual long GetAccessibleState(long standard) const;
    virtual fw::HeapArray<wchar_t> GetAccessibleName() const;
    virtual fw::HeapArray<wchar_t> GetAccessibleValue() const;

    // Plain wrappers of the window calls the program uses.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HWND GetDlgItem(int nId) const;
    CWnd* GetParent() const;
    void SetWindowText(const wchar_t* text);
    // The whole window text; text holds capacity units.
    int GetWindowText(wchar_t* text, int capacity) const;
    int GetWindowTextLength() const;
    // The whole window text, terminated; an empty array when there is no memory for it.
    fw::HeapArray<wchar_t> GetWindowText() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    BOOL EnableWindow(BOOL bEnable);
    BOOL IsWindowEnabled() const;
    BOOL IsIconic() const;
    void GetClientRect(RECT* rect) const;
    void GetWindowRect(RECT* rect) const;
    void ScreenToClient(RECT* rect) const;
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    void MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint = TRUE);
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    // Removes then adds style bits; with flags, also SetWindowPos(SWP_NOSIZE | SWP_NOMOVE |
    // SWP_NOZORDER | SWP_NOACTIVATE | flags) so that a frame change takes effect.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    void Invalidate(BOOL bErase = TRUE);
    BOOL RedrawWindow(const RECT* rect, HRGN region, UINT flags);
    void InvalidateRect(const RECT* rect, BOOL bErase = TRUE);
    void UpdateWindow();
    UINT_PTR SetTimer(UINT_PTR nId, UINT elapseMs);
    BOOL KillTimer(UINT_PTR nId);
    HFONT GetFont() const;
    void SetIcon(HICON icon, BOOL bBigIcon);
    // On success the window owns the region and region is left empty; on failure it stays.
    BOOL SetWindowRgn(CRgn& region, BOOL bRedraw);
    int GetDlgCtrlID() const;

protected:
    // The virtual window procedure: a switch over the messages the class handles, everything
    // else to the base class and finally to DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's original procedure (or the system default when there is none).
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled.
    LRESULT Default();
    // WM_COMMAND that no child took; wParam and lParam as received. TRUE means handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Called after the window's last message (WM_NCDESTROY), once the object is unbound.
    virtual void PostNcDestroy();

private:
    static LRESULT CALLBACK StandardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    friend class CDialog;

    WNDPROC m_pfnSuper = nullptr;
    // The message being handled, for Default(); saved and restored around nested messages.
    MSG m_currentMsg = {};
};
