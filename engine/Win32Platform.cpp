#include "engine/Win32Platform.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>

#include "framework/Handles.h"

namespace {

class CWin32RegistryKey final : public ISetupRegistryKey {
public:
    explicit CWin32RegistryKey(fw::UniqueRegKey key) : m_key(std::move(key)) {}

    bool SetString(const wchar_t* name, const wchar_t* data) override {
        const DWORD bytes = static_cast<DWORD>((std::wcslen(data) + 1) * sizeof(wchar_t));
        return ::RegSetValueExW(m_key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), bytes) ==
               ERROR_SUCCESS;
    }
    bool SetDword(const wchar_t* name, DWORD data) override {
        return ::RegSetValueExW(m_key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                sizeof data) == ERROR_SUCCESS;
    }
    bool DeleteValue(const wchar_t* name) override {
        return ::RegDeleteValueW(m_key.get(), name) == ERROR_SUCCESS;
    }
    bool DeleteSubKey(const wchar_t* name) override {
        return ::RegDeleteKeyW(m_key.get(), name) == ERROR_SUCCESS;
    }

private:
    fw::UniqueRegKey m_key;
};

class CWin32ComSession final : public ISetupComSession {
    fw::ComScope m_com;
};

class CWin32ShellLink final : public ISetupShellLink {
public:
    bool Open() {
        if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                      m_link.put_void())))
            return false;
        return SUCCEEDED(m_link->QueryInterface(IID_IPersistFile, m_file.put_void()));
    }
    bool SetPath(const wchar_t* target) override { return SUCCEEDED(m_link->SetPath(target)); }
    bool SetArguments(const wchar_t* arguments) override { return SUCCEEDED(m_link->SetArguments(arguments)); }
    bool Save(const wchar_t* linkPath) override { return SUCCEEDED(m_file->Save(linkPath, TRUE)); }

private:
    // Declared first, released last: IPersistFile goes before the shell link.
    fw::ComPtr<IShellLinkW> m_link;
    fw::ComPtr<IPersistFile> m_file;
};

}  // namespace

bool CWin32Platform::PathExists(const wchar_t* path) {
    WIN32_FIND_DATAW data;
    fw::UniqueFindHandle find(::FindFirstFileW(path, &data));
    return static_cast<bool>(find);
}

bool CWin32Platform::CreateFolder(const wchar_t* path) {
    return ::CreateDirectoryW(path, nullptr) != FALSE;
}

bool CWin32Platform::RemoveFolder(const wchar_t* path) {
    return ::RemoveDirectoryW(path) != FALSE;
}

bool CWin32Platform::CopyFile(const wchar_t* from, const wchar_t* to) {
    return ::CopyFileW(from, to, FALSE) != FALSE;
}

bool CWin32Platform::DeleteFile(const wchar_t* path) {
    return ::DeleteFileW(path) != FALSE;
}

std::vector<SetupFolderEntry> CWin32Platform::ListFolder(const wchar_t* pattern) {
    std::vector<SetupFolderEntry> names;
    WIN32_FIND_DATAW data;
    fw::UniqueFindHandle find(::FindFirstFileW(pattern, &data));
    if (!find) return names;
    do {
        names.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (::FindNextFileW(find.get(), &data));
    return names;
}

bool CWin32Platform::GetFileSize(const wchar_t* path, ULONGLONG* size) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return false;
    *size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

bool CWin32Platform::GetVersionInfo(OSVERSIONINFOEXW* info) {
    return ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(info)) != FALSE;
}

bool CWin32Platform::GetSpecialFolder(int csidl, wchar_t (&path)[MAX_PATH]) {
    return ::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE) != FALSE;
}

std::unique_ptr<ISetupRegistryKey> CWin32Platform::OpenKey(HKEY root, const wchar_t* path) {
    fw::UniqueRegKey key;
    if (::RegOpenKeyExW(root, path, 0, KEY_WRITE, key.put()) != ERROR_SUCCESS) return nullptr;
    return std::make_unique<CWin32RegistryKey>(std::move(key));
}

std::unique_ptr<ISetupRegistryKey> CWin32Platform::CreateKey(HKEY root, const wchar_t* path) {
    fw::UniqueRegKey key;
    if (::RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<CWin32RegistryKey>(std::move(key));
}

std::unique_ptr<ISetupComSession> CWin32Platform::EnterCom() {
    return std::make_unique<CWin32ComSession>();
}

std::unique_ptr<ISetupShellLink> CWin32Platform::NewShellLink() {
    auto link = std::make_unique<CWin32ShellLink>();
    if (!link->Open()) return nullptr;
    return link;
}

bool CWin32Platform::StartProcess(wchar_t* commandLine, WORD showWindow, DWORD creationFlags) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    PROCESS_INFORMATION raw = {};
    if (!::CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, creationFlags, nullptr, nullptr,
                          &startup, &raw))
        return false;
    fw::UniqueProcessInformation owned{fw::UniqueHandle(raw.hProcess), fw::UniqueHandle(raw.hThread)};
    return true;
}

HWND CWin32Platform::FindTopWindow(const wchar_t* title) {
    return ::FindWindowW(nullptr, title);
}

void CWin32Platform::SendCloseMessage(HWND window) {
    ::SendMessageW(window, WM_CLOSE, 0, 0);
}

bool CWin32Platform::PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(window, message, wParam, lParam) != FALSE;
}

void CWin32Platform::Pause(DWORD milliseconds) {
    ::Sleep(milliseconds);
}

int CWin32Platform::ShowMessageBox(const wchar_t* text, const wchar_t* caption, UINT type) {
    return ::MessageBoxW(nullptr, text, caption, type);
}
