#include "app/SingleInstance.h"

#include "ui/LangSetupDlg.h"

bool ClaimSingleInstance(fw::UniqueHandle& mutex) {
    mutex.reset(::CreateMutexW(nullptr, FALSE, kSingleInstanceMutexName));
    const DWORD error = ::GetLastError();
    if (mutex) {
        if (error != ERROR_ALREADY_EXISTS) return true;
        mutex.reset();
        return false;
    }
    // A copy of another account (the system account's deployment) made it with a default
    // security that grants this one less than full access: it exists all the same.
    if (error == ERROR_ACCESS_DENIED) {
        fw::UniqueHandle existing(::OpenMutexW(SYNCHRONIZE, FALSE, kSingleInstanceMutexName));
        if (existing || ::GetLastError() == ERROR_ACCESS_DENIED) return false;
    }
    // Not made for another reason: nothing is refused on its account.
    return true;
}

namespace {

BOOL CALLBACK FindMarkedWizard(HWND window, LPARAM found) {
    if (!::GetPropW(window, CLangSetupDlg::kWindowMark)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

bool BringRunningWizardToFront() {
    HWND wizard = nullptr;  // another process's window
    ::EnumWindows(FindMarkedWizard, reinterpret_cast<LPARAM>(&wizard));
    if (!wizard) return false;
    // Asynchronous, so that a running copy that does not answer cannot hold this one up.
    if (::IsIconic(wizard)) ::ShowWindowAsync(wizard, SW_RESTORE);
    ::SetForegroundWindow(wizard);
    return true;
}
