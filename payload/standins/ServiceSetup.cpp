// Stand-in for the service setup program: accepts "-i", "-k" or "-u" as its single argument and
// records each call, with the Version of the setup.ini beside it (which tells a test whether the
// installed files had already been replaced when it ran) and the folder it was started in. Any other command line is recorded
// too and ends with exit code 2, so that the program also serves as a planted program that
// must never be started.
#include <windows.h>

#include <cwchar>
#include <string>

#include "StandinLog.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const wchar_t* args = GetArgumentsText();
    wchar_t version[MAX_PATH];
    ReadOwnSetupIni(L"Startup", L"Version", L"", version);
    const bool known = std::wcscmp(args, L"-i") == 0 || std::wcscmp(args, L"-k") == 0 ||
                       std::wcscmp(args, L"-u") == 0;
    std::wstring details = std::wstring(args) + L" version=" + version + L" " + CurrentFolderText();
    AppendStandinLog(known ? L"call" : L"unexpected", details.c_str());
    return known ? 0 : 2;
}
