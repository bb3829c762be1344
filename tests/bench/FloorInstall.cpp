// The floor for the silent-install benchmark: what "setup.exe s" does to a Windows 7 system with
// the sample payload in C:\payload, in straight-line Win32 calls with no tables, no checks, no
// log and no configuration file: the same folders, the same copies, the same registry values and
// the same three shortcuts. scripts/bench-silent.sh times it against setup.exe.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>
#include <initializer_list>

namespace {

const wchar_t kInstall[] = L"C:\\Program Files\\KRT55A";
const wchar_t kAppName[] = L"Kestrin HW RAID Manager";

void Copy(const wchar_t* from, const wchar_t* to) {
    ::CopyFileW(from, to, FALSE);
}

// Every file of a payload folder into a folder of the install, but the service setup program.
void CopyFolder(const wchar_t* fromFolder, const wchar_t* toFolder) {
    wchar_t pattern[MAX_PATH];
    wchar_t from[MAX_PATH];
    wchar_t to[MAX_PATH];
    swprintf(pattern, MAX_PATH, L"%ls\\*", fromFolder);
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(pattern, &data);
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !wcscmp(data.cFileName, L"XSrvSetup.exe")) continue;
        swprintf(from, MAX_PATH, L"%ls\\%ls", fromFolder, data.cFileName);
        swprintf(to, MAX_PATH, L"%ls\\%ls", toFolder, data.cFileName);
        Copy(from, to);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

void SetString(HKEY key, const wchar_t* name, const wchar_t* data) {
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                     static_cast<DWORD>((wcslen(data) + 1) * sizeof(wchar_t)));
}

void SetDword(HKEY key, const wchar_t* name, DWORD data) {
    ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void Shortcut(const wchar_t* path, const wchar_t* target, const wchar_t* arguments) {
    IShellLinkW* link = nullptr;
    ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&link));
    link->SetPath(target);
    if (arguments) link->SetArguments(arguments);
    IPersistFile* file = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    file->Save(path, TRUE);
    file->Release();
    link->Release();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t to[MAX_PATH];
    ::CreateDirectoryW(kInstall, nullptr);
    ::CreateDirectoryW(L"C:\\Program Files\\KRT55A\\Uninstall", nullptr);
    ::CreateDirectoryW(L"C:\\Program Files\\KRT55A\\Images", nullptr);

    Copy(L"C:\\payload\\setup.exe", L"C:\\Program Files\\KRT55A\\Uninstall\\setup.exe");
    Copy(L"C:\\payload\\setup.ini", L"C:\\Program Files\\KRT55A\\Uninstall\\setup.ini");
    Copy(L"C:\\payload\\setup.ini", L"C:\\Program Files\\KRT55A\\setup.ini");
    for (const wchar_t* language : {L"ENU", L"CHT", L"CHS", L"JPN", L"KOR", L"FRA", L"DEU", L"ITA", L"RUS", L"ESN",
                                    L"SVE", L"NLD", L"PTB"}) {
        wchar_t from[MAX_PATH];
        swprintf(from, MAX_PATH, L"C:\\payload\\setup%ls.dll", language);
        swprintf(to, MAX_PATH, L"C:\\Program Files\\KRT55A\\Uninstall\\setup%ls.dll", language);
        Copy(from, to);
    }
    CopyFolder(L"C:\\payload\\Application\\Images", L"C:\\Program Files\\KRT55A\\Images");
    CopyFolder(L"C:\\payload\\Application", kInstall);

    HKEY run;
    ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_WRITE, &run);
    SetString(run, kAppName, L"\"C:\\Program Files\\KRT55A\\REReviZuvor.exe\" min");
    ::RegCloseKey(run);
    HKEY entry;
    ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KRT55A", 0,
                      nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &entry, nullptr);
    SetString(entry, L"UninstallString", L"\"C:\\Program Files\\KRT55A\\Uninstall\\setup.exe\" delpkg");
    SetString(entry, L"DisplayName", kAppName);
    SetString(entry, L"Publisher", L"Kestrin Technology Corp.");
    SetString(entry, L"DisplayVersion", L"1.0.0.4");
    SetString(entry, L"QuietUninstallString", L"\"C:\\Program Files\\KRT55A\\Uninstall\\setup.exe\" SilentDel");
    SetString(entry, L"InstallLocation", kInstall);
    SetString(entry, L"DisplayIcon", L"C:\\Program Files\\KRT55A\\REReviZuvor.exe");
    SetDword(entry, L"NoModify", 1);
    SetDword(entry, L"NoRepair", 1);
    SetDword(entry, L"EstimatedSize", 1000);
    ::RegCloseKey(entry);

    ::CoInitialize(nullptr);
    wchar_t desktop[MAX_PATH];
    wchar_t programs[MAX_PATH];
    ::SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_COMMON_DESKTOPDIRECTORY, FALSE);
    ::SHGetSpecialFolderPathW(nullptr, programs, CSIDL_COMMON_PROGRAMS, FALSE);
    swprintf(to, MAX_PATH, L"%ls\\%ls.lnk", desktop, kAppName);
    Shortcut(to, L"C:\\Program Files\\KRT55A\\REReviZuvor.exe", nullptr);
    swprintf(to, MAX_PATH, L"%ls\\%ls", programs, kAppName);
    ::CreateDirectoryW(to, nullptr);
    swprintf(to, MAX_PATH, L"%ls\\%ls\\%ls.lnk", programs, kAppName, kAppName);
    Shortcut(to, L"C:\\Program Files\\KRT55A\\REReviZuvor.exe", nullptr);
    swprintf(to, MAX_PATH, L"%ls\\%ls\\Uninstall.lnk", programs, kAppName);
    Shortcut(to, L"C:\\Program Files\\KRT55A\\Uninstall\\setup.exe", L"delpkg");
    ::CoUninitialize();
    return 0;
}
