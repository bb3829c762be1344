#include "tests/ui/ScriptedWizard.h"

#include "tests/support/TestSupport.h"

namespace uitest {

namespace {

constexpr UINT kRunStep = WM_APP + 1;
constexpr UINT_PTR kLeftOpenTimer = 0x5CA1;

}  // namespace

ScriptedDlg::ScriptedDlg(int bRemove, HMODULE lang, std::vector<Step> steps)
    : CLangSetupDlg(L"C:\\payload\\", bRemove, lang), m_steps(std::move(steps)) {
    SetAppName(L"Kestrin HW RAID Manager");
}

BOOL ScriptedDlg::OnInitDialog() {
    const BOOL result = CLangSetupDlg::OnInitDialog();
    PostMessage(kRunStep);
    return result;
}

LRESULT ScriptedDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kLeftOpenTimer) {
        KillTimer(kLeftOpenTimer);
        ADD_FAILURE() << "the steps left the wizard open";
        EndDialog(-1);
        return 0;
    }
    if (message != kRunStep) return CLangSetupDlg::WindowProc(message, wParam, lParam);
    if (m_next < m_steps.size()) {
        m_steps[m_next++](*this);
        // A failed assertion returned from its step before the step could end the wizard.
        if (::testing::Test::HasFatalFailure()) {
            EndDialog(-1);
            return 0;
        }
        if (m_next < m_steps.size())
            PostMessage(kRunStep);
        else
            SetTimer(kLeftOpenTimer, kLeftOpenMs);
    }
    return 0;
}

bool ScriptedDlg::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(5);
    }
    return true;
}

void ScriptedDlg::LoadBackground() {
    CLangSetupDlg::LoadBackground();
    if (m_replaceBackground) m_replaceBackground(m_hBackground);
}

void WizardDialog::SetUp() {
    AddPayload(m_gated);
    m_lang.reset(::LoadLibraryExW((testsupport::PayloadDir() + L"\\setupENU.dll").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(m_lang) << "the English language library of the sample payload";
}

INT_PTR WizardDialog::Run(int bRemove, std::vector<ScriptedDlg::Step> steps,
                          std::function<void(CBitmap&)> replaceBackground) {
    ScriptedDlg dlg(bRemove, m_lang.get(), std::move(steps));
    dlg.m_replaceBackground = std::move(replaceBackground);
    const INT_PTR result = dlg.DoModal();
    m_completed = dlg.WorkCompleted();
    m_succeeded = dlg.WorkSucceeded();
    m_launch = dlg.LaunchChosen();
    return result;
}

}  // namespace uitest
