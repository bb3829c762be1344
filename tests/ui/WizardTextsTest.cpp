// Every text of the thirteen language libraries fits where the wizard shows it, measured by the
// wizard itself in a process of each library's own language, whose fonts differ (the button font
// follows the language): the buttons' captions inside their focus marks with a margin, the
// sentences in their lines, the launch caption on one line.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <sstream>
#include <string>

#include "res/resource.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace {

// Each library with the LC_ALL of a user of its language.
const std::pair<const char*, const char*> kLanguages[] = {
    {"ENU", "en_US.UTF-8"}, {"CHT", "zh_TW.UTF-8"}, {"CHS", "zh_CN.UTF-8"}, {"JPN", "ja_JP.UTF-8"},
    {"KOR", "ko_KR.UTF-8"}, {"FRA", "fr_FR.UTF-8"}, {"DEU", "de_DE.UTF-8"}, {"ITA", "it_IT.UTF-8"},
    {"RUS", "ru_RU.UTF-8"}, {"ESN", "es_ES.UTF-8"}, {"SVE", "sv_SE.UTF-8"}, {"NLD", "nl_NL.UTF-8"},
    {"PTB", "pt_BR.UTF-8"}};
const UINT kCaptions[] = {IDS_INSTALL, IDS_REMOVE, IDS_FINISH, IDS_CANCEL};
const UINT kSentences[] = {IDS_INSTALL_PROMPT,        IDS_REMOVE_PROMPT,           IDS_INSTALL_RUNNING_PROMPT,
                           IDS_REMOVE_RUNNING_PROMPT, IDS_FINISH_PROMPT,           IDS_INSTALL_INCOMPLETE_NOTE,
                           IDS_REMOVE_INCOMPLETE_NOTE, IDS_LAUNCH_APP};

struct Fit {
    LONG needWidth = 0, needHeight = 0, roomWidth = -1, roomHeight = -1;  // unmeasured: never fits
};
// Per library, per text id; measured once, one wizard per library.
std::map<std::string, std::map<UINT, Fit>> g_fits;

class WizardTexts : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ScratchFolder scratch(L"texts");
        const std::wstring probe = QuoteArgument(BuildDir() + L"\\tests\\ui\\wizard_texts_probe.exe");
        for (const auto& [code, locale] : kLanguages) {
            const std::wstring library = QuoteArgument(PayloadDir() + L"\\setup" + Widen(code) + L".dll");
            const std::wstring result = scratch / Widen(code);
            if (!StartProcessInLocale(locale, probe + L" " + library + L" " + QuoteArgument(result)) ||
                !WaitUntil([&] { return FileExists(result); }, 60000))
                continue;
            for (const std::string& line : ReadLines(result)) {
                std::istringstream in(line);
                UINT id;
                Fit fit;
                if (in >> id >> fit.needWidth >> fit.needHeight >> fit.roomWidth >> fit.roomHeight)
                    g_fits[code][id] = fit;
            }
        }
    }
};

}  // namespace

TEST_F(WizardTexts, EveryButtonCaptionFitsInsideItsFocusMark) {
    constexpr LONG kMargin = 3;  // free pixels on each side of the caption
    for (const auto& [code, locale] : kLanguages) {
        for (UINT id : kCaptions) {
            const Fit& fit = g_fits[code][id];
            ASSERT_LE(fit.needWidth + 2 * kMargin, fit.roomWidth) << "setup" << code << " string " << id;
            ASSERT_LE(fit.needHeight, fit.roomHeight) << "setup" << code << " string " << id;
        }
    }
}

TEST_F(WizardTexts, EverySentenceAndTheLaunchCaptionFitTheirPlaces) {
    for (const auto& [code, locale] : kLanguages) {
        for (UINT id : kSentences) {
            const Fit& fit = g_fits[code][id];
            ASSERT_LE(fit.needWidth, fit.roomWidth) << "setup" << code << " string " << id;
            ASSERT_LE(fit.needHeight, fit.roomHeight) << "setup" << code << " string " << id;
        }
    }
}
