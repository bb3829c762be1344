#include "framework/CommandLineInfo.h"

void CCommandLineInfo::ParseParam(const wchar_t*, BOOL, BOOL) {}

void WalkCommandLine(CCommandLineInfo& info, int argc, wchar_t* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const wchar_t* param = argv[i];
        BOOL bFlag = FALSE;
        // Only one prefix character is removed: "//s" arrives as "/s".
        if (param[0] == L'-' || param[0] == L'/') {
            ++param;
            bFlag = TRUE;
        }
        info.ParseParam(param, bFlag, i + 1 == argc);
    }
}
