#include "framework/WinApp.h"

#include <stdlib.h>

#include <cwchar>

#include "framework/CommandLineInfo.h"

namespace {
CWinApp* g_pTheApp = nullptr;
HINSTANCE g_hResourceModule = nullptr;
}

CWinApp::CWinApp() {
    g_pTheApp = this;
}

CWinApp::~CWinApp() {
    if (g_pTheApp == this) g_pTheApp = nullptr;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return m_nExitCode;
}

int CWinApp::Run() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    WalkCommandLine(info, __argc, __wargv);
}

int CWinApp::RunApplication(HINSTANCE hInstance) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = hInstance;
    // The program is built without exceptions: nothing can escape the process entry, and the exit
    // step always gives the exit code.
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}

CWinApp* AfxGetApp() {
    return g_pTheApp;
}

HINSTANCE AfxGetResourceHandle() {
    return g_hResourceModule ? g_hResourceModule : ::GetModuleHandleW(nullptr);
}

void AfxSetResourceHandle(HINSTANCE module) {
    g_hResourceModule = module;
}

const wchar_t* AfxGetAppName() {
    static wchar_t name[MAX_PATH];
    if (!name[0]) {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return L"";
        const wchar_t* slash = std::wcsrchr(path, L'\\');
        std::wcscpy(name, slash ? slash + 1 : path);
        if (wchar_t* dot = std::wcsrchr(name, L'.')) *dot = L'\0';
    }
    return name;
}
