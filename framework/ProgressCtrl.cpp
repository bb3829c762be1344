#include "framework/ProgressCtrl.h"

#include <commctrl.h>
#include <oleacc.h>

#include "base/TextFormat.h"

void CProgressCtrl::SetRange(int lower, int upper) {
    SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
}

int CProgressCtrl::SetStep(int step) {
    return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step)));
}

int CProgressCtrl::SetPos(int pos) {
    return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos)));
}

int CProgressCtrl::GetPos() const {
    return static_cast<int>(SendMessage(PBM_GETPOS));
}

int CProgressCtrl::StepIt() {
    return static_cast<int>(SendMessage(PBM_STEPIT));
}

long CProgressCtrl::GetAccessibleRole() const {
    return ROLE_SYSTEM_PROGRESSBAR;
}

fw::HeapArray<wchar_t> CProgressCtrl::GetAccessibleName() const {
    return GetWindowText();
}

fw::HeapArray<wchar_t> CProgressCtrl::GetAccessibleValue() const {
    PBRANGE range = {};
    SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    const int span = range.iHigh - range.iLow;
    const int percent = span > 0 ? ::MulDiv(GetPos() - range.iLow, 100, span) : 0;
    wchar_t text[16];
    if (!FormatText(text, L"%s%", static_cast<const wchar_t*>(NumberText(static_cast<unsigned>(percent < 0 ? 0 : percent)))))
        return {};
    return fw::CopyToHeap(text);
}
