// Stand-in for the managed application: a top-level window titled by AppName of the setup.ini
// beside it, which closes on WM_CLOSE. Every start is recorded with its arguments, the folder it
// was started in and the program of the process that started it, and every WM_CLOSE with the Version of that setup.ini at that moment.
// Started with the argument "stopped" it shows its window and then handles no message at all,
// as a program that hangs.
#include <windows.h>

#include <tlhelp32.h>

#include <string>

#include "StandinLog.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE: {
        wchar_t version[MAX_PATH];
        ReadOwnSetupIni(L"Startup", L"Version", L"", version);
        AppendStandinLog(L"close", (std::wstring(L"version=") + version).c_str());
        ::DestroyWindow(window);
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

// "parent=<program>": which process started this one (setup itself, or the user's shell).
std::wstring ParentText() {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return L"parent=?";
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    DWORD parent = 0;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == ::GetCurrentProcessId()) parent = entry.th32ParentProcessID;
    }
    std::wstring name = L"?";
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more; more = ::Process32NextW(snapshot, &entry)) {
        if (parent && entry.th32ProcessID == parent) name = entry.szExeFile;
    }
    ::CloseHandle(snapshot);
    return L"parent=" + name;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    const std::wstring args = GetArgumentsText();
    AppendStandinLog(L"start", ((args.empty() ? args : args + L" ") + CurrentFolderText() + L" " + ParentText()).c_str());

    wchar_t title[MAX_PATH];
    ReadOwnSetupIni(L"Startup", L"AppName", L"Kestrin HW RAID Manager", title);

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"ManagedAppStandIn";
    if (!::RegisterClassW(&windowClass)) return 1;

    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 320, 200, nullptr, nullptr, instance, nullptr);
    if (!window) {
        AppendStandinLog(L"no-window", L"");
        return 1;
    }
    ::ShowWindow(window, show);
    if (args == L"stopped") {
        ::Sleep(INFINITE);
    }

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
