// Prints what an install left on this Windows system, for the README's main-job command:
//   install_report.exe run <command line>   runs it, waits and prints its exact exit code
//   install_report.exe report <install folder> <folder name> <application name>
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace {

void Print(const std::wstring& text) {
    std::printf("%s\n", Narrow(text).c_str());
}

void PrintValue(const std::wstring& key, const std::wstring& name) {
    if (auto text = ReadRegString(HKEY_LOCAL_MACHINE, key, name))
        Print(L"    " + name + L" = " + *text);
    else if (auto number = ReadRegDword(HKEY_LOCAL_MACHINE, key, name))
        Print(L"    " + name + L" = " + std::to_wstring(*number) + L" (REG_DWORD)");
}

void PrintLink(const std::wstring& path) {
    auto link = ReadShellLink(path);
    if (!link) {
        Print(L"  " + path + L": none");
        return;
    }
    Print(L"  " + path);
    Print(L"    target " + link->target + (link->arguments.empty() ? L"" : L", arguments " + link->arguments));
}

void PrintLog(const std::wstring& path) {
    if (!FileExists(path)) {
        Print(L"  " + path + L": none");
        return;
    }
    Print(L"  " + path + L":");
    for (const std::string& line : ReadLines(path)) std::printf("    %s\n", line.c_str());
}

void Report(const std::wstring& install, const std::wstring& folderName, const std::wstring& appName) {
    Print(L"Install folder " + install + (FolderExists(install) ? L":" : L": none"));
    for (const auto& file : ListTree(install)) Print(L"  " + file);
    const std::wstring entry = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + folderName;
    Print(L"Uninstall entry HKLM\\" + entry + (RegKeyExists(HKEY_LOCAL_MACHINE, entry) ? L":" : L": none"));
    for (const wchar_t* name : {L"DisplayName", L"DisplayVersion", L"Publisher", L"UninstallString",
                                L"QuietUninstallString", L"InstallLocation", L"DisplayIcon", L"NoModify",
                                L"NoRepair", L"EstimatedSize"})
        PrintValue(entry, name);
    const auto run = ReadRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", appName);
    Print(L"Run value \"" + appName + L"\": " + (run ? *run : L"none"));
    Print(L"Shortcuts:");
    PrintLink(SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\" + appName + L".lnk");
    const std::wstring menu = SpecialFolder(CSIDL_COMMON_PROGRAMS) + L"\\" + appName;
    PrintLink(menu + L"\\" + appName + L".lnk");
    PrintLink(menu + L"\\Uninstall.lnk");
    Print(L"  Start-menu folder " + menu + (FolderExists(menu) ? L": present" : L": none"));
    Print(L"Stand-in logs:");
    PrintLog(install + L"\\REReviZuvor.log");
    PrintLog(install + L"\\XSrvSetup.log");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"run") {
        const ProcessResult r = RunProcess(argv[2], 300000);
        if (!r.started) {
            Print(L"could not start: " + std::wstring(argv[2]));
            return 2;
        }
        std::printf("exit code %lu\n", r.exitCode);
        return r.exitCode == 0 ? 0 : 1;
    }
    if (argc == 5 && std::wstring(argv[1]) == L"report") {
        Report(argv[2], argv[3], argv[4]);
        return 0;
    }
    std::fprintf(stderr, "usage: install_report run <command line> | report <folder> <name> <app name>\n");
    return 2;
}
