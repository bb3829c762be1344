// The worker thread: begin and end codes posted around the install or the removal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/worker/SetupWorker.h"
#include "tests/support/EngineWorld.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace {

class SetupWorkerTest : public EngineWorld {
protected:
    // Runs one worker to its end and returns the posted progress messages.
    std::vector<std::wstring> RunWorker(const std::wstring& setupDir, int bRemove) {
        fw::UniqueHandle thread = StartSetupWorker(setupDir.c_str(), nullptr, bRemove);
        EXPECT_TRUE(thread);
        if (!thread) return {};
        EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread.get(), 10000));
        DWORD code = 0;
        ::GetExitCodeThread(thread.get(), &code);
        EXPECT_EQ(1u, code);
        return Lines({L"PostMessage"});
    }
    void SetUp() override { AddPayload(m_os, m_scratch.path() + L"\\"); }
    ScratchFolder m_scratch{L"worker"};
};

}  // namespace

TEST_F(SetupWorkerTest, InstallPostsBeginThenSuccessfulEnd) {
    // No setup.ini in the folder: the defaults, whose install folder is the fake's.
    EXPECT_EQ((std::vector<std::wstring>{L"PostMessage 1124 1 0", L"PostMessage 1124 2 1"}),
              RunWorker(m_scratch.path() + L"\\", 0));
    EXPECT_TRUE(m_os.KeyExists(kUninstallKey));
}

TEST_F(SetupWorkerTest, RemovalPostsBeginThenSuccessfulEnd) {
    AddInstalled(false);
    WriteTextFile(m_scratch / L"setup.ini", "[Customized_Setting]\nAPPFolderName=KRT55A\n");
    EXPECT_EQ((std::vector<std::wstring>{L"PostMessage 1124 4 0", L"PostMessage 1124 5 1"}),
              RunWorker(m_scratch.path() + L"\\", 1));
    EXPECT_FALSE(m_os.KeyExists(kUninstallKey));
}

TEST_F(SetupWorkerTest, RemovalWithoutSetupIniTouchesNothingAndEndsWithZero) {
    AddInstalled(false);
    EXPECT_EQ((std::vector<std::wstring>{L"PostMessage 1124 4 0", L"PostMessage 1124 5 0"}),
              RunWorker(m_scratch.path() + L"\\", 1));
    EXPECT_EQ((std::vector<std::wstring>{L"PostMessage 1124 4 0",
                                         L"MessageBox [Fail] There is no setup.ini beside the removal program: "
                                         L"nothing was removed! type=0x51030",
                                         L"PostMessage 1124 5 0"}),
              m_os.Calls());
}

TEST_F(SetupWorkerTest, FailedWorkEndsWithZero) {
    m_os.Refuse(L"CreateKey");
    EXPECT_EQ((std::vector<std::wstring>{L"PostMessage 1124 1 0", L"PostMessage 1124 2 0"}),
              RunWorker(m_scratch.path() + L"\\", 0));

    m_os.ClearCalls();
    WriteTextFile(m_scratch / L"setup.ini", "[Customized_Setting]\nAPPFolderName=..\n");
    EXPECT_EQ((std::vector<std::wstring>{L"PostMessage 1124 4 0", L"PostMessage 1124 5 0"}),
              RunWorker(m_scratch.path() + L"\\", 1));
}

TEST_F(SetupWorkerTest, WorkerReadsTheSetupIniOfItsFolder) {
    WriteTextFile(m_scratch / L"setup.ini", "[Customized_Setting]\nAPPFolderName=Other\n");
    RunWorker(m_scratch.path() + L"\\", 0);
    EXPECT_TRUE(m_os.KeyExists(L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other"));
    EXPECT_TRUE(m_os.IsFolder(L"C:\\Program Files\\Other"));
}

TEST_F(SetupWorkerTest, SecondStartWhileAWorkerRunsIsRefused) {
    // The first worker waits in its message box until the test lets it go.
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    fw::UniqueHandle releaseOwner(release);
    struct BlockingPlatform : FakePlatform {
        HANDLE gate;
        int ShowMessageBox(const wchar_t* text, const wchar_t* caption, UINT type) override {
            ::WaitForSingleObject(gate, 10000);
            return FakePlatform::ShowMessageBox(text, caption, type);
        }
    } blocking;
    blocking.gate = release;
    ScopedPlatformOverride use(blocking);
    WriteTextFile(m_scratch / L"setup.ini", "[Customized_Setting]\nAPPFolderName=\n");
    fw::UniqueHandle first = StartSetupWorker((m_scratch.path() + L"\\").c_str(), nullptr, 0);
    ASSERT_TRUE(first);
    EXPECT_FALSE(StartSetupWorker((m_scratch.path() + L"\\").c_str(), nullptr, 0));
    ::SetEvent(release);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(first.get(), 10000));
    fw::UniqueHandle next = StartSetupWorker((m_scratch.path() + L"\\").c_str(), nullptr, 0);
    EXPECT_TRUE(next);
    if (next) ::WaitForSingleObject(next.get(), 10000);
}
