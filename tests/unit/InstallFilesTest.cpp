// What the install copies, by system version and service mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/install/InstallProcedure.h"
#include "engine/platform/FileTables.h"
#include "tests/support/EngineWorld.h"

namespace {

std::vector<std::wstring> InstalledLibraries(const FakePlatform& os) {
    std::vector<std::wstring> found;
    for (const wchar_t* name : {L"libeay32.dll", L"ssleay32.dll", L"zlib1.dll"}) {
        if (os.Exists(std::wstring(L"C:\\Program Files\\KRT55A\\") + name)) found.push_back(name);
    }
    return found;
}

}  // namespace

TEST_F(EngineWorld, LibraryVariantFollowsTheSystemVersion) {
    struct Case {
        DWORD major, minor;
        BYTE type;
        bool vista;
    } cases[] = {
        {6, 0, VER_NT_WORKSTATION, true},  {6, 0, VER_NT_SERVER, true},       {6, 0, VER_NT_DOMAIN_CONTROLLER, true},
        {6, 1, VER_NT_SERVER, true},       {6, 1, VER_NT_WORKSTATION, false}, {5, 1, VER_NT_WORKSTATION, false},
        {6, 2, VER_NT_SERVER, false},      {10, 0, VER_NT_WORKSTATION, false},
    };
    for (const Case& c : cases) {
        FakePlatform os;
        ScopedPlatformOverride use(os);
        AddPayload(os);
        os.SetVersion(c.major, c.minor, c.type);
        EXPECT_TRUE(RunInstall(kSetupDir, m_config));
        const std::vector<std::wstring> expected =
            c.vista ? std::vector<std::wstring>{L"libeay32.dll", L"ssleay32.dll", L"zlib1.dll"}
                    : std::vector<std::wstring>{L"libeay32.dll", L"ssleay32.dll"};
        EXPECT_EQ(expected, InstalledLibraries(os)) << c.major << "." << c.minor << " type " << int(c.type);
        const auto copies = os.CallsStartingWith({L"CopyFile C:\\payload\\Application\\vista"});
        EXPECT_EQ(c.vista ? 3u : 0u, copies.size());
    }
}

TEST_F(EngineWorld, FailedVersionQueryTakesThePlainVariant) {
    m_os.FailVersionQuery();
    RunInstall(kSetupDir, m_config);
    EXPECT_EQ((std::vector<std::wstring>{L"libeay32.dll", L"ssleay32.dll"}), InstalledLibraries(m_os));
}

TEST_F(EngineWorld, EveryLanguageLibraryOfThePayloadReachesTheUninstallFolder) {
    RunInstall(kSetupDir, m_config);
    EXPECT_EQ((std::vector<std::wstring>{L"install-record.txt", L"setup.exe", L"setup.ini", L"setupCHS.dll",
                                         L"setupCHT.dll", L"setupENU.dll", L"setupJPN.dll", L"setupKOR.dll"}),
              m_os.Children(std::wstring(kInstallDir) + L"\\Uninstall"));
}

TEST_F(EngineWorld, ServiceProgramIsCopiedInServiceModeOnly) {
    RunInstall(kSetupDir, m_config);
    EXPECT_FALSE(m_os.Exists(std::wstring(kInstallDir) + L"\\XSrvSetup.exe"));
    g_bVista = 1;
    RunInstall(kSetupDir, m_config);
    EXPECT_TRUE(m_os.Exists(std::wstring(kInstallDir) + L"\\XSrvSetup.exe"));
}

TEST_F(EngineWorld, ReinstallEmptiesTheImagesFolderButNotItsSubfolders) {
    AddInstalled(false);
    m_os.AddFile(std::wstring(kInstallDir) + L"\\Images\\keep\\inner.bmp");
    EXPECT_TRUE(RunInstall(kSetupDir, m_config));
    EXPECT_EQ((std::vector<std::wstring>{L"keep", L"pic.bmp"}), m_os.Children(std::wstring(kInstallDir) + L"\\Images"));
    EXPECT_TRUE(m_os.Exists(std::wstring(kInstallDir) + L"\\Images\\keep\\inner.bmp"));
    // No folder of the installation is made again, only those for what is replaced meanwhile.
    const std::wstring backup = std::wstring(kInstallDir) + L"\\Uninstall\\Backup";
    EXPECT_EQ((std::vector<std::wstring>{L"CreateFolder " + backup, L"CreateFolder " + backup + L"\\1"}),
              Lines({L"CreateFolder C:\\Program Files"}));
}

TEST(FileTables, HoldTheTablesNamesInOrder) {
    EXPECT_STREQ(L"setupENU.dll", g_szLangLibFiles[0]);
    EXPECT_STREQ(L"setupJPN.dll", g_szLangLibFiles[3]);
    EXPECT_STREQ(L"setupPTB.dll", g_szLangLibFiles[12]);
    EXPECT_STREQ(L"center.gif", g_szAppImageFiles[0]);
    EXPECT_STREQ(L"TabButton_mask.bmp", g_szAppImageFiles[23]);
    EXPECT_STREQ(L"about_click.bmp", g_szAppImageFiles[118]);
    int gif = 0, ico = 0, png = 0, bmp = 0;
    for (const auto& name : g_szAppImageFiles) {
        const std::wstring n = name;
        const std::wstring ext = n.substr(n.rfind(L'.') + 1);
        gif += ext == L"gif";
        ico += ext == L"ico";
        png += ext == L"png";
        bmp += ext == L"bmp";
        EXPECT_EQ(L'\0', name[kFileTableEntryUnits - 1]);
    }
    EXPECT_EQ(3, gif);
    EXPECT_EQ(1, ico);
    EXPECT_EQ(19, png);
    EXPECT_EQ(96, bmp);
}
