// A child of the wizard-text tests: the wizard with one language library, made in the interface
// language the process was started in (which decides the button font), measures each text of
// the library where the wizard shows it and writes one line per text: the id, the width and
// height the text needs and the width and height it has, in pixels.
//   wizard_texts_probe <language library> <result file>
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "framework/DeviceContext.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include "ui/LangSetupDlg.h"

namespace {

class MeasuringDlg : public CLangSetupDlg {
public:
    MeasuringDlg(HMODULE lang, std::FILE* out) : CLangSetupDlg(L"C:\\", 0, lang), m_lang(lang), m_out(out) {}

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CLangSetupDlg::OnInitDialog();
        MeasureCaptions();
        MeasureSentences();
        EndDialog(IDOK);
        return result;
    }

private:
    void Text(UINT id, wchar_t* text) const {
        text[0] = L'\0';
        ::LoadStringW(m_lang, id, text, 1024);
    }
    void Write(UINT id, LONG needWidth, LONG needHeight, LONG roomWidth, LONG roomHeight) {
        std::fprintf(m_out, "%u %ld %ld %ld %ld\n", id, needWidth, needHeight, roomWidth, roomHeight);
    }

    // The push buttons' captions, in the font the buttons draw with (the dialog's), against the
    // room inside their focus mark.
    void MeasureCaptions() {
        const RECT room = m_btnCancel.GetCaptionRect();
        CClientDC dc(m_btnCancel.m_hWnd);
        CSelectObject font(dc.get(), GetFont());
        for (UINT id : {IDS_INSTALL, IDS_REMOVE, IDS_FINISH, IDS_CANCEL}) {
            wchar_t text[1024];
            Text(id, text);
            SIZE need = {};
            ::GetTextExtentPoint32W(dc.get(), text, ::lstrlenW(text), &need);
            Write(id, need.cx, need.cy, room.right - room.left, room.bottom - room.top);
        }
    }

    void MeasureLabel(const CLabel& label, UINT id, LONG roomHeight) {
        wchar_t text[1024];
        Text(id, text);
        const RECT need = label.MeasureText(text);
        RECT client = {};
        label.GetClientRect(&client);
        Write(id, need.right - need.left, need.bottom - need.top, client.right, roomHeight);
    }

    // The sentences and the launch caption, in their labels' fonts, against what their labels
    // leave free: the Ready prompt the whole label; the Running and Completed prompts the part
    // above the progress bar and the launch box; the launch caption one line.
    void MeasureSentences() {
        RECT prompt = {}, progress = {}, note = {};
        m_lblPrompt.GetWindowRect(&prompt);
        m_progress.GetWindowRect(&progress);
        m_lblNote.GetClientRect(&note);
        MeasureLabel(m_lblPrompt, IDS_INSTALL_PROMPT, prompt.bottom - prompt.top);
        MeasureLabel(m_lblPrompt, IDS_REMOVE_PROMPT, prompt.bottom - prompt.top);
        for (UINT id : {IDS_INSTALL_RUNNING_PROMPT, IDS_REMOVE_RUNNING_PROMPT, IDS_FINISH_PROMPT})
            MeasureLabel(m_lblPrompt, id, progress.top - prompt.top);
        for (UINT id : {IDS_INSTALL_INCOMPLETE_NOTE, IDS_REMOVE_INCOMPLETE_NOTE}) MeasureLabel(m_lblNote, id, note.bottom);
        const RECT line = m_lblLaunch.MeasureText(L"X");
        MeasureLabel(m_lblLaunch, IDS_LAUNCH_APP, line.bottom - line.top);
    }

    HMODULE m_lang;  // borrowed
    std::FILE* m_out;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    fw::UniqueModule lang(
        ::LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!lang) return 3;
    // Written aside and renamed when complete: the test waits for the file, not the process.
    wchar_t partial[MAX_PATH];
    if (_snwprintf_s(partial, MAX_PATH, _TRUNCATE, L"%s.part", argv[2]) < 0) return 4;
    std::FILE* out = _wfopen(partial, L"w");
    if (!out) return 4;
    MeasuringDlg dlg(lang.get(), out);
    const INT_PTR result = dlg.DoModal();
    std::fclose(out);
    if (result != IDOK) return 5;
    return ::MoveFileExW(partial, argv[2], MOVEFILE_REPLACE_EXISTING) ? 0 : 6;
}
