// The platform's progress bar ("msctls_progress32").
#pragma once

#include <windows.h>

#include "framework/Wnd.h"

class CProgressCtrl : public CWnd {
public:
    void SetRange(int lower, int upper);
    int SetStep(int step);
    int SetPos(int pos);
    int GetPos() const;
    int StepIt();

    // Assistive tools hear a progress bar named by its window text (which it does not draw), and
    // its position as a share of its range ("45%").
    long GetAccessibleRole() const override;
    fw::HeapArray<wchar_t> GetAccessibleName() const override;
    fw::HeapArray<wchar_t> GetAccessibleValue() const override;
};
