// The wizard dialog run modally in this process, driven by posted steps, with the recording
// platform behind its worker. A step that fails fatally, or steps that leave the wizard open,
// end the modal run at once, so a failed test never waits for the program's time limit.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "res/resource.h"
#include "tests/support/EngineWorld.h"
#include "ui/LangSetupDlg.h"

namespace uitest {

constexpr int kWidth = 584;
constexpr int kHeight = 414;

// The worker's platform: the recording fake, whose progress posts also reach the real window,
// and whose first step can be held so that the dialog stays in its Running state.
class GatedPlatform : public FakePlatform {
public:
    GatedPlatform() : m_gate(::CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}
    void Close() { ::ResetEvent(m_gate.get()); }
    void Open() { ::SetEvent(m_gate.get()); }
    bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        FakePlatform::PostMessage(window, message, wParam, lParam);
        return ::PostMessageW(window, message, wParam, lParam) != FALSE;
    }
    bool RemoveFolder(const wchar_t* path) override {
        ::WaitForSingleObject(m_gate.get(), 20000);
        return FakePlatform::RemoveFolder(path);
    }

private:
    fw::UniqueHandle m_gate;
};

// The dialog with its steps: each runs on the dialog's thread once the messages queued before it
// (clicks, keys) have been handled by the modal loop.
class ScriptedDlg : public CLangSetupDlg {
public:
    using Step = std::function<void(ScriptedDlg&)>;

    ScriptedDlg(int bRemove, HMODULE lang, std::vector<Step> steps);

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Handles this thread's messages until done() holds or timeoutMs pass.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

    // The modal run ends by itself this long after the last step (a step that forgot to end it).
    static constexpr UINT kLeftOpenMs = 30000;

    bool Visible(int id) const { return ::IsWindowVisible(GetDlgItem(id)) != FALSE; }
    bool Enabled(int id) const { return ::IsWindowEnabled(GetDlgItem(id)) != FALSE; }
    std::wstring Text(int id) const {
        wchar_t text[1024] = {};
        ::GetWindowTextW(GetDlgItem(id), text, 1024);
        return text;
    }
    int Progress() const { return static_cast<int>(::SendMessageW(GetDlgItem(IDC_PROGRESS), PBM_GETPOS, 0, 0)); }
    int Check() { return m_chkLaunch.GetCheck(); }
    void Click(int id) { PostMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(id))); }
    bool InstallDone() const { return m_bInstallDone != 0; }
    HBITMAP Background() const { return m_hBackground.GetSafeHandle(); }
    // Replaces the background before the window takes its shape from it.
    std::function<void(CBitmap&)> m_replaceBackground;

protected:
    void LoadBackground() override;

private:
    std::vector<Step> m_steps;
    size_t m_next = 0;
};

class WizardDialog : public EngineWorld {
protected:
    void SetUp() override;
    INT_PTR Run(int bRemove, std::vector<ScriptedDlg::Step> steps, std::function<void(CBitmap&)> replaceBackground = {});

    GatedPlatform m_gated;
    ScopedPlatformOverride m_useGated{m_gated};
    fw::UniqueModule m_lang;
    bool m_completed = false;
    bool m_succeeded = false;
    bool m_launch = false;
};

}  // namespace uitest
