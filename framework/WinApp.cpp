#include "framework/WinApp.h"

#include <stdlib.h>

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
    // Nothing may escape the process entry: the exit step still runs and gives the exit code.
    try {
        if (!app->InitInstance()) return app->ExitInstance();
        return app->Run();
    } catch (...) {
        return app->ExitInstance();
    }
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
