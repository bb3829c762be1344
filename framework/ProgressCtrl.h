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
};
