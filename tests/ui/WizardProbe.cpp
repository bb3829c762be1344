// Child of the wizard's measuring tests: the wizard with one language library, in the interface
// language and at the display scale this process was started with (the button font follows the
// language, every size the scale), writes what it finds, one fact a line:
//   text <id> <width needed> <height needed> <width there> <height there>
//   window <width> <height> <dots per inch>
//   cap <the sentences' cap height> <the captions' cap height>
//   picture <name> <1 when it is, pixel for pixel, the picture made for this scale>
//   end
// first of all "pid <its process id>", so that the test can wait for it and end it, and, when the
// wizard could not be measured, "failed <why>" in place of the facts.
//   wizard_probe <language library> <result file>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "controls/BitmapEx.h"
#include "framework/DeviceContext.h"
#include "framework/DisplayScale.h"
#include "framework/PngDecoder.h"
#include "res/resource.h"
#include "ui/LangSetupDlg.h"

namespace {

// Every pixel of a bitmap as 0x00RRGGBB, rows top down; empty when it cannot be read.
std::vector<DWORD> Pixels(HBITMAP bitmap, SIZE& size) {
    BITMAP info = {};
    if (!bitmap || !::GetObjectW(bitmap, sizeof info, &info)) return {};
    size = {info.bmWidth, info.bmHeight};
    std::vector<DWORD> pixels(static_cast<size_t>(size.cx) * size.cy);
    if (!CBitmap::ReadPixels(bitmap, size.cx, size.cy, pixels.data())) return {};
    for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

// The picture made for the scale of dpi: the 100 % bitmap, or the PNG of the set for that scale.
std::vector<DWORD> MadeFor(UINT nId, UINT dpi, SIZE& size) {
    CBitmap picture;
    UINT place = 0;
    for (UINT i = 0; i < ARRAYSIZE(CBitmapEx::kScaledSetDpis); ++i)
        if (CBitmapEx::kScaledSetDpis[i] == dpi) place = i + 1;
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    if (place)
        CPngDecoder::LoadResource(module, nId + place * CBitmapEx::kScaledSetIdStep, picture);
    else
        picture.LoadBitmap(module, nId);
    return Pixels(picture.GetSafeHandle(), size);
}

// What the control draws, through its own painting, into a bitmap of its client size.
std::vector<DWORD> Rendered(HWND control, SIZE& size) {
    RECT rc;
    ::GetClientRect(control, &rc);
    CClientDC screen(nullptr);
    CMemoryDC memory(screen.get());
    CBitmap surface;
    surface.CreateCompatibleBitmap(screen.get(), rc.right, rc.bottom);
    {
        CSelectObject select(memory.get(), surface.GetSafeHandle());
        ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT);
    }
    return Pixels(surface.GetSafeHandle(), size);
}

// The height of a capital H in font, in pixels.
int CapHeight(HFONT font) {
    CClientDC screen(nullptr);
    CSelectObject select(screen.get(), font);
    GLYPHMETRICS metrics = {};
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    if (::GetGlyphOutlineW(screen.get(), L'H', GGO_METRICS, &metrics, 0, nullptr, &identity) == GDI_ERROR) return -1;
    return static_cast<int>(metrics.gmBlackBoxY);
}

class MeasuringDlg : public CLangSetupDlg {
public:
    MeasuringDlg(HMODULE lang, std::FILE* out) : CLangSetupDlg(L"C:\\", 0, lang), m_out(out) {}

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CLangSetupDlg::OnInitDialog();
        // Made once the window is painted, which this wizard never is.
        CreateProgressBar();
        MeasureTexts();
        RECT window;
        GetWindowRect(&window);
        std::fprintf(m_out, "window %ld %ld %u\n", window.right - window.left, window.bottom - window.top,
                     GetWindowDpi(m_hWnd));
        std::fprintf(m_out, "cap %d %d\n", CapHeight(m_lblPrompt.GetFont()),
                     CapHeight(m_btnCancel.GetFont()));
        ComparePictures();
        std::fprintf(m_out, "end\n");
        EndDialog(IDOK);
        return result;
    }

private:
    void MeasureTexts() {
        wchar_t text[1024];
        // The captions in the buttons' font, inside the focus mark.
        const RECT mark = m_btnCancel.GetCaptionRect();
        CClientDC dc(m_btnCancel.m_hWnd);
        CSelectObject font(dc.get(), m_btnCancel.GetFont());
        for (UINT id : {IDS_INSTALL, IDS_REMOVE, IDS_FINISH, IDS_CANCEL}) {
            LoadText(id, text, 1024);
            SIZE need = {};
            ::GetTextExtentPoint32W(dc.get(), text, ::lstrlenW(text), &need);
            WriteText(id, RECT{0, 0, need.cx, need.cy}, mark);
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
            WriteText(place.id, place.label.MeasureText(text), RECT{0, 0, client.right, place.height});
        }
    }

    // The background as the wizard holds it, and the buttons as they draw themselves: Cancel
    // without its caption (and without the focus, which the action button has), the window's own
    // buttons, and the launch box's mark, which stands at its left, centred.
    void ComparePictures() {
        const UINT dpi = GetWindowDpi(m_hWnd);
        SIZE shownSize = {}, madeSize = {};
        std::vector<DWORD> made = MadeFor(IDB_BACKGROUND, dpi, madeSize);
        std::vector<DWORD> shown = Pixels(m_hBackground.GetSafeHandle(), shownSize);
        WritePicture("background", !made.empty() && shown == made);

        m_btnCancel.SetWindowText(L"");
        const struct {
            const char* name;
            HWND control;
            UINT id;
        } buttons[] = {{"button", m_btnCancel.m_hWnd, IDB_BUTTON_NORMAL},
                       {"close", m_btnClose.m_hWnd, IDB_CLOSE_NORMAL},
                       {"minimize", m_btnMinimize.m_hWnd, IDB_MINIMIZE_NORMAL}};
        for (const auto& button : buttons) {
            made = MadeFor(button.id, dpi, madeSize);
            shown = Rendered(button.control, shownSize);
            WritePicture(button.name, !made.empty() && shown == made);
        }
        made = MadeFor(IDB_CHECK_EMPTY, dpi, madeSize);
        shown = Rendered(m_chkLaunch.m_hWnd, shownSize);
        bool same = !made.empty() && madeSize.cy <= shownSize.cy && madeSize.cx <= shownSize.cx;
        const LONG top = shownSize.cy / 2 - madeSize.cy / 2;
        for (LONG y = 0; same && y < madeSize.cy; ++y)
            for (LONG x = 0; same && x < madeSize.cx; ++x)
                same = shown[(top + y) * shownSize.cx + x] == made[y * madeSize.cx + x];
        WritePicture("check", same);
    }

    void WriteText(UINT id, const RECT& need, const RECT& room) {
        std::fprintf(m_out, "text %u %ld %ld %ld %ld\n", id, need.right - need.left, need.bottom - need.top,
                     room.right - room.left, room.bottom - room.top);
    }
    void WritePicture(const char* name, bool same) { std::fprintf(m_out, "picture %s %d\n", name, same ? 1 : 0); }

    std::FILE* m_out;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    // Written aside and renamed when complete: the test waits for the file, not the process.
    const std::wstring partial = std::wstring(argv[2]) + L".part";
    std::FILE* out = _wfopen(partial.c_str(), L"w");
    if (!out) return 3;
    std::fprintf(out, "pid %lu\n", ::GetCurrentProcessId());
    std::fflush(out);
    fw::UniqueModule lang(
        ::LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    INT_PTR result = -1;
    if (!lang) {
        std::fprintf(out, "failed the language library did not load (error %lu)\n", ::GetLastError());
    } else {
        MeasuringDlg dlg(lang.get(), out);
        result = dlg.DoModal();
        if (result != IDOK) std::fprintf(out, "failed the wizard did not open (%lld)\n", static_cast<long long>(result));
    }
    std::fclose(out);
    return ::MoveFileExW(partial.c_str(), argv[2], MOVEFILE_REPLACE_EXISTING) && result == IDOK ? 0 : 4;
}
