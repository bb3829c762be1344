// setup.ini read with the platform's initialisation-file reader, its defaults and the install
// folder derived from it.
#include <gtest/gtest.h>

#include <string>

#include "engine/platform/Environment.h"
#include "engine/platform/SetupConfig.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

// This program's import of GetWindowsDirectoryW, through which the engine calls it.
extern "C" decltype(&::GetWindowsDirectoryW) __imp_GetWindowsDirectoryW;

namespace {

// Points an import of this program at a stand-in while the object lives.
template <typename Function>
class ScopedImport {
public:
    ScopedImport(Function& slot, Function standIn) : m_slot(slot), m_saved(slot) { Write(standIn); }
    ~ScopedImport() { Write(m_saved); }
    ScopedImport(const ScopedImport&) = delete;
    ScopedImport& operator=(const ScopedImport&) = delete;

private:
    void Write(Function value) {
        DWORD protection = 0;
        ::VirtualProtect(&m_slot, sizeof m_slot, PAGE_READWRITE, &protection);
        m_slot = value;
        ::VirtualProtect(&m_slot, sizeof m_slot, protection, &protection);
    }
    Function& m_slot;
    Function m_saved;
};

UINT WINAPI NoWindowsFolder(LPWSTR, UINT) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return 0;
}

class SetupConfigTest : public ::testing::Test {
protected:
    void TearDown() override { g_bWow64 = 0; }

    SetupConfig Read(const std::string* ini) {
        if (ini) WriteTextFile(m_scratch / L"setup.ini", *ini);
        SetupConfig config;
        ReadSetupConfig((m_scratch.path() + L"\\").c_str(), config);
        return config;
    }
    SetupConfig Read(const std::string& ini) { return Read(&ini); }

    ScratchFolder m_scratch{L"config"};
};

}  // namespace

TEST_F(SetupConfigTest, MissingFileGivesEveryDefault) {
    SetupConfig c;
    EXPECT_FALSE(ReadSetupConfig((m_scratch.path() + L"\\").c_str(), c)) << "reported as missing";
    EXPECT_STREQ(L"C:\\Program Files\\KRT55A", c.szInstallDir);
    EXPECT_STREQ(L"KRT55A", c.szAppFolderName);
    EXPECT_STREQ(L"REReviZuvor.exe", c.szAppFileName);
    EXPECT_STREQ(L"Kestrin HW RAID Manager", c.szAppName);
    EXPECT_STREQ(L"Kestrin Technology Corp.", c.szCompanyName);
    EXPECT_STREQ(L"1.00.00", c.szVersion);
    EXPECT_EQ(0, c.bLaunchInSilentMode);
}

TEST_F(SetupConfigTest, On64BitWindowsTheFolderIsUnderProgramFilesX86) {
    g_bWow64 = 1;
    const SetupConfig c = Read("[Customized_Setting]\nAPPFolderName=MyTool\n");
    EXPECT_STREQ(L"C:\\Program Files (x86)\\MyTool", c.szInstallDir);
    EXPECT_STREQ(L"MyTool", c.szAppFolderName);
}

TEST_F(SetupConfigTest, ReadsEveryKeyWithTheReadersRules) {
    const SetupConfig c = Read(
        "[customized_setting]\r\nappfoldername = \"My Tool\" \r\nAPPFILENAME=tool.exe\r\n"
        "[STARTUP]\r\nappname='Quoted'\r\nCompanyName=  Maker  \r\nversion=2.5\r\n");
    EXPECT_STREQ(L"C:\\Program Files\\My Tool", c.szInstallDir);
    EXPECT_STREQ(L"My Tool", c.szAppFolderName);
    EXPECT_STREQ(L"tool.exe", c.szAppFileName);
    EXPECT_STREQ(L"Quoted", c.szAppName);
    EXPECT_STREQ(L"Maker", c.szCompanyName);
    EXPECT_STREQ(L"2.5", c.szVersion);
}

TEST_F(SetupConfigTest, EmptyValuesStayEmptyInsteadOfTakingTheDefault) {
    const SetupConfig c =
        Read("[Customized_Setting]\nAPPFileName=\n[Startup]\nAppName=\nCompanyName=\nVersion=\n");
    EXPECT_STREQ(L"", c.szAppFileName);
    EXPECT_STREQ(L"", c.szAppName);
    EXPECT_STREQ(L"", c.szCompanyName);
    EXPECT_STREQ(L"", c.szVersion);
    EXPECT_STREQ(L"C:\\Program Files\\KRT55A", c.szInstallDir);

    const SetupConfig empty = Read("[Customized_Setting]\nAPPFolderName=\n");
    EXPECT_STREQ(L"", empty.szInstallDir);
    EXPECT_STREQ(L"", empty.szAppFolderName);
}

TEST_F(SetupConfigTest, NonLatinNamesComeFromAUtf16FileWithItsByteOrderMark) {
    const std::wstring text = L"[Customized_Setting]\r\nAPPFolderName=\u5DE5\u5177\r\n[Startup]\r\nAppName=\u78C1\u789F "
                              L"\u7BA1\u7406\r\n";
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    const SetupConfig c = Read(bytes);
    EXPECT_STREQ(L"C:\\Program Files\\\u5DE5\u5177", c.szInstallDir);
    EXPECT_STREQ(L"\u78C1\u789F \u7BA1\u7406", c.szAppName);
}

TEST_F(SetupConfigTest, LongValuesArriveCutTo259Units) {
    const SetupConfig c = Read("[Startup]\nAppName=" + std::string(300, 'a') + "\n");
    EXPECT_EQ(std::wstring(259, L'a'), c.szAppName);
}

TEST_F(SetupConfigTest, LaunchInSilentModeIsOneForAnyNonZeroNumber) {
    EXPECT_EQ(1, Read("[Customized_Setting]\nLaunchAPInSilentMode=2\n").bLaunchInSilentMode);
    EXPECT_EQ(1, Read("[Customized_Setting]\nLaunchAPInSilentMode=1\n").bLaunchInSilentMode);
    EXPECT_EQ(0, Read("[Customized_Setting]\nLaunchAPInSilentMode=0\n").bLaunchInSilentMode);
    EXPECT_EQ(0, Read("[Customized_Setting]\nAPPFileName=x.exe\n").bLaunchInSilentMode);
    EXPECT_EQ(0, Read("[Customized_Setting]\nLaunchAPInSilentMode=yes\n").bLaunchInSilentMode);
}

TEST_F(SetupConfigTest, RefusesFolderNamesThatCouldNameAnotherFolder) {
    for (const char* name : {"..", ".", "...", " . ", "a\\b", "a/b", "C:KRT", "C:\\KRT", "\\\\server\\share",
                             "..\\Windows", "a*b", "a?b", "a|b", "a<b>", "\"\"x\"\"", "NUL", "com1.dir", "\"KRT55A \"",
                             "KRT55A."}) {
        const SetupConfig c = Read(std::string("[Customized_Setting]\nAPPFolderName=") + name + "\n");
        EXPECT_STREQ(L"", c.szInstallDir) << name;
        EXPECT_STREQ(L"", c.szAppFolderName) << name;
        // The other fields are read as usual.
        EXPECT_STREQ(L"REReviZuvor.exe", c.szAppFileName) << name;
    }
}

TEST_F(SetupConfigTest, RefusesTheInstallFolderWhenTheWindowsFolderIsUnknown) {
    // Without the system's drive the folder would be relative to wherever setup runs.
    ScopedImport<decltype(&::GetWindowsDirectoryW)> failing(__imp_GetWindowsDirectoryW, &NoWindowsFolder);
    const SetupConfig c = Read("[Customized_Setting]\nAPPFolderName=MyTool\n");
    EXPECT_STREQ(L"", c.szInstallDir);
    EXPECT_STREQ(L"", c.szAppFolderName);
    EXPECT_STREQ(L"REReviZuvor.exe", c.szAppFileName);
}

TEST_F(SetupConfigTest, RefusesAnInstallFolderThatWouldNotFit) {
    // "C:\Program Files\" is 17 units: 242 more fill the field exactly, 243 do not fit.
    const SetupConfig fits = Read("[Customized_Setting]\nAPPFolderName=" + std::string(242, 'f') + "\n");
    EXPECT_EQ(259u, std::wcslen(fits.szInstallDir));
    const SetupConfig tooLong = Read("[Customized_Setting]\nAPPFolderName=" + std::string(243, 'f') + "\n");
    EXPECT_STREQ(L"", tooLong.szInstallDir);
    EXPECT_STREQ(L"", tooLong.szAppFolderName);
}

TEST(IsUsableFolderName, AcceptsOrdinaryNames) {
    for (const wchar_t* name : {L"KRT55A", L"My Tool", L"Tool 1.0", L".hidden", L"a..b", L"x.y"})
        EXPECT_TRUE(IsUsableFolderName(name)) << name;
    EXPECT_FALSE(IsUsableFolderName(L""));
}
