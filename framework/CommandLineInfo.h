// The command-line object that the application's command-line walk feeds, one argument at a time.
#pragma once

#include <windows.h>

class CCommandLineInfo {
public:
    CCommandLineInfo() = default;
    virtual ~CCommandLineInfo() = default;

    // pszParam: the argument with one leading "-" or "/" removed; bFlag: TRUE when one was removed;
    // bLast: TRUE for the last argument.
    virtual void ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL bLast);

    CCommandLineInfo(const CCommandLineInfo&) = delete;
    CCommandLineInfo& operator=(const CCommandLineInfo&) = delete;
};

// The walk over arguments already split by the run-time library (argv[0] is the program).
void WalkCommandLine(CCommandLineInfo& info, int argc, wchar_t* const* argv);
