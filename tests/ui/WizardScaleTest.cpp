// The wizard at the display scales that users have, under the prefix's system scale (LogPixels):
// the window is the design's size times the scale, its texts grow with it, and every picture is
// the one made for that scale, not the 100 % one stretched.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "tests/ui/WizardProbeRun.h"

using namespace uitest;

namespace {

class WizardScale : public ::testing::TestWithParam<UINT> {
protected:
    const WizardFacts& English() { return MeasureWizard(kLanguages[0], GetParam()); }
};

}  // namespace

TEST_P(WizardScale, WindowIsTheDesignsSizeTimesTheScale) {
    const WizardFacts& facts = English();
    ASSERT_EQ("", facts.failure);
    ASSERT_EQ(GetParam(), facts.dpi) << "the scale the wizard took";
    const double scale = GetParam() / 96.0;
    EXPECT_LE(std::abs(facts.window.cx - 584 * scale), 1.0) << facts.window.cx;
    EXPECT_LE(std::abs(facts.window.cy - 414 * scale), 1.0) << facts.window.cy;
}

TEST_P(WizardScale, TextsCapHeightGrowsWithTheScale) {
    const WizardFacts& facts = English();
    const WizardFacts& design = MeasureWizard(kLanguages[0], 96);
    ASSERT_EQ("", facts.failure);
    ASSERT_EQ("", design.failure);
    ASSERT_GT(design.sentenceCapHeight, 0);
    ASSERT_GT(design.captionCapHeight, 0);
    // As tall as the scale makes it, give or take the rounding of the font's pixel height.
    const double scale = GetParam() / 96.0;
    EXPECT_NEAR(design.sentenceCapHeight * scale, facts.sentenceCapHeight, 1.0 + scale) << "the sentences";
    EXPECT_NEAR(design.captionCapHeight * scale, facts.captionCapHeight, 1.0 + scale) << "the buttons' captions";
    if (GetParam() > 96) {
        EXPECT_GT(facts.sentenceCapHeight, design.sentenceCapHeight);
        EXPECT_GT(facts.captionCapHeight, design.captionCapHeight);
    }
}

TEST_P(WizardScale, EveryPictureIsTheOneMadeForTheScale) {
    const WizardFacts& facts = English();
    ASSERT_EQ("", facts.failure);
    for (const char* name : {"background", "button", "close", "minimize", "check"}) {
        ASSERT_EQ(1u, facts.pictures.count(name)) << name << " was not compared";
        EXPECT_TRUE(facts.pictures.at(name)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, WizardScale, ::testing::Values(96u, 120u, 144u, 192u),
                         [](const ::testing::TestParamInfo<UINT>& info) {
                             return "Dpi" + std::to_string(info.param);
                         });
