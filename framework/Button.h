// A push button, check box or radio button of a dialog template. An owner-drawn button draws
// itself: the parent's WM_DRAWITEM about it is reflected to DrawItem.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"

class CButton : public CWnd {
public:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    virtual void DrawItem(LPDRAWITEMSTRUCT pDrawItem);
};
