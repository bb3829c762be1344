// The production side of the engine's platform interface: plain Win32 calls.
#pragma once

#include "engine/platform/SetupPlatform.h"

class CWin32Platform final : public ISetupPlatform {
public:
    bool PathExists(const wchar_t* path) override;
    bool CreateFolder(const wchar_t* path) override;
    bool RemoveFolder(const wchar_t* path) override;
    bool CopyFile(const wchar_t* from, const wchar_t* to, ULONGLONG* copiedBytes) override;
    bool DeleteFile(const wchar_t* path) override;
    bool MoveFile(const wchar_t* from, const wchar_t* to, DWORD flags) override;
    DWORD GetAttributes(const wchar_t* path) override;
    bool SetAttributes(const wchar_t* path, DWORD attributes) override;
    std::unique_ptr<ISetupFolderWalk> ListFolder(const wchar_t* pattern) override;
    std::unique_ptr<ISetupAppendFile> OpenAppendFile(const wchar_t* path) override;
    bool ReadWholeFile(const wchar_t* path, DWORD maxBytes, fw::HeapArray<char>& data) override;
    bool WriteNewFile(const wchar_t* path, const char* data, DWORD size) override;
    bool CreatePrivateFolder(const wchar_t* path) override;
    bool GetTempFolder(wchar_t (&path)[MAX_PATH]) override;

    bool GetVersionInfo(OSVERSIONINFOEXW* info) override;
    bool GetSpecialFolder(int csidl, wchar_t (&path)[MAX_PATH]) override;

    std::unique_ptr<ISetupRegistryKey> OpenKey(HKEY root, const wchar_t* path) override;
    std::unique_ptr<ISetupRegistryKey> CreateKey(HKEY root, const wchar_t* path) override;

    std::unique_ptr<ISetupComSession> EnterCom() override;
    std::unique_ptr<ISetupShellLink> NewShellLink() override;

    bool StartProcess(wchar_t* commandLine, WORD showWindow, DWORD creationFlags,
                      const wchar_t* currentFolder) override;
    bool StartThroughShell(const wchar_t* program, const wchar_t* folder) override;

    HWND FindTopWindow(const wchar_t* title) override;
    bool SendCloseMessage(HWND window, DWORD timeoutMs) override;
    bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void Pause(DWORD milliseconds) override;
    int ShowMessageBox(const wchar_t* text, const wchar_t* caption, UINT type) override;
};
