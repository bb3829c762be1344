// The wizard measured by itself in a child process (wizard_probe.exe) of one interface language
// at one display scale: the facts it wrote, or why there are none. A probe that does not finish
// is ended, and the reason names the step it stopped at, so a measurement is either there or
// definitely failed, never a default value read as a measure.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace uitest {

struct TextFit {
    LONG needWidth = 0, needHeight = 0, roomWidth = 0, roomHeight = 0;
};

struct WizardFacts {
    std::string failure;  // empty when the probe measured the wizard
    std::map<UINT, TextFit> texts;
    SIZE window = {};
    UINT dpi = 0;  // the scale the wizard took
    int sentenceCapHeight = 0;
    int captionCapHeight = 0;
    std::map<std::string, bool> pictures;  // by name: the picture made for the scale
};

// Each library with the LC_ALL of a user of its language.
struct Language {
    const char* code;
    const char* locale;
};
extern const Language kLanguages[13];

// Measured once per language and scale (the prefix's LogPixels while the probe starts), then kept.
const WizardFacts& MeasureWizard(const Language& language, UINT dpi);

}  // namespace uitest
