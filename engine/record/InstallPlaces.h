// The places that belong to an installation, and nothing else: what its install record names is a
// claim, acted on only when it falls inside them. They are the install folder (compared after
// "." and ".." are resolved; the folder itself or below it), the Start-menu folder named after
// the application's current or an earlier name with the shortcuts in it, the application's
// shortcut on the all-users and on the running user's desktop, the uninstall entry named after
// the install folder, a Run value whose data starts a program of the install folder, and the
// compatibility assistant's marks of the install folder's programs.
#pragma once

#include <windows.h>

#include <cstddef>

#include "engine/platform/SetupConfig.h"
#include "engine/record/RecordList.h"

class CInstallPlaces {
public:
    // The places of the installation that config names (its install folder must be set).
    explicit CInstallPlaces(const SetupConfig& config);
    CInstallPlaces(const CInstallPlaces&) = delete;
    CInstallPlaces& operator=(const CInstallPlaces&) = delete;

    // An application name of an earlier setup.ini: taken when it is a plain file name, as the
    // current one must be.
    void AddAppName(const wchar_t* name);
    // The names of the installation's own Uninstall\setup.ini and of every earlier setup.ini that
    // list moved aside inside the install folder (an upgrade that did not complete).
    void AddNamesOfEarlierInstalls(const CRecordList& list);

    const wchar_t* InstallDir() const { return m_installDir; }
    const wchar_t* BackupRoot() const { return m_backupRoot; }

    // Whether the entry at index names one of the places (a moved file: its place and, inside the
    // backup folder, its backup). When not, the entry is logged as left alone.
    bool Owns(const CRecordList& list, std::size_t index) const;
    // path as a full path with "." and ".." resolved, when it is one of the places.
    bool OwnsPath(const wchar_t* path, wchar_t (&resolved)[MAX_PATH]) const;
    bool OwnsKey(const wchar_t* rootedKey) const;
    bool OwnsValue(const wchar_t* rootedKey, const wchar_t* name) const;
    // Whether an undo may set an owned value back to earlier (a record's "sz:..."): a Run value
    // that is gone only to start the install folder's program.
    bool MaySetBack(const wchar_t* rootedKey, const wchar_t* name, const wchar_t* earlier) const;
    // The compatibility assistant's key, which other programs' marks share: deleted only empty.
    bool IsSharedKey(const wchar_t* rootedKey) const;
    // Whether a folder on the way from the place's own folder down to path (a resolved path of
    // the places) is a link: what lies below it is elsewhere.
    bool IsReachedThroughLink(const wchar_t* resolvedPath) const;

private:
    static constexpr std::size_t kMaxNames = 8;
    bool NamesInstalledProgram(const wchar_t* data) const;
    bool IsNamed(const wchar_t* name, std::size_t length) const;
    bool IsShortcutPlace(const wchar_t* path) const;
    // The folder that holds a resolved place: the install folder, a desktop or Start-menu folder.
    bool RootOf(const wchar_t* path, wchar_t (&root)[MAX_PATH]) const;
    void LoadSpecialFolders() const;

    wchar_t m_installDir[MAX_PATH] = {};
    wchar_t m_backupRoot[MAX_PATH] = {};
    wchar_t m_entryKey[1024] = {};
    wchar_t m_runKey[1024] = {};
    wchar_t m_compatKey[1024] = {};
    wchar_t m_names[kMaxNames][MAX_PATH] = {};
    std::size_t m_nameCount = 0;
    // Asked only when a shortcut is checked: a first install asks for no user's folder.
    mutable bool m_specialLoaded = false;
    mutable wchar_t m_programs[MAX_PATH] = {};
    mutable wchar_t m_desktops[2][MAX_PATH] = {};
};

// path as a full path with "." and ".." resolved; false for anything but a path from a drive's
// root ("C:\...") or one that does not fit.
bool ResolveFullPath(const wchar_t* path, wchar_t (&resolved)[MAX_PATH]);
