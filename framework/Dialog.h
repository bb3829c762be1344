// A modal dialog made from a dialog template of the program's resources. Its template
// controls are bound to member objects by id in DoDataExchange; every way out of the dialog
// ends in EndDialog, the one place where its result is set, or in the window's destruction.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Binds the dialog's control nIdc to control (once; later exchanges leave it bound).
void DDX_Control(CDataExchange* pDX, int nIdc, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIdTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Creates the dialog, runs its own message loop until EndDialog or the window's destruction,
    // and destroys the window. Returns the result given to EndDialog, or -1 when the dialog could
    // not be created or was destroyed without one.
    virtual INT_PTR DoModal();
    // Ends the modal run with nResult once the current message has been handled.
    void EndDialog(INT_PTR nResult);
    BOOL UpdateData(BOOL bSaveAndValidate);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    long GetAccessibleRole() const override;

protected:
    // A control of the template that the dialog makes itself, later: the dialog is created from a
    // copy of the template without it. The common controls are loaded for a template only when
    // the controls created from it name a class of their own.
    void LeaveOutOfTemplate(int nIdc);

    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Ends a modal run whose window is destroyed; a class that overrides it calls it.
    void PostNcDestroy() override;

    UINT m_nIdTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Offers msg to the objects of the windows from its target up to the dialog, then to the
    // dialog manager (keyboard navigation, Enter and Escape).
    BOOL PreTranslateInput(MSG* pMsg);

    static constexpr int kMaxLeftOut = 4;
    int m_nLeftOut[kMaxLeftOut] = {};
    int m_nLeftOutCount = 0;
    INT_PTR m_nModalResult = -1;
    bool m_bEndModal = true;  // false while a modal run goes on
};
