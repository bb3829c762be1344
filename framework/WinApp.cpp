#include "framework/WinApp.h"

#include <stdlib.h>

#include "framework/CommandLineInfo.h"

namespace {
CWinApp* g_pTheApp = nullptr;
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
