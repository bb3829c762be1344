// The thirteen interface-language libraries of the payload, loaded the way the program loads
// them: each must give the wizard all twenty-two texts, in its own language and nothing else.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/resources/ResourceReader.h"
#include "tests/support/TestSupport.h"

using namespace restest;

namespace {

struct Library {
    const char* code;
    LANGID language;
};

const Library kLibraries[] = {
    {"ENU", 0x0409}, {"CHT", 0x0404}, {"CHS", 0x0804}, {"JPN", 0x0411}, {"KOR", 0x0412},
    {"FRA", 0x040C}, {"DEU", 0x0407}, {"ITA", 0x0410}, {"RUS", 0x0419}, {"ESN", 0x0C0A},
    {"SVE", 0x041D}, {"NLD", 0x0413}, {"PTB", 0x0416},
};

// Ids that carry words; the rest are notes the wizard leaves empty.
const UINT kWorded[] = {
    IDS_INSTALL, IDS_CANCEL, IDS_FINISH,
    IDS_INSTALL_PROMPT, IDS_INSTALL_RUNNING_PROMPT, IDS_FINISH_PROMPT, IDS_INSTALL_INCOMPLETE_NOTE,
    IDS_REMOVE, IDS_REMOVE_PROMPT, IDS_REMOVE_RUNNING_PROMPT, IDS_REMOVE_INCOMPLETE_NOTE,
    IDS_LAUNCH_APP, IDS_WIZARD_TITLE, IDS_MINIMIZE, IDS_CLOSE,
};
const UINT kBlank[] = {
    IDS_INSTALL_READY_NOTE, IDS_INSTALL_DONE_NOTE, IDS_REMOVE_READY_NOTE, IDS_REMOVE_DONE_NOTE,
    IDS_INSTALL_RUNNING_NOTE, IDS_REMOVE_RUNNING_NOTE, IDS_UNUSED_19,
};

constexpr LANGID kChineseTaiwan = 0x0404;
constexpr UINT kLastText = IDS_CLOSE;

std::wstring LibraryPath(const char* code) {
    return testsupport::PayloadDir() + L"\\setup" + testsupport::Widen(code) + L".dll";
}

std::vector<std::wstring> Texts(HMODULE module, LANGID language) {
    std::vector<std::wstring> texts(kLastText + 1);
    for (UINT id = 1; id <= kLastText; ++id) texts[id] = StringInLanguage(module, id, language);
    return texts;
}

bool IsBlank(const std::wstring& text) { return text.find_first_not_of(L' ') == std::wstring::npos; }

class LanguageLibraries : public ::testing::Test {
protected:
    void SetUp() override {
        for (const Library& library : kLibraries) {
            fw::UniqueModule module = LoadAsData(LibraryPath(library.code));
            ASSERT_TRUE(module) << "setup" << library.code << ".dll error " << ::GetLastError();
            m_texts.push_back(Texts(module.get(), library.language));
            m_modules.push_back(std::move(module));
        }
    }
    const std::vector<std::wstring>& English() const { return m_texts[0]; }

    std::vector<fw::UniqueModule> m_modules;  // in the order of kLibraries
    std::vector<std::vector<std::wstring>> m_texts;
};

TEST_F(LanguageLibraries, EachHoldsItsStringTableInItsOwnLanguageOnly) {
    for (size_t i = 0; i < std::size(kLibraries); ++i) {
        SCOPED_TRACE(std::string("setup") + kLibraries[i].code);
        const std::vector<LANGID> own{kLibraries[i].language};
        // A second language would let the platform pick texts by the user's locale instead.
        EXPECT_EQ(ResourceLanguages(m_modules[i].get(), RT_STRING, MAKEINTRESOURCEW(1)), own) << "ids 1 to 15";
        EXPECT_EQ(ResourceLanguages(m_modules[i].get(), RT_STRING, MAKEINTRESOURCEW(2)), own) << "ids 16 to 22";
        for (UINT id = 1; id <= kLastText; ++id) EXPECT_FALSE(m_texts[i][id].empty()) << "string " << id << " missing";
    }
}

TEST_F(LanguageLibraries, WordedTextsAreTranslatedAndNotesAreOneSpace) {
    for (size_t i = 0; i < std::size(kLibraries); ++i) {
        SCOPED_TRACE(std::string("setup") + kLibraries[i].code);
        for (UINT id : kWorded) {
            EXPECT_FALSE(IsBlank(m_texts[i][id])) << "string " << id;
            if (i != 0) {
                EXPECT_NE(m_texts[i][id], English()[id]) << "string " << id << " left in English";
            }
        }
        for (UINT id : kBlank) EXPECT_EQ(m_texts[i][id], L" ") << "string " << id;
        // The application's name goes where the title's one "%s" stands.
        const std::wstring& title = m_texts[i][IDS_WIZARD_TITLE];
        const size_t at = title.find(L"%s");
        EXPECT_TRUE(at != std::wstring::npos && title.find(L'%', at + 1) == std::wstring::npos) << "the title";
    }
}

TEST_F(LanguageLibraries, EnglishCarriesTheWizardsWording) {
    EXPECT_EQ(English()[IDS_INSTALL_PROMPT],
              L"Click Install to start the installation. Click Cancel to leave the wizard.");
    EXPECT_EQ(English()[IDS_INSTALL_RUNNING_PROMPT], L"Starting to copy files");
    EXPECT_EQ(English()[IDS_FINISH_PROMPT], L"Click Finish to leave the wizard.");
    EXPECT_EQ(English()[IDS_REMOVE_RUNNING_PROMPT], L"Deleting files...");
    EXPECT_EQ(English()[IDS_LAUNCH_APP], L"Launch the application now");
    EXPECT_EQ(English()[IDS_WIZARD_TITLE], L"%s Setup");
    // The words of the window's own buttons, as the system's caption buttons say them.
    EXPECT_EQ(English()[IDS_MINIMIZE], L"Minimize");
    EXPECT_EQ(English()[IDS_CLOSE], L"Close");
}

TEST_F(LanguageLibraries, TraditionalChineseRepeatsTheProgramsOwnTexts) {
    fw::UniqueModule program = LoadAsData(testsupport::PayloadDir() + L"\\setup.exe");
    ASSERT_TRUE(program);
    const std::vector<std::wstring> own = Texts(program.get(), kChineseTaiwan);
    const std::vector<std::wstring>& library = m_texts[1];
    for (UINT id = 1; id <= kLastText; ++id) {
        // The program's own table leaves the two incomplete-run notes blank; the library words them.
        if (id == IDS_INSTALL_INCOMPLETE_NOTE || id == IDS_REMOVE_INCOMPLETE_NOTE) continue;
        EXPECT_EQ(library[id], own[id]) << "string " << id;
    }
}

TEST_F(LanguageLibraries, LoadStringGivesTheLibrarysTexts) {
    // The wizard loads its texts with LoadString, which picks the block's language itself.
    for (size_t i = 0; i < std::size(kLibraries); ++i) {
        SCOPED_TRACE(std::string("setup") + kLibraries[i].code);
        for (UINT id = 1; id <= kLastText; ++id) {
            wchar_t buffer[1024] = {};
            const int length = ::LoadStringW(m_modules[i].get(), id, buffer, 1024);
            EXPECT_EQ(std::wstring(buffer, length > 0 ? length : 0), m_texts[i][id]) << "string " << id;
        }
    }
}

}  // namespace
