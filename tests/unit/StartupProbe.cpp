// A child process for the unit tests: answers what only a freshly started process can tell.
//   startup_probe.exe vista    exit code: IsVistaWorkstation()
//   startup_probe.exe wow64    exit code: IsRunningOnWow64()
//   startup_probe.exe oom      with setup.exe's application object and allocator: opens the log
//                              (%TEMP%\KRT55A-setup.log), writes a line and asks for more memory than
//                              there is
//   anything else              walks its own command line as setup.exe does and writes the
//                              result to the file named by STARTUP_PROBE_OUT
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

#include "app/EnvironmentProbes.h"
#include "app/KSCommandLineInfo.h"
#include "app/LangSetupApp.h"
#include "engine/log/SetupLog.h"
#include "framework/CommandLineInfo.h"

namespace {

int RunOutOfMemory() {
    CLangSetupApp app;
    OpenSetupLog(L"KRT55A");
    LogLine({L"before the allocation"});
    volatile std::size_t tooMuch = static_cast<std::size_t>(1) << 62;
    void* block = ::operator new(tooMuch);
    return block ? 2 : 3;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wcscmp(argv[1], L"vista") == 0) return IsVistaWorkstation();
    if (argc == 2 && std::wcscmp(argv[1], L"wow64") == 0) return IsRunningOnWow64();
    if (argc == 2 && std::wcscmp(argv[1], L"oom") == 0) return RunOutOfMemory();

    CKSCommandLineInfo info;
    WalkCommandLine(info, __argc, __wargv);
    const wchar_t* out = _wgetenv(L"STARTUP_PROBE_OUT");
    if (!out) return 2;
    std::wstring text = L"n=" + std::to_wstring(info.m_nParams) + L" delpkg=" + std::to_wstring(info.m_bDelPkg) +
                        L" s=" + std::to_wstring(info.m_bSilent) + L" silentdel=" + std::to_wstring(info.m_bSilentDel) +
                        L"\n";
    for (int i = 0; i < info.m_nParams && i < CKSCommandLineInfo::kMaxStoredParams; ++i)
        text += L"[" + std::wstring(info.m_szParams[i]) + L"]\n";
    char bytes[4096];
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes,
                                           sizeof bytes, nullptr, nullptr);
    FILE* file = _wfopen(out, L"wb");
    if (!file) return 3;
    fwrite(bytes, 1, static_cast<size_t>(size), file);
    fclose(file);
    return 0;
}
