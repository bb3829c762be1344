// Every text of the thirteen language libraries fits where the wizard shows it, at each display
// scale, measured by the wizard itself in a process of each library's own language, whose fonts
// differ (the button font follows the language): the buttons' captions inside their focus marks
// with a margin, the sentences in their lines, the launch caption on one line.
#include <gtest/gtest.h>

#include <windows.h>

#include "res/resource.h"
#include "tests/ui/WizardProbeRun.h"

using namespace uitest;

namespace {

const UINT kCaptions[] = {IDS_INSTALL, IDS_REMOVE, IDS_FINISH, IDS_CANCEL};
const UINT kSentences[] = {IDS_INSTALL_PROMPT,        IDS_REMOVE_PROMPT,           IDS_INSTALL_RUNNING_PROMPT,
                           IDS_REMOVE_RUNNING_PROMPT, IDS_FINISH_PROMPT,           IDS_INSTALL_INCOMPLETE_NOTE,
                           IDS_REMOVE_INCOMPLETE_NOTE, IDS_LAUNCH_APP};

// The scales of the displays that users have: 100, 125, 150 and 200 %.
class WizardTexts : public ::testing::TestWithParam<UINT> {};

std::string Where(const Language& language, UINT id) {
    return std::string("setup") + language.code + " string " + std::to_string(id);
}

}  // namespace

TEST_P(WizardTexts, EveryButtonCaptionFitsInsideItsFocusMark) {
    const LONG margin = ::MulDiv(3, static_cast<int>(GetParam()), 96);  // free pixels on each side of the caption
    for (const Language& language : kLanguages) {
        const WizardFacts& facts = MeasureWizard(language, GetParam());
        ASSERT_EQ("", facts.failure) << "setup" << language.code << " measured nothing";
        for (UINT id : kCaptions) {
            ASSERT_EQ(1u, facts.texts.count(id)) << Where(language, id) << " was not measured";
            const TextFit& fit = facts.texts.at(id);
            ASSERT_LE(fit.needWidth + 2 * margin, fit.roomWidth) << Where(language, id);
            ASSERT_LE(fit.needHeight, fit.roomHeight) << Where(language, id);
        }
    }
}

TEST_P(WizardTexts, EverySentenceAndTheLaunchCaptionFitTheirPlaces) {
    for (const Language& language : kLanguages) {
        const WizardFacts& facts = MeasureWizard(language, GetParam());
        ASSERT_EQ("", facts.failure) << "setup" << language.code << " measured nothing";
        for (UINT id : kSentences) {
            ASSERT_EQ(1u, facts.texts.count(id)) << Where(language, id) << " was not measured";
            const TextFit& fit = facts.texts.at(id);
            ASSERT_LE(fit.needWidth, fit.roomWidth) << Where(language, id);
            ASSERT_LE(fit.needHeight, fit.roomHeight) << Where(language, id);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, WizardTexts, ::testing::Values(96u, 120u, 144u, 192u),
                         [](const ::testing::TestParamInfo<UINT>& info) {
                             return "Dpi" + std::to_string(info.param);
                         });
