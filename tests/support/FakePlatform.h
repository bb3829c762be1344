// A recording stand-in for the engine's platform: an in-memory file system, registry, windows
// and processes. Every call is logged as one canonical line, so that a test checks the order of
// the calls that matters; chosen calls can be refused; pauses are counted instead of slept.
// Failures leave the Windows error that the real call would leave. Its parts are faked in a file
// each: FakeFiles, FakeRegistry, FakeShell and FakeProcesses; FakePlatform.cpp holds the world.
#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "engine/platform/SetupPlatform.h"

class FakePlatform : public ISetupPlatform {
public:
    static constexpr wchar_t kDesktop[] = L"C:\\Users\\tester\\Desktop";
    static constexpr wchar_t kCommonDesktop[] = L"C:\\Users\\Public\\Desktop";
    static constexpr wchar_t kTemp[] = L"C:\\Users\\tester\\Temp\\";
    static constexpr wchar_t kPrograms[] = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";

    FakePlatform();

    // Arranging the world.
    void AddFolder(const std::wstring& path);  // with its parents
    void AddFile(const std::wstring& path, unsigned long long size = 100);  // with its folders
    void AddTextFile(const std::wstring& path, const std::string& content);
    std::string Content(const std::wstring& path) const;
    void AddKey(const std::wstring& rootedPath);  // "HKLM\\..." with its parents
    // answers false: a window that does not handle WM_CLOSE within any time limit.
    void AddWindow(const std::wstring& title, bool answers = true);
    // Adds attributes to a file or folder: FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_REPARSE_POINT
    // (a link, which DeleteFile, RemoveFolder and MoveFile act on itself, as Windows does; what
    // is below a folder link stands for its target).
    void AddAttributes(const std::wstring& path, DWORD attributes);
    void SetVersion(DWORD major, DWORD minor, BYTE productType);
    void FailVersionQuery();
    // A call whose canonical line starts with prefix fails with error (its line is logged with
    // " [refused]").
    void Refuse(const std::wstring& prefix, DWORD error = ERROR_ACCESS_DENIED);
    void ClearRefusals();

    // What happened.
    std::vector<std::wstring> Calls() const;
    // The calls whose line starts with one of the prefixes, in order.
    std::vector<std::wstring> CallsStartingWith(std::initializer_list<std::wstring> prefixes) const;
    void ClearCalls();
    bool Exists(const std::wstring& path) const;
    bool IsFolder(const std::wstring& path) const;
    std::vector<std::wstring> Children(const std::wstring& folder) const;  // names, sorted
    bool KeyExists(const std::wstring& rootedPath) const;
    // The data of a value as "REG_SZ:<text>", "REG_DWORD:<n>" or "TYPE<n>:<hex>"; empty when absent.
    std::wstring Value(const std::wstring& rootedPath, const std::wstring& name) const;
    int PauseCount() const;
    // Every file (with its size and attributes), folder, key and value, one line each, in order:
    // two worlds are the same when their snapshots are.
    std::vector<std::wstring> Snapshot() const;
    // Paths given to MoveFile for deletion at the next restart, in order.
    std::vector<std::wstring> PendingDeletes() const;

    // ISetupPlatform
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

    // Used by the fake's own key and shell-link objects.
    bool Record(const std::wstring& line);  // false when the call is refused
    bool SetValue(const std::wstring& key, const std::wstring& name, const std::wstring& data);
    bool RemoveValue(const std::wstring& key, const std::wstring& name);
    bool CountContents(const std::wstring& key, DWORD& subKeys, DWORD& values);
    bool RemoveKey(const std::wstring& key);
    bool SaveLink(const std::wstring& path);
    bool AppendTo(const std::wstring& path, const std::string& text);
    // The stored data of a value, as Value() gives it, with the key's existence.
    bool GetValue(const std::wstring& key, const std::wstring& name, std::wstring& data) const;

private:
    struct Node {
        Node() = default;
        Node(std::wstring p, bool isFolder, unsigned long long bytes)
            : path(std::move(p)), folder(isFolder), size(bytes) {}
        std::wstring path;
        bool folder = false;
        unsigned long long size = 0;
        DWORD attributes = 0;  // besides FILE_ATTRIBUTE_DIRECTORY
        std::string content;   // of files written through the platform
    };
    struct Window {
        std::wstring title;
        bool answers;
    };
    // Fails with error: sets it and returns false.
    static bool Fail(DWORD error);
    // A node with everything below it.
    bool EraseTree(const std::wstring& path);
    DWORD AttributesOf(const Node& node) const;
    struct Key {
        std::wstring path;
        std::map<std::wstring, std::wstring> values;  // lower-cased name -> data
    };
    static std::wstring Lower(const std::wstring& text);
    static std::wstring Hex(unsigned long value);
    // The appended text as one call line: without its line ends, lines joined by " / ".
    static std::wstring AppendedText(const std::string& text);
    static std::wstring Parent(const std::wstring& path);
    static std::wstring RootName(HKEY root);

    mutable std::recursive_mutex m_mutex;
    std::vector<std::wstring> m_calls;
    std::vector<std::pair<std::wstring, DWORD>> m_refused;
    std::map<std::wstring, Node> m_nodes;  // lower-cased path
    std::map<std::wstring, Key> m_keys;    // lower-cased rooted path
    std::map<HWND, Window> m_windows;
    int m_nextWindow = 0x100;
    int m_pauses = 0;
    std::vector<std::wstring> m_pendingDeletes;
    bool m_versionFails = false;
    OSVERSIONINFOEXW m_version = {};
};
