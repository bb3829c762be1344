// The interface-language library beside the program: the user's language first, English as the
// fallback, loaded only as resources.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/LanguageLibrary.h"
#include "base/Handles.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace {

std::wstring String1(HMODULE module) {
    wchar_t text[128] = {};
    ::LoadStringW(module, 1, text, 128);
    return text;
}

// The language of the string block that holds ids 1 to 15.
LANGID StringTableLanguage(HMODULE module) {
    LANGID found = 0;
    ::EnumResourceLanguagesW(
        module, RT_STRING, MAKEINTRESOURCEW(1),
        [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) -> BOOL {
            *reinterpret_cast<LANGID*>(param) = language;
            return FALSE;
        },
        reinterpret_cast<LONG_PTR>(&found));
    return found;
}

class LanguageLibraryTest : public ::testing::Test {
protected:
    // A folder holding the given test libraries under their setupXXX.dll names.
    void Place(const wchar_t* testLang, const std::wstring& name) {
        ASSERT_TRUE(::CopyFileW((BuildDir() + L"\\tests\\unit\\test_lang_" + testLang + L".dll").c_str(),
                                (m_scratch / name).c_str(), FALSE));
    }
    std::wstring Lower(std::wstring path) {
        for (auto& c : path) c = static_cast<wchar_t>(towlower(c));
        return path;
    }
    ScratchFolder m_scratch{L"lang"};
};

}  // namespace

TEST_F(LanguageLibraryTest, LoadsTheLibraryOfTheGivenLanguage) {
    Place(L"ENU", L"setupENU.dll");
    Place(L"CHT", L"setupCHT.dll");
    fw::UniqueModule module(LoadLanguageLibraryFor(Lower(m_scratch / L"setup.exe").c_str(), 0x0404));
    ASSERT_TRUE(module);
    EXPECT_EQ(L"test library CHT", String1(module.get()));
}

TEST_F(LanguageLibraryTest, FallsBackToEnglishWhenTheLanguagesLibraryIsMissing) {
    Place(L"ENU", L"setupENU.dll");
    fw::UniqueModule module(LoadLanguageLibraryFor(Lower(m_scratch / L"setup.exe").c_str(), 0x0412));
    ASSERT_TRUE(module);
    EXPECT_EQ(L"test library ENU", String1(module.get()));
}

TEST_F(LanguageLibraryTest, DamagedLibraryOfTheLanguageFallsBackToEnglish) {
    Place(L"ENU", L"setupENU.dll");
    WriteTextFile(m_scratch / L"setupCHT.dll", "MZ cut short");
    fw::UniqueModule module(LoadLanguageLibraryFor(Lower(m_scratch / L"setup.exe").c_str(), 0x0404));
    ASSERT_TRUE(module);
    EXPECT_EQ(L"test library ENU", String1(module.get()));
}

TEST_F(LanguageLibraryTest, FailsWithNeitherLibrary) {
    Place(L"CHT", L"setupCHT.dll");
    EXPECT_EQ(nullptr, LoadLanguageLibraryFor(Lower(m_scratch / L"setup.exe").c_str(), 0x0412));
    EXPECT_EQ(nullptr, LoadLanguageLibrary(Lower(m_scratch / L"other.exe").c_str()));
}

TEST_F(LanguageLibraryTest, BaseNameEndsInFrontOfTheFirstExe) {
    // c:\...\tools.exe.d\setup.exe looks for c:\...\toolsXXX.DLL, beside the folder.
    Place(L"ENU", L"setupENU.dll");
    ASSERT_TRUE(::CreateDirectoryW((m_scratch / L"tools.exe.d").c_str(), nullptr));
    EXPECT_EQ(nullptr, LoadLanguageLibrary(Lower(m_scratch / L"tools.exe.d\\setup.exe").c_str()));
    Place(L"ENU", L"toolsENU.DLL");
    fw::UniqueModule module(LoadLanguageLibrary(Lower(m_scratch / L"tools.exe.d\\setup.exe").c_str()));
    EXPECT_TRUE(module);
}

TEST_F(LanguageLibraryTest, ProgramWithoutExeInItsNameFindsNoLibrary) {
    Place(L"ENU", L"setupENU.dll");
    EXPECT_EQ(nullptr, LoadLanguageLibrary(Lower(m_scratch / L"setup.com").c_str()));
}

TEST_F(LanguageLibraryTest, UpperCaseProgramNameArrivesLowerCasedAndStillFindsTheLibrary) {
    Place(L"ENU", L"setupENU.dll");
    fw::UniqueModule module(LoadLanguageLibrary(Lower(m_scratch / L"SETUP.EXE").c_str()));
    EXPECT_TRUE(module);
}

TEST_F(LanguageLibraryTest, LibraryIsMappedAsDataSoNoCodeOfItRuns) {
    // A real code library planted as the language library is mapped as data, never initialised.
    const std::wstring planted = m_scratch / L"setupENU.dll";
    ASSERT_TRUE(::CopyFileW((PayloadDir() + L"\\Application\\mingwm10.dll").c_str(), planted.c_str(), FALSE));
    fw::UniqueModule module(LoadLanguageLibraryFor(Lower(m_scratch / L"setup.exe").c_str(), 0x0409));
    ASSERT_TRUE(module);
    // A module loaded as data carries a marker in the low bits of its handle.
    EXPECT_NE(0u, reinterpret_cast<ULONG_PTR>(module.get()) & 3u);
}

// Run once per interface language (LC_ALL), against the sample payload's thirteen libraries.
TEST(LanguageOfUser, LoadsTheSamplePayloadsLibraryOfTheUsersLanguage) {
    const char* expected = std::getenv("SETUP_TEST_EXPECT_LANG");
    ASSERT_NE(nullptr, expected) << "run with SETUP_TEST_EXPECT_LANG";
    std::wstring path = PayloadDir() + L"\\setup.exe";
    for (auto& c : path) c = static_cast<wchar_t>(towlower(c));
    fw::UniqueModule module(LoadLanguageLibrary(path.c_str()));
    ASSERT_TRUE(module);
    const std::string lang = expected;
    const LANGID wanted = lang == "CHT" ? 0x0404 : lang == "JPN" ? 0x0411 : lang == "KOR" ? 0x0412 : 0x0409;
    EXPECT_EQ(wanted, StringTableLanguage(module.get())) << "user UI language " << std::hex
                                                         << ::GetUserDefaultUILanguage();
}
