#include "framework/Wnd.h"

#include "framework/AccessibleObject.h"

namespace {

// The procedure that an object had taken over, kept by a window whose chain still runs through
// StandardWindowProc after the object let go (someone subclassed the window after it).
const wchar_t kSuperProperty[] = L"fw.CWnd.super";

// The windows bound to objects, looked up for every message they get. A table of the process's
// own rather than a window property, which is a round trip to the window server (under Wine) for
// each message; a few dozen windows at most, so a short list. Constant-initialised, so that it
// is there before any object binds a window and after the last lets go, at the process's end.
class CBindings {
public:
    static constexpr int kMaxBound = 256;

    bool Add(HWND window, CWnd* object) {
        Lock lock(m_lock);
        if (m_count == kMaxBound || FindLocked(window) >= 0) return false;
        m_bound[m_count++] = Binding{window, object};
        return true;
    }
    CWnd* Find(HWND window) {
        Lock lock(m_lock);
        const int at = FindLocked(window);
        return at < 0 ? nullptr : m_bound[at].object;
    }
    void Remove(HWND window) {
        Lock lock(m_lock);
        const int at = FindLocked(window);
        if (at >= 0) m_bound[at] = m_bound[--m_count];
    }

private:
    struct Binding {
        HWND window;
        CWnd* object;
    };
    // Held for a few instructions, nearly always by the user-interface thread alone.
    class Lock {
    public:
        explicit Lock(volatile LONG& lock) : m_lock(lock) {
            while (::InterlockedExchange(&m_lock, 1) != 0) ::Sleep(0);
        }
        ~Lock() { ::InterlockedExchange(&m_lock, 0); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        volatile LONG& m_lock;
    };
    int FindLocked(HWND window) const {
        for (int i = 0; i < m_count; ++i) {
            if (m_bound[i].window == window) return i;
        }
        return -1;
    }

    volatile LONG m_lock;
    Binding m_bound[kMaxBound];
    int m_count;
};

CBindings g_bindings;

CBindings& Bindings() {
    return g_bindings;
}

}  // namespace

CWnd::~CWnd() {
    // A window that outlives its object must not call into freed memory.
    if (m_hWnd) UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    return window ? Bindings().Find(window) : nullptr;
}

BOOL CWnd::SubclassDlgItem(UINT nId, CWnd* pParent) {
    if (!pParent || !pParent->m_hWnd) return FALSE;
    HWND control = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nId));
    return control ? SubclassWindow(control) : FALSE;
}

BOOL CWnd::SubclassWindow(HWND window) {
    // A chain that still runs through StandardWindowProc would bring every message to the new object twice.
    if (m_hWnd || !window || FromHandlePermanent(window) || ::GetPropW(window, kSuperProperty)) return FALSE;
    if (!Bindings().Add(window, this)) return FALSE;
    m_hWnd = window;
    PreSubclassWindow();
    // Refused for a window of another process: the object is then not bound.
    const LONG_PTR super =
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StandardWindowProc));
    if (!super) {
        Bindings().Remove(window);
        m_hWnd = nullptr;
        return FALSE;
    }
    m_pfnSuper = reinterpret_cast<WNDPROC>(super);
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    HWND window = m_hWnd;
    if (!window) return nullptr;
    if (m_pfnSuper) {
        // Whoever subclassed the window after us passes its messages on to StandardWindowProc:
        // putting the old procedure back would cut them off, so ours stays and passes on alone.
        if (::GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::StandardWindowProc))
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        else
            ::SetPropW(window, kSuperProperty, reinterpret_cast<HANDLE>(m_pfnSuper));
    }
    Bindings().Remove(window);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return window;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

long CWnd::GetAccessibleRole() const {
    return 0;
}

long CWnd::GetAccessibleState(long standard) const {
    return standard;
}

fw::HeapArray<wchar_t> CWnd::GetAccessibleName() const {
    return {};
}

fw::HeapArray<wchar_t> CWnd::GetAccessibleValue() const {
    return {};
}

LRESULT CALLBACK CWnd::StandardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = FromHandlePermanent(window);
    if (!pWnd || !pWnd->m_pfnSuper) {
        // No object: on to the procedure that one took over, while the window lives.
        const auto super = reinterpret_cast<WNDPROC>(::GetPropW(window, kSuperProperty));
        if (!super) return ::DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) ::RemovePropW(window, kSuperProperty);
        return ::CallWindowProcW(super, window, message, wParam, lParam);
    }
    const MSG saved = pWnd->m_currentMsg;
    pWnd->m_currentMsg = MSG{window, message, wParam, lParam, 0, {0, 0}};
    // Built without exceptions: nothing can escape into the platform's code.
    const LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window is gone: unbind so that the object may be destroyed or bound again.
        pWnd->UnsubclassWindow();
        pWnd->PostNcDestroy();
        return result;
    }
    pWnd->m_currentMsg = saved;
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        // A control's notification goes first to the control's own object.
        HWND control = reinterpret_cast<HWND>(lParam);
        if (CWnd* child = control ? FromHandlePermanent(control) : nullptr) {
            LRESULT result = 0;
            if (child->OnChildNotify(message, wParam, lParam, &result)) return result;
        }
        if (OnCommand(wParam, lParam)) return 0;
        break;
    }
    case WM_GETOBJECT:
        // The identifier is a 32-bit value, sign-extended or not (OBJID_CLIENT is negative).
        if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT) && GetAccessibleRole() != 0) {
            if (const LRESULT answer = AnswerAccessibleObject(m_hWnd, wParam)) return answer;
        }
        break;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (CWnd* child = item ? FromHandlePermanent(item->hwndItem) : nullptr) {
            LRESULT result = 0;
            if (child->OnChildNotify(message, wParam, lParam, &result)) return TRUE;
        }
        break;
    }
    default:
        break;
    }
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_currentMsg.message, m_currentMsg.wParam, m_currentMsg.lParam);
}

BOOL CWnd::OnCommand(WPARAM, LPARAM) {
    return FALSE;
}

void CWnd::PostNcDestroy() {}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

HWND CWnd::GetDlgItem(int nId) const {
    return ::GetDlgItem(m_hWnd, nId);
}

CWnd* CWnd::GetParent() const {
    return FromHandlePermanent(::GetParent(m_hWnd));
}

void CWnd::SetWindowText(const wchar_t* text) {
    ::SetWindowTextW(m_hWnd, text);
}

int CWnd::GetWindowText(wchar_t* text, int capacity) const {
    if (capacity <= 0) return 0;
    text[0] = L'\0';
    return ::GetWindowTextW(m_hWnd, text, capacity);
}

fw::HeapArray<wchar_t> CWnd::GetWindowText() const {
    fw::HeapArray<wchar_t> text(static_cast<std::size_t>(GetWindowTextLength()) + 1);
    if (text) ::GetWindowTextW(m_hWnd, text.get(), static_cast<int>(text.size()));
    return text;
}

int CWnd::GetWindowTextLength() const {
    return ::GetWindowTextLengthW(m_hWnd);
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}

BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}

void CWnd::GetClientRect(RECT* rect) const {
    ::GetClientRect(m_hWnd, rect);
}

void CWnd::GetWindowRect(RECT* rect) const {
    ::GetWindowRect(m_hWnd, rect);
}

void CWnd::ScreenToClient(RECT* rect) const {
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2);
}

BOOL CWnd::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
}

void CWnd::MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, x, y, cx, cy, bRepaint);
}

DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE));
}

DWORD CWnd::GetExStyle() const {
    return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_EXSTYLE));
}

namespace {

BOOL ModifyLong(HWND window, int index, DWORD remove, DWORD add, UINT flags) {
    const DWORD old = static_cast<DWORD>(::GetWindowLongW(window, index));
    const DWORD style = (old & ~remove) | add;
    if (style == old) return FALSE;
    ::SetWindowLongW(window, index, static_cast<LONG>(style));
    if (flags)
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

}  // namespace

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
    return ModifyLong(m_hWnd, GWL_STYLE, remove, add, flags);
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags) {
    return ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add, flags);
}

void CWnd::Invalidate(BOOL bErase) {
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}

BOOL CWnd::RedrawWindow(const RECT* rect, HRGN region, UINT flags) {
    return ::RedrawWindow(m_hWnd, rect, region, flags);
}

void CWnd::InvalidateRect(const RECT* rect, BOOL bErase) {
    ::InvalidateRect(m_hWnd, rect, bErase);
}

void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nId, UINT elapseMs) {
    return ::SetTimer(m_hWnd, nId, elapseMs, nullptr);
}

BOOL CWnd::KillTimer(UINT_PTR nId) {
    return ::KillTimer(m_hWnd, nId);
}

HFONT CWnd::GetFont() const {
    return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
}

void CWnd::SetIcon(HICON icon, BOOL bBigIcon) {
    SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

BOOL CWnd::SetWindowRgn(CRgn& region, BOOL bRedraw) {
    if (!::SetWindowRgn(m_hWnd, static_cast<HRGN>(region.GetSafeHandle()), bRedraw)) return FALSE;
    region.Detach();
    return TRUE;
}

int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}
