// Unattended and hostile input: refused names, links, read-only and held files, windows that do
// not answer, the log and the message boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/TextFormat.h"
#include "engine/install/InstallProcedure.h"
#include "engine/log/SetupLog.h"
#include "engine/log/SetupMessages.h"
#include "engine/platform/Win32Platform.h"
#include "engine/removal/Removal.h"
#include "tests/support/EngineWorld.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;
using LineList = std::vector<std::wstring>;

namespace {

const std::wstring kEntry = L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KRT55A";

// The temporary folder of this process points into a scratch folder while the object lives, so
// that the log lands where the test reads it.
class ScopedTempFolder {
public:
    ScopedTempFolder() {
        for (const wchar_t* name : {L"TMP", L"TEMP"}) {
            wchar_t value[MAX_PATH] = {};
            ::GetEnvironmentVariableW(name, value, MAX_PATH);
            m_saved.push_back(value);
            ::SetEnvironmentVariableW(name, m_folder.path().c_str());
        }
    }
    ~ScopedTempFolder() {
        CloseSetupLog();
        ::SetEnvironmentVariableW(L"TMP", m_saved[0].c_str());
        ::SetEnvironmentVariableW(L"TEMP", m_saved[1].c_str());
    }
    std::wstring operator/(const std::wstring& name) const { return m_folder / name; }

private:
    ScratchFolder m_folder{L"temp"};
    std::vector<std::wstring> m_saved;
};

class SafetyTest : public EngineWorld {
protected:
    std::string LogText() {
        CloseSetupLog();
        return ReadTextFile(m_temp / L"KRT55A-setup.log");
    }
    ScopedTempFolder m_temp;
};

}  // namespace

TEST(SetupNames, PlainFileNamesAndFolderNames) {
    for (const wchar_t* name : {L"", L"..\\evil.exe", L"a/b", L"C:x.exe", L"..", L" . ", L"x?.exe", L"a\"b", L"tab\t",
                                L"NUL", L"nul.txt", L"CON .log", L"com1", L"COM9.exe.bak", L"Lpt3", L"aux",
                                L"PRN.", L"COM\u00B9", L"lpt0.dat"})
        EXPECT_FALSE(IsPlainFileName(name)) << Narrow(name);
    for (const wchar_t* name : {L"REReviZuvor.exe", L"Kestrin HW RAID Manager", L"console", L"com10", L"nul_x",
                                L"auxiliary.exe", L"COMA", L".hidden", L"Tool 1.0.", L"\u5DE5\u5177"})
        EXPECT_TRUE(IsPlainFileName(name)) << Narrow(name);
    // A folder name also may not end in a dot or blank: the system would drop it.
    for (const wchar_t* name : {L"KRT55A.", L"KRT55A ", L"com1", L"NUL"}) EXPECT_FALSE(IsUsableFolderName(name));
    EXPECT_TRUE(IsUsableFolderName(L"KRT55A"));
}

TEST_F(SafetyTest, WizardRoadShowsTheBoxInFrontOfEverythingAndLogsIt) {
    ASSERT_TRUE(OpenSetupLog(L"KRT55A"));
    CWin32Platform real;
    ScopedPlatformOverride use(real);
    std::vector<MessageBoxRecord> boxes;
    {
        MessageBoxWatcher watcher;
        ShowFailureMessage(SetupPlatform(), L"Fail to write the Run registry key!");
        boxes = watcher.Boxes();
    }
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Fail", boxes[0].caption);
    EXPECT_EQ(L"Fail to write the Run registry key!", boxes[0].text);
    EXPECT_NE(0u, boxes[0].exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(boxes[0].foreground);
    EXPECT_NE(std::string::npos, LogText().find(" Message shown: [Fail] Fail to write the Run registry key!\r\n"));
}

TEST_F(SafetyTest, LinksInTheImagesFolderGoAsideAsLinksAndNothingBehindThemIsTouched) {
    AddInstalled(false);
    const std::wstring images = std::wstring(kInstallDir) + L"\\Images";
    m_os.AddFile(images + L"\\linked.bmp");
    m_os.AddAttributes(images + L"\\linked.bmp", FILE_ATTRIBUTE_REPARSE_POINT);
    m_os.AddFile(images + L"\\junction\\keep.bmp");
    m_os.AddAttributes(images + L"\\junction", FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_TRUE(RunInstall(kSetupDir, m_config));
    // The file link goes aside as a link (a copy onto it would write through it); the folder link stays.
    EXPECT_EQ(2u, Lines({L"MoveFile " + images + L"\\old.bmp -> ", L"MoveFile " + images + L"\\linked.bmp -> "}).size());
    EXPECT_TRUE(Lines({L"ListFolder " + images + L"\\junction", L"MoveFile " + images + L"\\junction"}).empty());
    EXPECT_TRUE(m_os.Exists(images + L"\\junction\\keep.bmp"));

    // The folder itself a link: it goes aside as a link, and the images arrive in a folder of the install's own.
    m_os.AddFile(images + L"\\old.bmp");
    m_os.AddAttributes(images, FILE_ATTRIBUTE_REPARSE_POINT);
    m_os.ClearCalls();
    EXPECT_TRUE(RunInstall(kSetupDir, m_config));
    EXPECT_TRUE(Lines({L"ListFolder " + images, L"MoveFile " + images + L"\\"}).empty());
    EXPECT_EQ(1u, Lines({L"MoveFile " + images + L" -> "}).size());
    EXPECT_FALSE(m_os.GetAttributes(images.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_TRUE(m_os.Exists(images + L"\\pic.bmp"));
}

TEST_F(SafetyTest, RemovalRemovesLinksAsLinksAndNothingBehindThem) {
    AddInstalled(false);
    const std::wstring program = std::wstring(kInstallDir) + L"\\REReviZuvor.exe";
    const std::wstring images = std::wstring(kInstallDir) + L"\\Images";
    m_os.AddAttributes(program, FILE_ATTRIBUTE_REPARSE_POINT);
    m_os.AddAttributes(images, FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_TRUE(Remove());
    EXPECT_TRUE(Lines({L"DeleteFile " + images + L"\\", L"ListFolder " + images}).empty());
    EXPECT_EQ(1u, Lines({L"DeleteFile " + program}).size());
    EXPECT_FALSE(m_os.Exists(kInstallDir));
}

TEST_F(SafetyTest, ReadOnlyFilesAreMadeWritableBeforeTheirDeleteAndPutBackWhenItFails) {
    AddInstalled(false);
    const std::wstring program = std::wstring(kInstallDir) + L"\\REReviZuvor.exe";
    const std::wstring library = std::wstring(kInstallDir) + L"\\mingwm10.dll";
    m_os.AddAttributes(program, FILE_ATTRIBUTE_READONLY);
    m_os.AddAttributes(library, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    m_os.Refuse(L"DeleteFile " + library, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(Remove());
    EXPECT_EQ((LineList{L"DeleteFile " + library + L" [refused]", L"SetAttributes " + library + L" = 0x2",
                        L"DeleteFile " + library + L" [refused]", L"SetAttributes " + library + L" = 0x3"}),
              Lines({L"SetAttributes " + library, L"DeleteFile " + library}));
    EXPECT_EQ((LineList{L"DeleteFile " + program, L"SetAttributes " + program + L" = 0x80", L"DeleteFile " + program}),
              Lines({L"SetAttributes " + program, L"DeleteFile " + program}));
    EXPECT_FALSE(m_os.Exists(program));
    EXPECT_TRUE(m_os.KeyExists(kEntry)) << "kept while the library stays";
}

TEST(SetupLog, AppendsUtf8LinesToTheFolderNamedFileInTemp) {
    ScopedTempFolder temp;
    const std::wstring name = L"Ger\u00E4t \u5DE5\u5177";
    ASSERT_TRUE(OpenSetupLog(name.c_str()));
    EXPECT_EQ(temp / (name + L"-setup.log"), SetupLogPath());
    LogLine({L"first ", L"run"});
    CloseSetupLog();
    ASSERT_TRUE(OpenSetupLog(name.c_str()));
    LogFailure({L"Could not copy ", L"x"}, ERROR_ACCESS_DENIED);
    LogLine({L"\u5B8C\u6210"});
    CloseSetupLog();
    const std::vector<std::string> lines = ReadLines(temp / (name + L"-setup.log"));
    ASSERT_EQ(3u, lines.size());
    // Milliseconds since the log was opened, right-aligned in six columns, then the text.
    for (const std::string& line : lines) {
        ASSERT_GT(line.size(), 7u);
        EXPECT_EQ(std::string::npos, line.substr(0, 6).find_first_not_of(" 0123456789")) << line;
        EXPECT_EQ(' ', line[6]) << line;
    }
    EXPECT_EQ("first run", lines[0].substr(7));
    EXPECT_EQ(0u, lines[1].find("Could not copy x: error 5 (", 7) - 7) << lines[1];
    EXPECT_EQ("\xE5\xAE\x8C\xE6\x88\x90", lines[2].substr(7));
}

TEST(SetupLog, OutOfMemoryEndsTheRunWith1603AfterTheLogsLastLines) {
    ScopedTempFolder temp;  // inherited by the child
    const ProcessResult r = RunProcess(QuoteArgument(BuildDir() + L"\\tests\\unit\\startup_probe.exe") + L" oom");
    ASSERT_TRUE(r.started);
    EXPECT_EQ(1603u, r.exitCode);
    const std::vector<std::string> lines = ReadLines(temp / L"KRT55A-setup.log");
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("before the allocation", lines[0].substr(7));
    EXPECT_EQ("Out of memory", lines[1].substr(7));
    EXPECT_EQ("Exit code 1603", lines[2].substr(7));
}

TEST(SetupLog, UnusableFolderNamesGetTheFixedNameAndForeignFilesAreRefused) {
    ScopedTempFolder temp;
    for (const wchar_t* name : {L"..\\x", L"NUL", L"", L"a:b"}) {
        ASSERT_TRUE(OpenSetupLog(name)) << Narrow(name);
        EXPECT_EQ(temp / L"KRT21C-setup.log", SetupLogPath());
        CloseSetupLog();
    }
    // A folder or a second name of another file under the log's name is never written to.
    ASSERT_TRUE(::CreateDirectoryW((temp / L"Folder-setup.log").c_str(), nullptr));
    EXPECT_FALSE(OpenSetupLog(L"Folder"));
    WriteTextFile(temp / L"victim.txt", "keep");
    ASSERT_TRUE(::CreateHardLinkW((temp / L"Linked-setup.log").c_str(), (temp / L"victim.txt").c_str(), nullptr));
    EXPECT_FALSE(OpenSetupLog(L"Linked"));
    LogLine({L"dropped"});
    CloseSetupLog();
    EXPECT_EQ("keep", ReadTextFile(temp / L"victim.txt"));
}
