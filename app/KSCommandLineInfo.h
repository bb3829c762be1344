// Which of the program's words were on its command line: "delpkg", "s" and "SilentDel".
#pragma once

#include <windows.h>

#include "framework/CommandLineInfo.h"

class CKSCommandLineInfo : public CCommandLineInfo {
public:
    static constexpr int kMaxStoredParams = 4;
    static constexpr int kParamUnits = MAX_PATH;

    CKSCommandLineInfo();
    ~CKSCommandLineInfo() override = default;

    void ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL bLast) override;

    BOOL m_bDelPkg;
    BOOL m_bSilent;
    BOOL m_bSilentDel;
    // The first four arguments as given ("-" in front of a prefixed one), each cut to fit its entry.
    wchar_t m_szParams[kMaxStoredParams][kParamUnits];
    // Every argument seen, also those past the fourth.
    int m_nParams;
};
