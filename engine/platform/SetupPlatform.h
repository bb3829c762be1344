// The one narrow interface through which the install engine reaches the operating system:
// files and folders, registry, shell links, processes, windows, pauses and message boxes.
// The product uses the plain Win32 side; tests put a recording fake in front of it.
// A call that fails leaves the Windows error for GetLastError, as the Win32 call would.
#pragma once

#include <windows.h>

#include <memory>

#include "base/HeapArray.h"
#include "engine/log/SetupMessages.h"

// An open registry key; closed when the object is destroyed.
class ISetupRegistryKey {
public:
    virtual ~ISetupRegistryKey() = default;
    virtual bool SetString(const wchar_t* name, const wchar_t* data) = 0;  // REG_SZ, terminator stored
    virtual bool SetDword(const wchar_t* name, DWORD data) = 0;
    // Any type, the data as it stands: what an undo sets back.
    virtual bool SetValue(const wchar_t* name, DWORD type, const BYTE* data, DWORD bytes) = 0;
    virtual bool DeleteValue(const wchar_t* name) = 0;
    virtual bool DeleteSubKey(const wchar_t* name) = 0;
    // A value's type and data; bytes holds the buffer's size and receives the data's. Fails with
    // ERROR_FILE_NOT_FOUND when there is no such value, ERROR_MORE_DATA when it does not fit.
    virtual bool QueryValue(const wchar_t* name, DWORD* type, BYTE* data, DWORD* bytes) = 0;
    // How many subkeys and values the key holds.
    virtual bool CountContents(DWORD* subKeys, DWORD* values) = 0;
};

// A file that text is appended to; every append reaches the file before it returns, so what was
// appended survives the process being killed. Closed when the object is destroyed.
class ISetupAppendFile {
public:
    virtual ~ISetupAppendFile() = default;
    virtual bool Append(const char* data, DWORD size) = 0;
    // What was appended reaches the disk itself, so that it survives a power cut.
    virtual bool Flush() = 0;
};

// A shell-link object with its IPersistFile; both released when the object is destroyed.
class ISetupShellLink {
public:
    virtual ~ISetupShellLink() = default;
    virtual bool SetPath(const wchar_t* target) = 0;
    virtual bool SetArguments(const wchar_t* arguments) = 0;
    virtual bool Save(const wchar_t* linkPath) = 0;  // remember flag set
};

// COM initialised for the calling thread until the object is destroyed.
class ISetupComSession {
public:
    virtual ~ISetupComSession() = default;
};

// One entry of a folder walk, with what the walk itself tells of it.
struct SetupFolderEntry {
    wchar_t name[MAX_PATH];
    DWORD attributes;
    ULONGLONG size;
    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // A junction or symbolic link: never entered, deleted or followed.
    bool IsLink() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

// A find-first/find-next walk over one pattern: its entries in its order ("." and ".." included).
class ISetupFolderWalk {
public:
    virtual ~ISetupFolderWalk() = default;
    // Fills entry with the next one; false after the last.
    virtual bool Next(SetupFolderEntry& entry) = 0;
};

// Message boxes come through it too (ISetupMessageBox::ShowMessageBox, without an owner).
class ISetupPlatform : public ISetupMessageBox {
public:
    virtual ~ISetupPlatform() = default;

    // Files and folders.
    virtual bool PathExists(const wchar_t* path) = 0;  // a find-first test
    virtual bool CreateFolder(const wchar_t* path) = 0;  // one level
    // A link (junction or symbolic link) in the place of a file or folder is acted on itself, never
    // its target: RemoveFolder and DeleteFile remove the link, MoveFile moves it. Where the system
    // would reach the target instead, they fail with ERROR_NOT_A_REPARSE_POINT.
    virtual bool RemoveFolder(const wchar_t* path) = 0;  // only when empty
    // Overwrites; copiedBytes receives the file's size. The copy is never read-only, whatever the
    // source is (media such as a CD-ROM hand out read-only files).
    virtual bool CopyFile(const wchar_t* from, const wchar_t* to, ULONGLONG* copiedBytes) = 0;
    virtual bool DeleteFile(const wchar_t* path) = 0;
    // MoveFileExW: flags MOVEFILE_*; a null to with MOVEFILE_DELAY_UNTIL_REBOOT deletes at the next restart.
    virtual bool MoveFile(const wchar_t* from, const wchar_t* to, DWORD flags) = 0;
    // INVALID_FILE_ATTRIBUTES when the path names nothing; links are not followed.
    virtual DWORD GetAttributes(const wchar_t* path) = 0;
    virtual bool SetAttributes(const wchar_t* path, DWORD attributes) = 0;
    // Never null: a pattern that matches nothing gives a walk without entries.
    virtual std::unique_ptr<ISetupFolderWalk> ListFolder(const wchar_t* pattern) = 0;
    // Opened for appending, created when missing; a link under the name is refused.
    virtual std::unique_ptr<ISetupAppendFile> OpenAppendFile(const wchar_t* path) = 0;
    // The whole file; refused when it is larger than maxBytes.
    virtual bool ReadWholeFile(const wchar_t* path, DWORD maxBytes, fw::HeapArray<char>& data) = 0;
    // Creates or replaces path with data, written through to the disk.
    virtual bool WriteNewFile(const wchar_t* path, const char* data, DWORD size) = 0;
    // A new folder that only administrators and the system may open; fails when path exists.
    virtual bool CreatePrivateFolder(const wchar_t* path) = 0;
    // The temporary folder of the user running setup, with its trailing backslash.
    virtual bool GetTempFolder(wchar_t (&path)[MAX_PATH]) = 0;

    // System.
    virtual bool GetVersionInfo(OSVERSIONINFOEXW* info) = 0;  // size field set by the caller
    virtual bool GetSpecialFolder(int csidl, wchar_t (&path)[MAX_PATH]) = 0;

    // Registry: keys opened or created with KEY_WRITE and KEY_QUERY_VALUE.
    virtual std::unique_ptr<ISetupRegistryKey> OpenKey(HKEY root, const wchar_t* path) = 0;
    virtual std::unique_ptr<ISetupRegistryKey> CreateKey(HKEY root, const wchar_t* path) = 0;

    // Shell links.
    virtual std::unique_ptr<ISetupComSession> EnterCom() = 0;
    // Null when the shell-link object or its IPersistFile is refused.
    virtual std::unique_ptr<ISetupShellLink> NewShellLink() = 0;

    // Processes: started in currentFolder without waiting; both handles are closed at once.
    virtual bool StartProcess(wchar_t* commandLine, WORD showWindow, DWORD creationFlags,
                              const wchar_t* currentFolder) = 0;
    // Asks the interactive user's shell to start program (a full path) in folder, so that it runs
    // with the shell's rights and not with setup's; false when no shell answers.
    virtual bool StartThroughShell(const wchar_t* program, const wchar_t* folder) = 0;

    // Windows and pauses.
    virtual HWND FindTopWindow(const wchar_t* title) = 0;  // any class
    // WM_CLOSE, waiting at most timeoutMs for the window to handle it; false when it did not.
    virtual bool SendCloseMessage(HWND window, DWORD timeoutMs) = 0;
    virtual bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual void Pause(DWORD milliseconds) = 0;
};

// The platform in use: the Win32 one unless a test has put another in front of it.
ISetupPlatform& SetupPlatform();

// Puts a platform in front of the current one for the lifetime of the object.
class ScopedPlatformOverride {
public:
    explicit ScopedPlatformOverride(ISetupPlatform& platform);
    ~ScopedPlatformOverride();
    ScopedPlatformOverride(const ScopedPlatformOverride&) = delete;
    ScopedPlatformOverride& operator=(const ScopedPlatformOverride&) = delete;

private:
    ISetupPlatform* m_previous;
};
