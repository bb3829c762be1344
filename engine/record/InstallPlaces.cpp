#include "engine/record/InstallPlaces.h"

#include <shlobj.h>

#include <cwchar>

#include "base/NameCompare.h"
#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/Environment.h"
#include "engine/platform/OutsideComponents.h"
#include "engine/platform/RegistryPaths.h"
#include "engine/platform/SetupPlatform.h"
#include "engine/record/InstallRecord.h"

namespace {

constexpr wchar_t kShortcutExtension[] = L".lnk";

bool EndsWithNoCase(const wchar_t* text, std::size_t length, const wchar_t* tail) {
    const std::size_t tailLength = std::wcslen(tail);
    return length >= tailLength && EqualsNoCase(text + length - tailLength, tailLength, tail, tailLength);
}

// The folder part of path: its length up to its last backslash.
std::size_t FolderLength(const wchar_t* path) {
    const wchar_t* slash = std::wcsrchr(path, L'\\');
    return slash ? static_cast<std::size_t>(slash - path) : 0;
}

bool IsFolderOf(const wchar_t* path, const wchar_t* folder) {
    const std::size_t length = FolderLength(path);
    return length > 0 && EqualsNoCase(path, length, folder, std::wcslen(folder));
}

}  // namespace

bool ResolveFullPath(const wchar_t* path, wchar_t (&resolved)[MAX_PATH]) {
    resolved[0] = L'\0';
    // Only a path from a drive's root: a relative one would mean wherever setup runs, and other
    // forms ("\\?\", "\\server\") reach places that no install makes.
    const bool driveRooted = ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
                             path[1] == L':' && path[2] == L'\\';
    if (!driveRooted) return false;
    const DWORD length = ::GetFullPathNameW(path, MAX_PATH, resolved, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        resolved[0] = L'\0';
        return false;
    }
    // A device name resolves to "\\.\"; it is no place of an install.
    return resolved[1] == L':';
}

CInstallPlaces::CInstallPlaces(const SetupConfig& config) {
    if (!ResolveFullPath(config.szInstallDir, m_installDir) ||
        !FormatText(m_backupRoot, L"%s\\%s\\%s", m_installDir, kUninstallFolderName, kBackupFolderName))
        m_installDir[0] = m_backupRoot[0] = L'\0';
    if (!FormatUninstallEntryKey(config, m_entryKey)) m_entryKey[0] = L'\0';
    wchar_t run[1024];
    if (!FormatRunKey(run) || !FormatText(m_runKey, L"HKLM\\%s", run)) m_runKey[0] = L'\0';
    if (!FormatText(m_compatKey, L"HKCU\\%s", kCompatAssistantPersistedKey)) m_compatKey[0] = L'\0';
    AddAppName(config.szAppName);
}

void CInstallPlaces::AddAppName(const wchar_t* name) {
    if (!IsPlainFileName(name) || m_nameCount == kMaxNames || IsNamed(name, std::wcslen(name))) return;
    if (CopyText(m_names[m_nameCount], name)) ++m_nameCount;
}

void CInstallPlaces::AddNamesOfEarlierInstalls(const CRecordList& list) {
    if (!m_installDir[0]) return;
    wchar_t own[MAX_PATH];
    SetupConfig earlier;
    if (FormatText(own, L"%s\\%s\\%s", m_installDir, kUninstallFolderName, kSetupIniFileName) &&
        SetupPlatform().GetAttributes(own) != INVALID_FILE_ATTRIBUTES && ReadSetupConfigFile(own, earlier))
        AddAppName(earlier.szAppName);
    // An upgrade moves the earlier setup.ini aside before it takes the earlier shortcuts away.
    for (std::size_t i = 0; i < list.Count(); ++i) {
        wchar_t backup[MAX_PATH];
        const wchar_t* moved = list.Field(i, 0);
        const std::size_t length = std::wcslen(moved);
        if (list.Kind(i) != RecordKind::Moved || !EndsWithNoCase(moved, length, L"\\setup.ini") ||
            !IsInside(moved, m_installDir) || !ResolveFullPath(list.Field(i, 1), backup) ||
            !IsInside(backup, m_backupRoot) || IsReachedThroughLink(backup))
            continue;
        if (SetupPlatform().GetAttributes(backup) != INVALID_FILE_ATTRIBUTES && ReadSetupConfigFile(backup, earlier))
            AddAppName(earlier.szAppName);
    }
}

bool CInstallPlaces::IsNamed(const wchar_t* name, std::size_t length) const {
    for (std::size_t i = 0; i < m_nameCount; ++i) {
        if (EqualsNoCase(name, length, m_names[i], std::wcslen(m_names[i]))) return true;
    }
    return false;
}

void CInstallPlaces::LoadSpecialFolders() const {
    if (m_specialLoaded) return;
    m_specialLoaded = true;
    ISetupPlatform& os = SetupPlatform();
    wchar_t folder[MAX_PATH];
    // Resolved as the paths they are compared with; a folder that cannot be had has no places.
    if (os.GetSpecialFolder(CSIDL_COMMON_PROGRAMS, folder)) ResolveFullPath(folder, m_programs);
    if (os.GetSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY, folder)) ResolveFullPath(folder, m_desktops[0]);
    if (os.GetSpecialFolder(CSIDL_DESKTOPDIRECTORY, folder)) ResolveFullPath(folder, m_desktops[1]);
}

bool CInstallPlaces::IsShortcutPlace(const wchar_t* path) const {
    LoadSpecialFolders();
    const std::size_t folder = FolderLength(path);
    if (folder == 0) return false;
    const wchar_t* leaf = path + folder + 1;
    const std::size_t leafLength = std::wcslen(leaf);
    const std::size_t extension = std::wcslen(kShortcutExtension);
    const bool shortcut = leafLength > extension && EndsWithNoCase(leaf, leafLength, kShortcutExtension);
    // "<desktop>\<name>.lnk"
    for (const wchar_t* desktop : m_desktops) {
        if (desktop[0] && shortcut && IsFolderOf(path, desktop) && IsNamed(leaf, leafLength - extension)) return true;
    }
    // "<programs>\<name>" and the shortcuts in it.
    if (!m_programs[0] || !IsInside(path, m_programs)) return false;
    const wchar_t* name = path + std::wcslen(m_programs) + 1;
    const wchar_t* slash = std::wcschr(name, L'\\');
    if (!slash) return IsNamed(name, std::wcslen(name));
    return shortcut && slash == leaf - 1 && IsNamed(name, static_cast<std::size_t>(slash - name));
}

bool CInstallPlaces::OwnsPath(const wchar_t* path, wchar_t (&resolved)[MAX_PATH]) const {
    if (!m_installDir[0] || !ResolveFullPath(path, resolved)) return false;
    return IsSameOrInside(resolved, m_installDir) || IsShortcutPlace(resolved);
}

bool CInstallPlaces::RootOf(const wchar_t* path, wchar_t (&root)[MAX_PATH]) const {
    if (IsSameOrInside(path, m_installDir)) return CopyText(root, m_installDir);
    LoadSpecialFolders();
    for (const wchar_t* desktop : m_desktops) {
        if (desktop[0] && IsFolderOf(path, desktop)) return CopyText(root, desktop);
    }
    if (!m_programs[0] || !IsInside(path, m_programs)) return false;
    // The Start-menu folder itself: "<programs>\<name>".
    const wchar_t* name = path + std::wcslen(m_programs) + 1;
    const wchar_t* end = std::wcschr(name, L'\\');
    const std::size_t length = end ? static_cast<std::size_t>(end - path) : std::wcslen(path);
    if (length >= MAX_PATH) return false;
    std::wmemcpy(root, path, length);
    root[length] = L'\0';
    return true;
}

bool CInstallPlaces::IsReachedThroughLink(const wchar_t* resolvedPath) const {
    wchar_t root[MAX_PATH];
    if (!RootOf(resolvedPath, root)) return true;
    ISetupPlatform& os = SetupPlatform();
    // The place's own folder and every folder below it on the way to path, not path itself.
    wchar_t folder[MAX_PATH];
    if (!CopyText(folder, resolvedPath)) return true;
    const std::size_t rootLength = std::wcslen(root);
    for (std::size_t length = FolderLength(folder); length >= rootLength && length > 0;) {
        folder[length] = L'\0';
        const DWORD attributes = os.GetAttributes(folder);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
        if (length == rootLength) break;
        length = FolderLength(folder);
    }
    return false;
}

bool CInstallPlaces::OwnsKey(const wchar_t* rootedKey) const {
    return (m_entryKey[0] && EqualsNoCase(rootedKey, m_entryKey)) || IsSharedKey(rootedKey);
}

bool CInstallPlaces::IsSharedKey(const wchar_t* rootedKey) const {
    return m_compatKey[0] && EqualsNoCase(rootedKey, m_compatKey);
}

bool CInstallPlaces::NamesInstalledProgram(const wchar_t* data) const {
    // "<install>\<file>" quoted, with arguments after it, or unquoted as installs once wrote it.
    const bool quoted = data[0] == L'"';
    const wchar_t* path = quoted ? data + 1 : data;
    const std::size_t length = std::wcslen(m_installDir);
    if (!IsInside(path, m_installDir)) return false;
    const wchar_t* file = path + length + 1;
    const wchar_t* end = quoted ? std::wcschr(file, L'"') : file + std::wcslen(file);
    if (!end || end == file) return false;
    for (const wchar_t* p = file; p < end; ++p) {
        if (*p == L'\\' || *p == L'/') return false;
    }
    return !(file[0] == L'.' && file[1] == L'.');
}

bool CInstallPlaces::OwnsValue(const wchar_t* rootedKey, const wchar_t* name) const {
    if (!m_installDir[0]) return false;
    if (m_entryKey[0] && EqualsNoCase(rootedKey, m_entryKey)) return true;
    if (IsSharedKey(rootedKey)) {
        // A mark is named by the program's path.
        wchar_t resolved[MAX_PATH];
        return ResolveFullPath(name, resolved) && IsInside(resolved, m_installDir);
    }
    if (!m_runKey[0] || !EqualsNoCase(rootedKey, m_runKey)) return false;
    // By what it holds now: one that starts another program is that program's.
    auto key = OpenRootedKey(rootedKey);
    if (!key) return true;  // none, or one that cannot be read: what is done to it fails alike, and says so
    fw::HeapArray<BYTE> data(4096);
    DWORD type = REG_NONE;
    DWORD bytes = 4096 - sizeof(wchar_t);
    if (!data || !key->QueryValue(name, &type, data.get(), &bytes)) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    return type == REG_SZ && NamesInstalledProgram(reinterpret_cast<const wchar_t*>(data.get()));
}

bool CInstallPlaces::MaySetBack(const wchar_t* rootedKey, const wchar_t* name, const wchar_t* earlier) const {
    if (!m_runKey[0] || !EqualsNoCase(rootedKey, m_runKey)) return true;
    // One that holds the install's own data goes back to what it replaced. One that is gone is
    // made again only to start the install folder's program: a Run value starts what it names at
    // every log-on.
    auto key = OpenRootedKey(rootedKey);
    DWORD type = REG_NONE;
    DWORD bytes = 0;
    if (key && key->QueryValue(name, &type, nullptr, &bytes)) return true;
    return std::wcsncmp(earlier, L"sz:", 3) == 0 && NamesInstalledProgram(earlier + 3);
}

bool CInstallPlaces::Owns(const CRecordList& list, std::size_t index) const {
    const wchar_t* a = list.Field(index, 0);
    const wchar_t* b = list.Field(index, 1);
    wchar_t resolved[MAX_PATH];
    bool owned = true;
    switch (list.Kind(index)) {
    case RecordKind::Folder:
    case RecordKind::File:
        owned = OwnsPath(a, resolved);
        break;
    case RecordKind::Moved:
        owned = OwnsPath(a, resolved) && ResolveFullPath(b, resolved) && IsInside(resolved, m_backupRoot);
        break;
    case RecordKind::Key:
        owned = OwnsKey(a);
        break;
    case RecordKind::Value:
        owned = OwnsValue(a, b);
        break;
    case RecordKind::ServiceReleased:
    case RecordKind::ServiceInstalled:
        // The service setup program is started from there: only the install folder's.
        owned = m_installDir[0] && ResolveFullPath(a, resolved) && EqualsNoCase(resolved, m_installDir);
        break;
    default:
        break;
    }
    if (!owned) {
        LogLine({L"Left alone, outside the installation: ", CRecordList::Word(list.Kind(index)), L" ", a, b[0] ? L" | " : L"",
                 b});
    }
    return owned;
}
