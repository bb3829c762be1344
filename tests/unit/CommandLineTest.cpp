// The program's words on its command line: recognised whole, in any case, with one optional
// prefix; the stored copies stay inside their four entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/KSCommandLineInfo.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace {

// Walks the arguments as the framework does after the run-time library's split.
void Walk(CKSCommandLineInfo& info, std::vector<std::wstring> args) {
    args.insert(args.begin(), L"setup.exe");
    std::vector<wchar_t*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    WalkCommandLine(info, static_cast<int>(argv.size()), argv.data());
}

struct Flags {
    int delpkg, s, silentdel;
};

Flags FlagsOf(std::vector<std::wstring> args) {
    CKSCommandLineInfo info;
    Walk(info, std::move(args));
    return {info.m_bDelPkg, info.m_bSilent, info.m_bSilentDel};
}

}  // namespace

TEST(CommandLine, RecognisesWordsWithEitherPrefixInAnyCase) {
    for (const wchar_t* word : {L"delpkg", L"/delpkg", L"-delpkg", L"/DELPKG", L"-DelPkg"}) {
        const Flags f = FlagsOf({word});
        EXPECT_EQ(1, f.delpkg) << word;
        EXPECT_EQ(0, f.s) << word;
    }
    for (const wchar_t* word : {L"s", L"/s", L"-s", L"/S", L"S"}) {
        const Flags f = FlagsOf({word});
        EXPECT_EQ(1, f.s) << word;
        EXPECT_EQ(0, f.delpkg) << word;
    }
    for (const wchar_t* word : {L"SilentDel", L"/silentdel", L"-SILENTDEL"}) {
        const Flags f = FlagsOf({word});
        EXPECT_EQ(1, f.silentdel) << word;
        EXPECT_EQ(0, f.s + f.delpkg) << word;
    }
}

TEST(CommandLine, ComparesWholeWordsAndRemovesOnlyOnePrefix) {
    for (const wchar_t* word : {L"//s", L"/silent", L"/sx", L"/delpkg2", L"--delpkg", L"-", L"/", L"s ", L"\u017f"}) {
        const Flags f = FlagsOf({word});
        EXPECT_EQ(0, f.delpkg + f.s + f.silentdel) << word;
    }
}

TEST(CommandLine, StoresPrefixedArgumentsWithOneDash) {
    CKSCommandLineInfo info;
    Walk(info, {L"/delpkg", L"delpkg", L"//s", L"-"});
    EXPECT_EQ(4, info.m_nParams);
    EXPECT_STREQ(L"-delpkg", info.m_szParams[0]);
    EXPECT_STREQ(L"delpkg", info.m_szParams[1]);
    EXPECT_STREQ(L"-/s", info.m_szParams[2]);
    EXPECT_STREQ(L"-", info.m_szParams[3]);
}

TEST(CommandLine, CountsEveryArgumentButStoresOnlyFour) {
    CKSCommandLineInfo info;
    const wchar_t guard = info.m_szParams[3][CKSCommandLineInfo::kParamUnits - 1];
    Walk(info, {L"a", L"b", L"c", L"d", L"e", L"/s", L"delpkg"});
    EXPECT_EQ(7, info.m_nParams);
    EXPECT_STREQ(L"d", info.m_szParams[3]);
    EXPECT_EQ(guard, info.m_szParams[3][CKSCommandLineInfo::kParamUnits - 1]);
    // Words past the fourth are still recognised.
    EXPECT_EQ(1, info.m_bSilent);
    EXPECT_EQ(1, info.m_bDelPkg);
}

TEST(CommandLine, CutsAnArgumentTooLongForItsEntry) {
    CKSCommandLineInfo info;
    const std::wstring longArg(300, L'x');
    Walk(info, {L"/" + longArg, longArg});
    ASSERT_EQ(2, info.m_nParams);
    EXPECT_EQ(std::wstring(L"-") + std::wstring(258, L'x'), info.m_szParams[0]);
    EXPECT_EQ(std::wstring(259, L'x'), info.m_szParams[1]);
    // The next entry was not written into.
    EXPECT_STREQ(L"", info.m_szParams[2]);
}

TEST(CommandLine, NoArgumentsLeaveEverythingZero) {
    CKSCommandLineInfo info;
    Walk(info, {});
    EXPECT_EQ(0, info.m_nParams);
    EXPECT_EQ(0, info.m_bDelPkg + info.m_bSilent + info.m_bSilentDel);
}

// The run-time library's split of a raw command line, seen by a fresh process.
TEST(CommandLine, RunTimeLibrarySplitsQuotedArguments) {
    ScratchFolder scratch(L"cmdline");
    const std::wstring out = scratch / L"out.txt";
    ::SetEnvironmentVariableW(L"STARTUP_PROBE_OUT", out.c_str());
    const std::wstring probe = BuildDir() + L"\\tests\\unit\\startup_probe.exe";

    struct Case {
        std::wstring args;
        std::string expected;
    } cases[] = {
        {L"\"/s\"", "n=1 delpkg=0 s=1 silentdel=0\n[-s]\n"},
        {L"\"del\"pkg", "n=1 delpkg=1 s=0 silentdel=0\n[delpkg]\n"},
        {L"\"s delpkg\"", "n=1 delpkg=0 s=0 silentdel=0\n[s delpkg]\n"},
        {L"  s   -DELPKG  ", "n=2 delpkg=1 s=1 silentdel=0\n[s]\n[-DELPKG]\n"},
        {L"a\\\\\"b c\" d", "n=2 delpkg=0 s=0 silentdel=0\n[a\\b c]\n[d]\n"},
    };
    for (const Case& c : cases) {
        ::DeleteFileW(out.c_str());
        const ProcessResult r = RunProcess(QuoteArgument(probe) + L" " + c.args);
        ASSERT_TRUE(r.started);
        EXPECT_EQ(0u, r.exitCode);
        EXPECT_EQ(c.expected, ReadTextFile(out)) << Narrow(c.args);
    }
    ::SetEnvironmentVariableW(L"STARTUP_PROBE_OUT", nullptr);
}
