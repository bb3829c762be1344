// Crash consistency: a silent install of a payload with all the table's images killed once its
// record holds k lines, for k spread over the whole record; after each kill the next install
// completes, and the removal from the media leaves the machine as it was before the first install.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/InstallWorld.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;
using namespace e2e;

namespace {

constexpr size_t kKills = 32;

class CrashSweep : public InstallWorld {
protected:
    void SetUp() override {
        InstallWorld::SetUp();
        AddEveryTableImage(16 * 1024);
    }

    // Kills the install at kKills points spread over [from, to) of its record; after each kill,
    // alternately the install again and the removal from the media. setUp makes the machine ready
    // for the next kill; before is the machine the removal must leave.
    void Sweep(size_t from, size_t to, const std::function<void()>& setUp, const std::vector<std::wstring>& before) {
        std::vector<size_t> killedAt;
        for (size_t i = 0; i < kKills; ++i) {
            setUp();
            const size_t k = from + (to - from) * i / kKills;
            const size_t held = InstallKilledAt(k);
            killedAt.push_back(held);
            SCOPED_TRACE("killed at " + std::to_string(held) + " lines, aiming at " + std::to_string(k));
            if (i % 2 == 0) {
                Install(0);
                EXPECT_TRUE(RecordCompleted());
                Remove(0);
            } else {
                EXPECT_EQ(0u, RunSetup(kPayload + L"\\setup.exe", L"SilentDel").exitCode);
            }
            if (before != MachineSnapshot()) {
                // What the runs after the kill did, for the one who reads the failure.
                for (const std::string& line : SetupLogLines()) std::puts(line.c_str());
                FAIL() << "the machine is not as it was";
            }
        }
        // The kills fell at many places of the record, not all at its end.
        std::sort(killedAt.begin(), killedAt.end());
        std::string at = "Killed at record lines:";
        for (size_t lines : killedAt) at += " " + std::to_string(lines);
        std::puts(at.c_str());
        EXPECT_GE(std::unique(killedAt.begin(), killedAt.end()) - killedAt.begin(), 30);
    }
};

}  // namespace

TEST_F(CrashSweep, FirstInstallKilledAnywhereCompletesNextOrIsRemovedWhole) {
    const std::vector<std::wstring> before = MachineSnapshot();
    Install(0);
    const size_t lines = RecordLines();
    Remove(0);
    ASSERT_EQ(before, MachineSnapshot());
    Sweep(1, lines, [] {}, before);
}

TEST_F(CrashSweep, UpgradeFromAnotherNameKilledAnywhereCompletesNextOrIsRemovedWhole) {
    const std::vector<std::wstring> before = MachineSnapshot();
    ASSERT_TRUE(::CopyFileW((kPayload + L"\\Application\\REReviZuvor.exe").c_str(),
                            (kPayload + L"\\Application\\Manager1.exe").c_str(), FALSE));
    auto installEarlier = [&] {
        SetIni(L"Startup", L"AppName", L"Kestrin RAID Manager 1");
        SetIni(L"Customized_Setting", L"APPFileName", L"Manager1.exe");
        Install(0);
        ResetIni();
    };
    installEarlier();
    const size_t earlier = RecordLines();
    Install(0);
    // The upgrade's run follows the earlier record before the record is made compact again.
    const size_t whole = earlier + RecordLines();
    Remove(0);
    ASSERT_EQ(before, MachineSnapshot());
    Sweep(earlier + 1, whole, installEarlier, before);
}
