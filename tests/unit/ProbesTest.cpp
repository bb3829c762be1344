// Probes of the running system and the path helper.
#include <gtest/gtest.h>

#include "app/EnvironmentProbes.h"
#include "app/LibrarySearch.h"
#include "base/Handles.h"
#include "engine/platform/Environment.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace {
const wchar_t kPersisted[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";
}

TEST(Probes, GetFolderOfPathKeepsTheLastBackslash) {
    struct {
        const wchar_t* path;
        const wchar_t* folder;
    } cases[] = {
        {L"C:\\Payload\\Setup.exe", L"C:\\Payload\\"},
        {L"C:\\PAYLOAD\\SETUP.EXE", L"C:\\PAYLOAD\\"},
        {L"C:\\Windows", L"C:\\"},
        {L"Setup.exe", L""},
        {L"C:\\a\\b\\", L"C:\\a\\b\\"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        wchar_t folder[MAX_PATH];
        GetFolderOfPath(c.path, folder);
        EXPECT_STREQ(c.folder, folder);
    }
}

// Each version is read by a fresh process, as setup.exe reads it at start-up.
TEST(Probes, VistaWorkstationIsTheOnlyServiceModeVersion) {
    const std::wstring probe = QuoteArgument(BuildDir() + L"\\tests\\unit\\startup_probe.exe");
    struct {
        WindowsVersion version;
        DWORD expected;
    } cases[] = {
        {WindowsVersion::VistaWorkstation, 1}, {WindowsVersion::Server2008, 0}, {WindowsVersion::Windows7, 0},
        {WindowsVersion::Server2008R2, 0},     {WindowsVersion::XP, 0},
    };
    for (const auto& c : cases) {
        SetWindowsVersion(c.version);
        const ProcessResult r = RunProcess(probe + L" vista");
        ASSERT_TRUE(r.started);
        EXPECT_EQ(c.expected, r.exitCode) << WindowsVersionName(c.version);
    }
    SetWindowsVersion(WindowsVersion::Windows7);
}

TEST(Probes, A64BitProcessIsNotWow64) {
    const ProcessResult r = RunProcess(QuoteArgument(BuildDir() + L"\\tests\\unit\\startup_probe.exe") + L" wow64");
    ASSERT_TRUE(r.started);
    EXPECT_EQ(0u, r.exitCode);
}

TEST(Probes, CompatAssistantMarkIsOneDwordUnderTheCurrentUser) {
    const std::wstring path = L"c:\\tests\\probe\\setup.exe";
    DeleteRegValue(HKEY_CURRENT_USER, kPersisted, path);
    MarkCompatAssistantPersisted(path.c_str());
    MarkCompatAssistantPersisted(path.c_str());
    EXPECT_EQ(1u, ReadRegDword(HKEY_CURRENT_USER, kPersisted, path).value_or(0));
    int count = 0;
    for (const auto& name : RegValueNames(HKEY_CURRENT_USER, kPersisted)) count += name == path;
    EXPECT_EQ(1, count);
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kPersisted) &&
                 ReadRegDword(HKEY_LOCAL_MACHINE, kPersisted, path).has_value());
    DeleteRegValue(HKEY_CURRENT_USER, kPersisted, path);
}

TEST(Startup, LibraryPlantedBesideTheProgramIsNotFoundAfterTheRestriction) {
    // test_lang_ENU.dll lies beside this test program as a planted library would beside setup.exe.
    {
        fw::UniqueModule before(::LoadLibraryW(L"test_lang_ENU.dll"));
        ASSERT_TRUE(before) << "the library beside the program is found before";
    }
    RestrictLibrarySearchToSystem();
    fw::UniqueModule after(::LoadLibraryW(L"test_lang_ENU.dll"));
    EXPECT_FALSE(after);
    fw::UniqueModule system(::LoadLibraryW(L"version.dll"));
    EXPECT_TRUE(system) << "system libraries are still found";
}
