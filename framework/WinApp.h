// The application object: the process entry calls InitInstance, then ends the process through
// ExitInstance. There is no message loop of the application's own: its windows are modal dialogs,
// which run their own.
#pragma once

#include <windows.h>

class CCommandLineInfo;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();

    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The program's work. Its result is not used: no message loop follows, and the process ends
    // through ExitInstance.
    virtual BOOL InitInstance();
    // Returns the process exit code.
    virtual int ExitInstance();

    // Feeds the process's own arguments, as the run-time library split them, to info.
    void ParseCommandLine(CCommandLineInfo& info);

    HINSTANCE m_hInstance = nullptr;

    // The process entry's work, separated so that the entry point stays a one-liner.
    static int RunApplication(HINSTANCE hInstance);

protected:
    // The exit code that the framework's own exit step returns.
    int m_nExitCode = 0;
};

// The one application object, or null before it is constructed.
CWinApp* AfxGetApp();
// The module whose resources (dialog templates, bitmaps, icons) the program uses: its own
// executable unless set otherwise.
HINSTANCE AfxGetResourceHandle();
// The program's name: its file name without the extension (the default message-box caption).
const wchar_t* AfxGetAppName();
void AfxSetResourceHandle(HINSTANCE module);

// How the program ends when memory runs out: lastWords (say, the log's last lines) runs once,
// on the thread that ran out first, then the process ends with exitCode. Without it the exit code
// is ERROR_NOT_ENOUGH_MEMORY.
void AfxSetOutOfMemoryExit(void (*lastWords)(), UINT exitCode);
// Ends the process as AfxSetOutOfMemoryExit set; called by the program's allocator.
[[noreturn]] void AfxOutOfMemoryExit();
