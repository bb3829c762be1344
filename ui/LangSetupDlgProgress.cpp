// The work and its progress: the action starts the worker, whose posted codes move the wizard
// from Ready through Running to Completed; what Finish, Cancel and closing may do in each state.
#include "ui/LangSetupDlg.h"

#include "engine/worker/SetupWorker.h"
#include "res/resource.h"

namespace {

constexpr int kLastProgressStep = 95;

}  // namespace

void CLangSetupDlg::OnActionClicked() {
    if (m_state != State::Ready) return;
    // Disabled at the click itself, so that a double click starts one worker.
    m_btnAction.EnableWindow(FALSE);
    m_state = State::Running;
    m_worker = StartSetupWorker(m_szSetupDir, m_hWnd, m_bRemove);
    if (!m_worker) {
        m_state = State::Ready;
        m_btnAction.EnableWindow(TRUE);
        GotoDlgCtrl(m_btnAction);
    }
}

LRESULT CLangSetupDlg::OnSetupProgress(WPARAM wParam, LPARAM lParam) {
    const BYTE code = LOBYTE(wParam);
    CreateProgressBar();
    const bool removal =
        code == PROGRESS_REMOVE_BEGIN || code == PROGRESS_REMOVE_END || code == PROGRESS_REMOVE_INCOMPLETE;
    wchar_t note[kLongText];
    wchar_t prompt[kLongText];
    switch (code) {
    case PROGRESS_INSTALL_BEGIN:
    case PROGRESS_REMOVE_BEGIN:
        m_state = State::Running;
        m_progress.SetRange(0, 100);
        m_progress.SetStep(5);
        m_progress.SetPos(0);
        m_progress.ShowWindow(SW_SHOW);
        m_btnAction.EnableWindow(FALSE);
        m_btnCancel.EnableWindow(FALSE);
        m_btnClose.EnableWindow(FALSE);
        m_btnMinimize.EnableWindow(FALSE);
        LoadText(removal ? IDS_REMOVE_RUNNING_NOTE : IDS_INSTALL_RUNNING_NOTE, note, kLongText);
        LoadText(removal ? IDS_REMOVE_RUNNING_PROMPT : IDS_INSTALL_RUNNING_PROMPT, prompt, kLongText);
        m_lblNote.SetText(note);
        m_lblPrompt.SetText(prompt);
        SetTimer(kProgressTimerId, kProgressTimerMs);
        return 0;
    case PROGRESS_INSTALL_END:
    case PROGRESS_REMOVE_END:
        KillTimer(kProgressTimerId);
        m_bWorkSucceeded = lParam == 1;
        if (m_bWorkSucceeded) {
            m_progress.SetPos(100);
            if (code == PROGRESS_INSTALL_END) {
                m_bInstallDone = 1;
                m_progress.ShowWindow(SW_HIDE);
                m_chkLaunch.ShowWindow(SW_SHOW);
                m_lblLaunch.ShowWindow(SW_SHOW);
                m_chkLaunch.SetCheck(1);
            }
            LoadText(removal ? IDS_REMOVE_DONE_NOTE : IDS_INSTALL_DONE_NOTE, note, kLongText);
        } else {
            // A failed run: its sentence in the note line; no launch box is offered.
            LoadText(removal ? IDS_REMOVE_INCOMPLETE_NOTE : IDS_INSTALL_INCOMPLETE_NOTE, note, kLongText);
        }
        break;
    case PROGRESS_INSTALL_INCOMPLETE:
    case PROGRESS_REMOVE_INCOMPLETE:
        m_bWorkSucceeded = false;
        LoadText(removal ? IDS_REMOVE_INCOMPLETE_NOTE : IDS_INSTALL_INCOMPLETE_NOTE, note, kLongText);
        break;
    default:
        return 0;
    }
    LoadText(IDS_FINISH_PROMPT, prompt, kLongText);
    m_lblNote.SetText(note);
    m_lblPrompt.SetText(prompt);
    m_btnAction.ShowWindow(SW_HIDE);
    m_btnCancel.EnableWindow(FALSE);
    m_btnClose.EnableWindow(TRUE);
    m_btnMinimize.EnableWindow(TRUE);
    m_btnFinish.ShowWindow(SW_SHOW);
    // Enter now means Finish, and the keyboard starts there.
    SendMessage(DM_SETDEFID, IDOK);
    m_state = State::Completed;
    GotoDlgCtrl(m_btnFinish);
    return 0;
}

void CLangSetupDlg::OnTimer(UINT_PTR nIdEvent) {
    if (nIdEvent == kAfterFirstPaintTimerId) OnAfterFirstPaint();
    if (nIdEvent == kProgressTimerId && m_progress.GetPos() < kLastProgressStep) m_progress.StepIt();
}

void CLangSetupDlg::OnOK() {
    // Finish exists only once the work has ended; Enter before that does nothing.
    if (m_state != State::Completed) return;
    if (m_bInstallDone) m_bLaunchApp = m_chkLaunch.GetCheck() ? 1 : 0;
    CDialog::OnOK();
}

void CLangSetupDlg::OnCancel() {
    // The work cannot be cancelled: ending the dialog would end the process under it.
    if (m_state == State::Running) return;
    CDialog::OnCancel();
}

