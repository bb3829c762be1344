#include "framework/WinApp.h"

#include <stdlib.h>

#include <cwchar>

#include "framework/CommandLineInfo.h"

namespace {
CWinApp* g_pTheApp = nullptr;
HINSTANCE g_hResourceModule = nullptr;
void (*g_pfnOutOfMemoryLastWords)() = nullptr;
UINT g_nOutOfMemoryExitCode = ERROR_NOT_ENOUGH_MEMORY;
LONG g_nOutOfMemoryThread = 0;  // the first thread that ran out
// How long another thread that runs out waits for the first one's last words to end the process.
constexpr DWORD kLastWordsWaitMs = 10000;
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

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    WalkCommandLine(info, __argc, __wargv);
}

int CWinApp::RunApplication(HINSTANCE hInstance) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = hInstance;
    // The program is built without exceptions: nothing can escape the process entry, and the exit
    // step always gives the exit code.
    app->InitInstance();
    return app->ExitInstance();
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

void AfxSetOutOfMemoryExit(void (*lastWords)(), UINT exitCode) {
    g_pfnOutOfMemoryLastWords = lastWords;
    g_nOutOfMemoryExitCode = exitCode;
}

void AfxOutOfMemoryExit() {
    // The last words run once: running out again inside them ends at once.
    const auto self = static_cast<LONG>(::GetCurrentThreadId());
    const LONG first = ::InterlockedCompareExchange(&g_nOutOfMemoryThread, self, 0);
    if (first == 0) {
        if (g_pfnOutOfMemoryLastWords) g_pfnOutOfMemoryLastWords();
    } else if (first != self) {
        ::Sleep(kLastWordsWaitMs);
    }
    ::ExitProcess(g_nOutOfMemoryExitCode);
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
