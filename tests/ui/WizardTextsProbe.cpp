// Child of WizardTextsTest: the wizard with one language library, in the interface language this
// process was started in (the button font follows it), writes for each text where it is shown:
// the id, the width and height the text needs, the width and height it has.
//   wizard_texts_probe <language library> <result file>
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/Handles.h"
#include "framework/DeviceContext.h"
#include "res/resource.h"
#include "ui/LangSetupDlg.h"

namespace {

class MeasuringDlg : public CLangSetupDlg {
public:
    MeasuringDlg(HMODULE lang, std::FILE* out) : CLangSetupDlg(L"C:\\", 0, lang), m_out(out) {}

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CLangSetupDlg::OnInitDialog();
        wchar_t text[1024];
        // The captions in the dialog's font, which the buttons draw with, inside the focus mark.
        const RECT mark = m_btnCancel.GetCaptionRect();
        CClientDC dc(m_btnCancel.m_hWnd);
        CSelectObject font(dc.get(), GetFont());
        for (UINT id : {IDS_INSTALL, IDS_REMOVE, IDS_FINISH, IDS_CANCEL}) {
            LoadText(id, text, 1024);
            SIZE need = {};
            ::GetTextExtentPoint32W(dc.get(), text, ::lstrlenW(text), &need);
            Write(id, RECT{0, 0, need.cx, need.cy}, mark);
        }
        // The sentences in their labels' fonts: the Running and Completed prompts above the bar
        // and the launch box, the launch caption on one line.
        RECT prompt, bar, note;
        m_lblPrompt.GetWindowRect(&prompt);
        m_progress.GetWindowRect(&bar);
        m_lblNote.GetClientRect(&note);
        const RECT line = m_lblLaunch.MeasureText(L"X");
        const struct {
            const CLabel& label;
            UINT id;
            LONG height;
        } places[] = {{m_lblPrompt, IDS_INSTALL_PROMPT, prompt.bottom - prompt.top},
                      {m_lblPrompt, IDS_REMOVE_PROMPT, prompt.bottom - prompt.top},
                      {m_lblPrompt, IDS_INSTALL_RUNNING_PROMPT, bar.top - prompt.top},
                      {m_lblPrompt, IDS_REMOVE_RUNNING_PROMPT, bar.top - prompt.top},
                      {m_lblPrompt, IDS_FINISH_PROMPT, bar.top - prompt.top},
                      {m_lblNote, IDS_INSTALL_INCOMPLETE_NOTE, note.bottom},
                      {m_lblNote, IDS_REMOVE_INCOMPLETE_NOTE, note.bottom},
                      {m_lblLaunch, IDS_LAUNCH_APP, line.bottom - line.top}};
        for (const auto& place : places) {
            LoadText(place.id, text, 1024);
            RECT client;
            place.label.GetClientRect(&client);
            Write(place.id, place.label.MeasureText(text), RECT{0, 0, client.right, place.height});
        }
        EndDialog(IDOK);
        return result;
    }

private:
    void Write(UINT id, const RECT& need, const RECT& room) {
        std::fprintf(m_out, "%u %ld %ld %ld %ld\n", id, need.right - need.left, need.bottom - need.top,
                     room.right - room.left, room.bottom - room.top);
    }
    std::FILE* m_out;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    fw::UniqueModule lang(
        ::LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    // Written aside and renamed when complete: the test waits for the file, not the process.
    const std::wstring partial = std::wstring(argv[2]) + L".part";
    std::FILE* out = lang ? _wfopen(partial.c_str(), L"w") : nullptr;
    if (!out) return 3;
    MeasuringDlg dlg(lang.get(), out);
    const INT_PTR result = dlg.DoModal();
    std::fclose(out);
    return result == IDOK && ::MoveFileExW(partial.c_str(), argv[2], MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
