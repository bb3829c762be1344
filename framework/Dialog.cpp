#include "framework/Dialog.h"

#include <commctrl.h>
#include <oleacc.h>

#include "framework/AccessibleObject.h"
#include "framework/CommonControls.h"
#include "framework/DialogTemplate.h"
#include "framework/WinApp.h"

void DDX_Control(CDataExchange* pDX, int nIdc, CWnd& control) {
    if (!control.m_hWnd) control.SubclassDlgItem(static_cast<UINT>(nIdc), pDX->m_pDlgWnd);
}

CDialog::CDialog(UINT nIdTemplate, CWnd* pParentWnd) : m_nIdTemplate(nIdTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* pDialog = reinterpret_cast<CDialog*>(lParam);
    // From here on every message passes the dialog object's WindowProc first.
    if (!pDialog || !pDialog->SubclassWindow(window)) return TRUE;
    return pDialog->OnInitDialog();
}

INT_PTR CDialog::DoModal() {
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(m_nIdTemplate), MAKEINTRESOURCEW(5));  // RT_DIALOG
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const auto* dialogTemplate = loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
    if (!dialogTemplate) return -1;
    const DWORD size = ::SizeofResource(module, resource);
    CDialogTemplate reduced;
    if (m_nLeftOutCount && reduced.CopyWithout(dialogTemplate, size, m_nLeftOut, m_nLeftOutCount))
        dialogTemplate = reduced.Get();

    // The template may hold common controls (the progress bar), which the common controls'
    // library registers; loading it costs the first paint time, so only when they are there.
    if (CDialogTemplate::NamesAClass(dialogTemplate, size)) InitCommonControlClasses(ICC_PROGRESS_CLASS | ICC_BAR_CLASSES);

    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    m_nModalResult = -1;
    // From here on EndDialog or the window's destruction ends the run, in OnInitDialog already.
    m_bEndModal = false;
    HWND window = ::CreateDialogIndirectParamW(module, dialogTemplate, parent, &CDialog::DialogProc,
                                               reinterpret_cast<LPARAM>(this));
    if (!window || m_hWnd != window) {
        m_bEndModal = true;
        // Not bound to this object: nothing could ever end its modal run.
        if (window) ::DestroyWindow(window);
        return -1;
    }
    const bool parentWasEnabled = parent && !::EnableWindow(parent, FALSE);

    MSG msg;
    while (!m_bEndModal) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Leave the quit request for the loop that owns it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        if (!PreTranslateInput(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    m_bEndModal = true;  // also after a quit request: the window's destruction below posts nothing
    if (parentWasEnabled) ::EnableWindow(parent, TRUE);
    if (::IsWindow(window)) {
        ::ShowWindow(window, SW_HIDE);
        ::DestroyWindow(window);
    }
    EndAccessibleObjects();
    return m_nModalResult;
}

void CDialog::LeaveOutOfTemplate(int nIdc) {
    if (m_nLeftOutCount < kMaxLeftOut) m_nLeftOut[m_nLeftOutCount++] = nIdc;
}

void CDialog::EndDialog(INT_PTR nResult) {
    m_nModalResult = nResult;
    m_bEndModal = true;
    // Wakes the modal loop even when nothing else is queued.
    if (m_hWnd) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

long CDialog::GetAccessibleRole() const {
    return ROLE_SYSTEM_DIALOG;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
    // Buttons notify with BN_CLICKED; Enter and Escape arrive through the dialog manager.
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CDialog::PreTranslateMessage(MSG*) {
    return FALSE;
}

void CDialog::PostNcDestroy() {
    if (m_bEndModal) return;
    m_bEndModal = true;
    // The window may go while the loop waits (a message sent from another thread is handled inside
    // the wait, which then goes on waiting): wake it through the thread's queue.
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

BOOL CDialog::PreTranslateInput(MSG* pMsg) {
    if (!m_hWnd || (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))) return FALSE;
    for (HWND window = pMsg->hwnd; window; window = ::GetParent(window)) {
        if (CWnd* pWnd = FromHandlePermanent(window)) {
            if (pWnd->PreTranslateMessage(pMsg)) return TRUE;
        }
        if (window == m_hWnd) break;
    }
    return ::IsDialogMessageW(m_hWnd, pMsg);
}
