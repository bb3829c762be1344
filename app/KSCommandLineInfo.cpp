#include "app/KSCommandLineInfo.h"

#include <cstring>

#include "base/NameCompare.h"
#include "engine/platform/OutsideComponents.h"

CKSCommandLineInfo::CKSCommandLineInfo() : m_bDelPkg(0), m_bSilent(0), m_bSilentDel(0), m_nParams(0) {
    std::memset(m_szParams, 0, sizeof m_szParams);
}

void CKSCommandLineInfo::ParseParam(const wchar_t* pszParam, BOOL bFlag, BOOL) {
    if (EqualsNoCase(pszParam, kRemoveSwitch))
        m_bDelPkg = 1;
    else if (EqualsNoCase(pszParam, kSilentRemoveSwitch))
        m_bSilentDel = 1;
    else if (EqualsNoCase(pszParam, L"s"))
        m_bSilent = 1;

    if (m_nParams >= 0 && m_nParams < kMaxStoredParams) {
        // The stored copy is only a record: an argument too long for its entry is cut to fit.
        wchar_t* entry = m_szParams[m_nParams];
        int used = 0;
        if (bFlag) entry[used++] = L'-';
        for (const wchar_t* p = pszParam; *p && used < kParamUnits - 1; ++p) entry[used++] = *p;
        entry[used] = L'\0';
    }
    ++m_nParams;
}
