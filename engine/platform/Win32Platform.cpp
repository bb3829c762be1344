#include "engine/platform/Win32Platform.h"

#include <sddl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>

#include "base/Handles.h"
#include "engine/platform/ShellLaunch.h"

namespace {

// Registry calls return their error; the engine reads every error through GetLastError.
bool RegSucceeded(LSTATUS status) {
    if (status == ERROR_SUCCESS) return true;
    ::SetLastError(static_cast<DWORD>(status));
    return false;
}

bool ComSucceeded(HRESULT result) {
    if (SUCCEEDED(result)) return true;
    ::SetLastError(static_cast<DWORD>(result));
    return false;
}

constexpr ULONGLONG kSizeNotReported = ~0ull;

// The shell-link object and the two interfaces used, spelled out here: the GUID library holds
// thousands of them, and linking it would carry them all.
constexpr CLSID kClsidShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidShellLinkW = {0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The copy reports the file's size as it starts; so the install knows it without asking again.
DWORD CALLBACK RecordCopiedSize(LARGE_INTEGER totalFileSize, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD,
                                DWORD, HANDLE, HANDLE, LPVOID data) {
    *static_cast<ULONGLONG*>(data) = static_cast<ULONGLONG>(totalFileSize.QuadPart);
    return PROGRESS_CONTINUE;
}

class CWin32RegistryKey final : public ISetupRegistryKey {
public:
    explicit CWin32RegistryKey(fw::UniqueRegKey key) : m_key(std::move(key)) {}

    bool SetString(const wchar_t* name, const wchar_t* data) override {
        const DWORD bytes = static_cast<DWORD>((std::wcslen(data) + 1) * sizeof(wchar_t));
        return RegSucceeded(
            ::RegSetValueExW(m_key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), bytes));
    }
    bool SetDword(const wchar_t* name, DWORD data) override {
        return RegSucceeded(
            ::RegSetValueExW(m_key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data));
    }
    bool DeleteValue(const wchar_t* name) override { return RegSucceeded(::RegDeleteValueW(m_key.get(), name)); }
    bool DeleteSubKey(const wchar_t* name) override { return RegSucceeded(::RegDeleteKeyW(m_key.get(), name)); }
    bool SetValue(const wchar_t* name, DWORD type, const BYTE* data, DWORD bytes) override {
        return RegSucceeded(::RegSetValueExW(m_key.get(), name, 0, type, data, bytes));
    }
    bool QueryValue(const wchar_t* name, DWORD* type, BYTE* data, DWORD* bytes) override {
        return RegSucceeded(::RegQueryValueExW(m_key.get(), name, nullptr, type, data, bytes));
    }
    bool CountContents(DWORD* subKeys, DWORD* values) override {
        return RegSucceeded(::RegQueryInfoKeyW(m_key.get(), nullptr, nullptr, nullptr, subKeys, nullptr, nullptr,
                                               values, nullptr, nullptr, nullptr, nullptr));
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
        if (!ComSucceeded(::CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkW,
                                             m_link.put_void())))
            return false;
        return ComSucceeded(m_link->QueryInterface(kIidPersistFile, m_file.put_void()));
    }
    bool SetPath(const wchar_t* target) override { return ComSucceeded(m_link->SetPath(target)); }
    bool SetArguments(const wchar_t* arguments) override { return ComSucceeded(m_link->SetArguments(arguments)); }
    bool Save(const wchar_t* linkPath) override { return ComSucceeded(m_file->Save(linkPath, TRUE)); }

private:
    // Declared first, released last: IPersistFile goes before the shell link.
    fw::ComPtr<IShellLinkW> m_link;
    fw::ComPtr<IPersistFile> m_file;
};

// The next entry is read ahead, so the caller may delete the one it was given.
class CWin32FolderWalk final : public ISetupFolderWalk {
public:
    explicit CWin32FolderWalk(const wchar_t* pattern) : m_find(::FindFirstFileW(pattern, &m_data)) {
        m_pending = static_cast<bool>(m_find);
    }
    bool Next(SetupFolderEntry& entry) override {
        if (!m_pending) return false;
        // cFileName has MAX_PATH units, as the entry's name.
        std::wmemcpy(entry.name, m_data.cFileName, MAX_PATH);
        entry.attributes = m_data.dwFileAttributes;
        entry.size = (static_cast<ULONGLONG>(m_data.nFileSizeHigh) << 32) | m_data.nFileSizeLow;
        m_pending = ::FindNextFileW(m_find.get(), &m_data) != FALSE;
        return true;
    }

private:
    WIN32_FIND_DATAW m_data;  // declared before the handle that the first find fills it with
    fw::UniqueFindHandle m_find;
    bool m_pending = false;
};

class CWin32AppendFile final : public ISetupAppendFile {
public:
    explicit CWin32AppendFile(fw::UniqueHandle file) : m_file(std::move(file)) {}
    bool Append(const char* data, DWORD size) override {
        DWORD written = 0;
        return ::WriteFile(m_file.get(), data, size, &written, nullptr) && written == size;
    }
    bool Flush() override { return ::FlushFileBuffers(m_file.get()) != FALSE; }

private:
    fw::UniqueHandle m_file;
};

// A security descriptor made from its text form, freed with LocalFree.
class CLocalSecurityDescriptor {
public:
    explicit CLocalSecurityDescriptor(const wchar_t* text) {
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(text, SDDL_REVISION_1, &m_descriptor, nullptr);
    }
    ~CLocalSecurityDescriptor() {
        if (m_descriptor) ::LocalFree(m_descriptor);
    }
    CLocalSecurityDescriptor(const CLocalSecurityDescriptor&) = delete;
    CLocalSecurityDescriptor& operator=(const CLocalSecurityDescriptor&) = delete;
    PSECURITY_DESCRIPTOR get() const { return m_descriptor; }

private:
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;
};

fw::UniqueHandle OpenFile(const wchar_t* path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    fw::UniqueHandle file(::CreateFileW(path, access, share, nullptr, disposition, flags, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) file.release();
    return file;
}

bool IsLink(const wchar_t* path) {
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Whether the system opens the link at path itself, not what it points to: only then does a
// deletion or a move act on the link. (Some systems that run Windows programs follow every link.)
bool OpensLinkItself(const wchar_t* path) {
    fw::UniqueHandle link = OpenFile(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
    BY_HANDLE_FILE_INFORMATION info;
    if (!link) return false;
    if (::GetFileInformationByHandle(link.get(), &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return true;
    ::SetLastError(ERROR_NOT_A_REPARSE_POINT);
    return false;
}

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
    if (IsLink(path) && !OpensLinkItself(path)) return false;
    return ::RemoveDirectoryW(path) != FALSE;
}

bool CWin32Platform::CopyFile(const wchar_t* from, const wchar_t* to, ULONGLONG* copiedBytes) {
    ULONGLONG size = kSizeNotReported;
    if (!::CopyFileExW(from, to, RecordCopiedSize, &size, nullptr, 0)) return false;
    // The copy takes the source's attributes, read-only included.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(to, GetFileExInfoStandard, &data)) return false;
    if (size == kSizeNotReported)  // some systems (Wine among them) copy without reporting progress
        size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) &&
        !::SetFileAttributesW(to, data.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY))
        return false;
    *copiedBytes = size;
    return true;
}

bool CWin32Platform::DeleteFile(const wchar_t* path) {
    if (IsLink(path)) {
        if (!OpensLinkItself(path)) return false;
        // A link to a folder is a folder entry: it goes as a folder does, without its target.
        if (::GetFileAttributesW(path) & FILE_ATTRIBUTE_DIRECTORY) return ::RemoveDirectoryW(path) != FALSE;
    }
    return ::DeleteFileW(path) != FALSE;
}

bool CWin32Platform::MoveFile(const wchar_t* from, const wchar_t* to, DWORD flags) {
    // A link is moved itself, on its volume: copying it would copy its target.
    if (IsLink(from)) {
        if (!OpensLinkItself(from)) return false;
        flags &= ~static_cast<DWORD>(MOVEFILE_COPY_ALLOWED);
    }
    return ::MoveFileExW(from, to, flags) != FALSE;
}

DWORD CWin32Platform::GetAttributes(const wchar_t* path) {
    return ::GetFileAttributesW(path);
}

bool CWin32Platform::SetAttributes(const wchar_t* path, DWORD attributes) {
    return ::SetFileAttributesW(path, attributes) != FALSE;
}

std::unique_ptr<ISetupFolderWalk> CWin32Platform::ListFolder(const wchar_t* pattern) {
    return std::make_unique<CWin32FolderWalk>(pattern);
}

std::unique_ptr<ISetupAppendFile> CWin32Platform::OpenAppendFile(const wchar_t* path) {
    fw::UniqueHandle file = OpenFile(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT);
    BY_HANDLE_FILE_INFORMATION info;
    if (!file || !::GetFileInformationByHandle(file.get(), &info)) return nullptr;
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return std::make_unique<CWin32AppendFile>(std::move(file));
}

bool CWin32Platform::ReadWholeFile(const wchar_t* path, DWORD maxBytes, fw::HeapArray<char>& data) {
    fw::UniqueHandle file = OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
    LARGE_INTEGER size;
    if (!file || !::GetFileSizeEx(file.get(), &size)) return false;
    if (size.QuadPart > maxBytes) {
        ::SetLastError(ERROR_FILE_TOO_LARGE);
        return false;
    }
    const DWORD bytes = static_cast<DWORD>(size.QuadPart);
    fw::HeapArray<char> buffer(bytes + 1);  // never empty, so an empty file reads too
    DWORD read = 0;
    if (!buffer) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    if (bytes && (!::ReadFile(file.get(), buffer.get(), bytes, &read, nullptr) || read != bytes)) return false;
    data = std::move(buffer);
    return true;
}

bool CWin32Platform::WriteNewFile(const wchar_t* path, const char* data, DWORD size) {
    fw::UniqueHandle file = OpenFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    DWORD written = 0;
    return file && ::WriteFile(file.get(), data, size, &written, nullptr) && written == size &&
           ::FlushFileBuffers(file.get());
}

bool CWin32Platform::CreatePrivateFolder(const wchar_t* path) {
    // Full control for the system and the administrators, nothing inherited from the parent.
    CLocalSecurityDescriptor descriptor(L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
    if (!descriptor.get()) return false;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor.get(), FALSE};
    return ::CreateDirectoryW(path, &attributes) != FALSE;
}

bool CWin32Platform::GetTempFolder(wchar_t (&path)[MAX_PATH]) {
    const DWORD length = ::GetTempPathW(MAX_PATH, path);
    if (length > 0 && length < MAX_PATH) return true;
    path[0] = L'\0';
    return false;
}

bool CWin32Platform::GetVersionInfo(OSVERSIONINFOEXW* info) {
    return ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(info)) != FALSE;
}

bool CWin32Platform::GetSpecialFolder(int csidl, wchar_t (&path)[MAX_PATH]) {
    return ::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE) != FALSE;
}

std::unique_ptr<ISetupRegistryKey> CWin32Platform::OpenKey(HKEY root, const wchar_t* path) {
    fw::UniqueRegKey key;
    if (!RegSucceeded(::RegOpenKeyExW(root, path, 0, KEY_WRITE | KEY_QUERY_VALUE, key.put()))) return nullptr;
    return std::make_unique<CWin32RegistryKey>(std::move(key));
}

std::unique_ptr<ISetupRegistryKey> CWin32Platform::CreateKey(HKEY root, const wchar_t* path) {
    fw::UniqueRegKey key;
    if (!RegSucceeded(::RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_QUERY_VALUE,
                                        nullptr, key.put(), nullptr)))
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

bool CWin32Platform::StartProcess(wchar_t* commandLine, WORD showWindow, DWORD creationFlags,
                                  const wchar_t* currentFolder) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    PROCESS_INFORMATION raw = {};
    if (!::CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, creationFlags, nullptr, currentFolder,
                          &startup, &raw))
        return false;
    fw::UniqueProcessInformation owned{fw::UniqueHandle(raw.hProcess), fw::UniqueHandle(raw.hThread)};
    return true;
}

bool CWin32Platform::StartThroughShell(const wchar_t* program, const wchar_t* folder) {
    return StartThroughDesktopShell(program, folder);
}

HWND CWin32Platform::FindTopWindow(const wchar_t* title) {
    return ::FindWindowW(nullptr, title);
}

bool CWin32Platform::SendCloseMessage(HWND window, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
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
