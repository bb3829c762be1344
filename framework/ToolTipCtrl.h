// A tooltip window ("tooltips_class32") with one tool per window. The object owns the tooltip
// window and destroys it with itself.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"

class CToolTipCtrl : public CWnd {
public:
    ~CToolTipCtrl() override;
    // Creates the tooltip window owned by pParent.
    BOOL Create(CWnd* pParent);
    // Registers tool nToolId of pWnd (its whole client area) with text.
    BOOL AddTool(CWnd* pWnd, const wchar_t* text, UINT_PTR nToolId = 0);
    void UpdateTipText(const wchar_t* text, CWnd* pWnd, UINT_PTR nToolId = 0);
    // Hands a mouse message to the tooltip so that it can show and hide itself.
    void RelayEvent(MSG* pMsg);

private:
    HWND m_hOwnedWindow = nullptr;
};
