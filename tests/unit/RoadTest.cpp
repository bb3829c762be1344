// The choice of road from the command line, and how the last road starts the application.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/SetupRoads.h"
#include "tests/support/EngineWorld.h"

namespace {

SetupRoad RoadFor(std::vector<std::wstring> args) {
    CKSCommandLineInfo info;
    args.insert(args.begin(), L"setup.exe");
    std::vector<wchar_t*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    WalkCommandLine(info, static_cast<int>(argv.size()), argv.data());
    return ChooseSetupRoad(info);
}

}  // namespace

TEST(Road, FollowsTheRoadTable) {
    struct Row {
        std::vector<std::wstring> args;
        SetupRoad road;
    } rows[] = {
        {{}, SetupRoad::InstallWizard},
        {{L"delpkg"}, SetupRoad::RemovalWizard},
        {{L"/delpkg"}, SetupRoad::RemovalWizard},
        {{L"-DelPkg"}, SetupRoad::RemovalWizard},
        {{L"delpkg", L"s"}, SetupRoad::RemovalWizard},
        {{L"/s", L"-delpkg"}, SetupRoad::RemovalWizard},
        {{L"s"}, SetupRoad::SilentInstall},
        {{L"/s"}, SetupRoad::SilentInstall},
        {{L"-S"}, SetupRoad::SilentInstall},
        {{L"x", L"y", L"z", L"w", L"/s"}, SetupRoad::SilentInstall},
        {{L"/silent"}, SetupRoad::InstallWizard},
        {{L"//s"}, SetupRoad::InstallWizard},
        {{L"install"}, SetupRoad::InstallWizard},
        {{L"-"}, SetupRoad::InstallWizard},
    };
    for (const Row& row : rows) {
        std::wstring joined;
        for (const auto& a : row.args) joined += a + L" ";
        EXPECT_EQ(static_cast<int>(row.road), static_cast<int>(RoadFor(row.args))) << std::string(joined.begin(), joined.end());
    }
}

TEST(Road, SilentDelSelectsTheWindowlessRemovalUnlessDelpkgIsGiven) {
    EXPECT_EQ(SetupRoad::SilentRemoval, RoadFor({L"SilentDel"}));
    EXPECT_EQ(SetupRoad::SilentRemoval, RoadFor({L"/silentdel", L"s"}));
    EXPECT_EQ(SetupRoad::RemovalWizard, RoadFor({L"SilentDel", L"delpkg"}));
    EXPECT_EQ(SetupRoad::RemovalWizard, RoadFor({L"delpkg", L"-SilentDel"}));
}

TEST_F(EngineWorld, TheApplicationStartsThroughTheUsersShellOrDirectlyWhereNoShellAnswers) {
    const std::wstring program = std::wstring(kInstallDir) + L"\\REReviZuvor.exe";
    const std::wstring in = std::wstring(L" [in ") + kInstallDir + L"]";
    EXPECT_TRUE(LaunchInstalledApp(kSetupDir, &m_config));
    EXPECT_EQ(std::vector<std::wstring>{L"ShellExecute " + program + in}, Lines({L"ShellExecute", L"StartProcess"}));

    // No desktop shell (the system account's deployment): setup starts it itself.
    m_os.ClearCalls();
    m_os.Refuse(L"ShellExecute ", ERROR_NOT_FOUND);
    EXPECT_TRUE(LaunchInstalledApp(kSetupDir, &m_config));
    EXPECT_EQ((std::vector<std::wstring>{L"ShellExecute " + program + in + L" [refused]",
                                         L"StartProcess show=5 flags=0x20 \"" + program + L"\"" + in}),
              Lines({L"ShellExecute", L"StartProcess"}));
}
