#include "framework/ToolTipCtrl.h"

#include <commctrl.h>

#include "framework/CommonControls.h"

CToolTipCtrl::~CToolTipCtrl() {
    if (m_hOwnedWindow && ::IsWindow(m_hOwnedWindow)) {
        UnsubclassWindow();
        ::DestroyWindow(m_hOwnedWindow);
    }
}

BOOL CToolTipCtrl::Create(CWnd* pParent) {
    if (m_hWnd) return FALSE;
    InitCommonControlClasses(ICC_WIN95_CLASSES);
    HWND window = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                    pParent ? pParent->m_hWnd : nullptr, nullptr, ::GetModuleHandleW(nullptr),
                                    nullptr);
    if (!window) return FALSE;
    m_hOwnedWindow = window;
    return SubclassWindow(window);
}

namespace {

TOOLINFOW ToolFor(CWnd* pWnd, UINT_PTR nToolId, const wchar_t* text) {
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    // No TTF_SUBCLASS: the tool's owner relays its mouse messages (RelayEvent), and a second
    // subclass on the tool's window would be dropped when the window object lets go of it.
    tool.uFlags = 0;
    tool.hwnd = pWnd->m_hWnd;
    tool.uId = nToolId;
    tool.lpszText = const_cast<wchar_t*>(text);
    ::GetClientRect(pWnd->m_hWnd, &tool.rect);
    return tool;
}

}  // namespace

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, const wchar_t* text, UINT_PTR nToolId) {
    TOOLINFOW tool = ToolFor(pWnd, nToolId, text);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)));
}

void CToolTipCtrl::UpdateTipText(const wchar_t* text, CWnd* pWnd, UINT_PTR nToolId) {
    TOOLINFOW tool = ToolFor(pWnd, nToolId, text);
    SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CToolTipCtrl::RelayEvent(MSG* pMsg) {
    if (m_hWnd) SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
}
