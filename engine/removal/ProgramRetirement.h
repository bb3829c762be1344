// The files that the running removal program cannot delete while it runs: its own program file and
// its language library, in the installed "Uninstall" folder. A running program's file may be
// renamed on its volume, so they leave the install folder for a folder of their own in the
// temporary folder, made for administrators only, and are deleted at the next restart.
#pragma once

#include <windows.h>

class CProgramRetirement {
public:
    // pszName names the folder: "<name>-removal-<n>" in the temporary folder.
    explicit CProgramRetirement(const wchar_t* pszName);
    CProgramRetirement(const CProgramRetirement&) = delete;
    CProgramRetirement& operator=(const CProgramRetirement&) = delete;

    // Moves path out (or, when it cannot move, marks it to be deleted at the next restart where it
    // is); false when neither could be done.
    bool Retire(const wchar_t* path);
    // Marks the folder for deletion at the next restart after its files; and the folders that a
    // file could not leave, which are empty by then.
    void Finish(const wchar_t* pszUninstallDir, const wchar_t* pszInstallDir);

private:
    bool MakeFolder();

    wchar_t m_name[MAX_PATH];
    wchar_t m_folder[MAX_PATH] = {};
    bool m_folderTried = false;
    bool m_leftInPlace = false;
};
