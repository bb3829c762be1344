// Every text of the thirteen language libraries fits where the wizard shows it, measured by the
// wizard itself in each library's own interface language, whose fonts differ (the button font
// follows the language): the buttons' captions inside their focus marks with a margin, the
// sentences in their lines, the launch caption on one line.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <sstream>
#include <string>

#include "framework/Handles.h"
#include "res/resource.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace {

struct Language {
    const char* code;
    const char* locale;  // LC_ALL of a user of that language
};

const Language kLanguages[] = {
    {"ENU", "en_US.UTF-8"}, {"CHT", "zh_TW.UTF-8"}, {"CHS", "zh_CN.UTF-8"}, {"JPN", "ja_JP.UTF-8"},
    {"KOR", "ko_KR.UTF-8"}, {"FRA", "fr_FR.UTF-8"}, {"DEU", "de_DE.UTF-8"}, {"ITA", "it_IT.UTF-8"},
    {"RUS", "ru_RU.UTF-8"}, {"ESN", "es_ES.UTF-8"}, {"SVE", "sv_SE.UTF-8"}, {"NLD", "nl_NL.UTF-8"},
    {"PTB", "pt_BR.UTF-8"},
};

const UINT kCaptions[] = {IDS_INSTALL, IDS_REMOVE, IDS_FINISH, IDS_CANCEL};
const UINT kSentences[] = {IDS_INSTALL_PROMPT,          IDS_REMOVE_PROMPT,          IDS_INSTALL_RUNNING_PROMPT,
                           IDS_REMOVE_RUNNING_PROMPT,   IDS_FINISH_PROMPT,          IDS_INSTALL_INCOMPLETE_NOTE,
                           IDS_REMOVE_INCOMPLETE_NOTE,  IDS_LAUNCH_APP};
// Free pixels a caption keeps on each side inside the focus mark.
constexpr LONG kCaptionMargin = 3;

struct Fit {
    LONG needWidth = 0, needHeight = 0, roomWidth = 0, roomHeight = 0;
};

std::wstring LibraryPath(const Language& language) {
    return PayloadDir() + L"\\setup" + Widen(language.code) + L".dll";
}

class WizardTexts : public ::testing::Test {
protected:
    // One wizard per language, each in a process of that language; measured once for the suite.
    static void SetUpTestSuite() {
        ScratchFolder scratch(L"texts");
        const std::wstring probe = QuoteArgument(BuildDir() + L"\\tests\\ui\\wizard_texts_probe.exe");
        for (const Language& language : kLanguages) {
            const std::wstring result = scratch / (Widen(language.code) + L".txt");
            const std::wstring arguments = QuoteArgument(LibraryPath(language)) + L" " + QuoteArgument(result);
            s_runs[language.code] = StartProcessInLocale(language.locale, probe + L" " + arguments) &&
                                    WaitUntil([&] { return FileExists(result); }, 60000);
            for (const std::string& line : ReadLines(result)) {
                std::istringstream in(line);
                UINT id;
                Fit fit;
                if (in >> id >> fit.needWidth >> fit.needHeight >> fit.roomWidth >> fit.roomHeight)
                    s_fits[language.code][id] = fit;
            }
        }
    }

    // "setupDEU string 3 "Fertig stellen"", for the message of a text that does not fit.
    static std::string Describe(const Language& language, UINT id) {
        fw::UniqueModule module(::LoadLibraryExW(LibraryPath(language).c_str(), nullptr,
                                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        wchar_t text[1024] = {};
        ::LoadStringW(module.get(), id, text, 1024);
        return std::string("setup") + language.code + " string " + std::to_string(id) + " \"" + Narrow(text) + "\"";
    }

    static const Fit* Measured(const Language& language, UINT id) {
        auto perLanguage = s_fits.find(language.code);
        if (perLanguage == s_fits.end()) return nullptr;
        auto found = perLanguage->second.find(id);
        return found == perLanguage->second.end() ? nullptr : &found->second;
    }

    static std::map<std::string, std::map<UINT, Fit>> s_fits;
    static std::map<std::string, bool> s_runs;
};

std::map<std::string, std::map<UINT, Fit>> WizardTexts::s_fits;
std::map<std::string, bool> WizardTexts::s_runs;

}  // namespace

TEST_F(WizardTexts, EveryButtonCaptionFitsInsideItsFocusMark) {
    for (const Language& language : kLanguages) {
        ASSERT_TRUE(s_runs[language.code]) << "the wizard of setup" << language.code << " was not measured";
        for (UINT id : kCaptions) {
            const Fit* fit = Measured(language, id);
            ASSERT_TRUE(fit) << Describe(language, id) << " was not measured";
            ASSERT_LE(fit->needWidth + 2 * kCaptionMargin, fit->roomWidth) << Describe(language, id);
            ASSERT_LE(fit->needHeight, fit->roomHeight) << Describe(language, id);
        }
    }
}

TEST_F(WizardTexts, EverySentenceAndTheLaunchCaptionFitTheirPlaces) {
    for (const Language& language : kLanguages) {
        ASSERT_TRUE(s_runs[language.code]) << "the wizard of setup" << language.code << " was not measured";
        for (UINT id : kSentences) {
            const Fit* fit = Measured(language, id);
            ASSERT_TRUE(fit) << Describe(language, id) << " was not measured";
            ASSERT_LE(fit->needWidth, fit->roomWidth) << Describe(language, id);
            ASSERT_LE(fit->needHeight, fit->roomHeight) << Describe(language, id);
        }
    }
}
