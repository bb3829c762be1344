// What an install can know before it touches anything, checked before its first change: the
// payload holds every file that the install must copy, every path fits, the install folder's place
// is free or holds a folder; and what an earlier installation in that folder was.
#pragma once

#include <windows.h>

#include "engine/install/NameList.h"
#include "engine/platform/SetupConfig.h"

class CInstallPlan {
public:
    CInstallPlan() = default;
    CInstallPlan(const CInstallPlan&) = delete;
    CInstallPlan& operator=(const CInstallPlan&) = delete;

    // Logs the first problem and returns false: nothing may then be touched. pszSetupDir ends
    // with a backslash.
    bool Prepare(const wchar_t* pszSetupDir, const SetupConfig& config);

    const CNameList& SetupFiles() const { return m_setupFiles; }              // beside setup.exe
    const CNameList& ApplicationFiles() const { return m_applicationFiles; }  // in "Application"
    const CNameList& VariantFiles() const { return m_vistaVariant ? m_vistaFiles : m_applicationFiles; }
    const CNameList& ImageFiles() const { return m_imageFiles; }              // in "Application\Images"
    // The run-time libraries of NT 6.0 and NT 6.1 server editions, from "Application\vista".
    bool VistaVariant() const { return m_vistaVariant; }

    // The earlier installation in the install folder, as its own Uninstall\setup.ini names it.
    bool HasEarlier() const { return m_hasEarlier; }
    const SetupConfig& Earlier() const { return m_earlier; }

private:
    bool CheckPayload(const wchar_t* pszSetupDir, const SetupConfig& config);
    bool CheckPaths(const wchar_t* pszSetupDir, const SetupConfig& config);

    CNameList m_setupFiles;
    CNameList m_applicationFiles;
    CNameList m_vistaFiles;
    CNameList m_imageFiles;
    bool m_vistaVariant = false;
    bool m_hasEarlier = false;
    SetupConfig m_earlier{};
};

// The library variant of NT 6.0 (every product type) and NT 6.1 server editions.
bool UsesVistaLibraryVariant(const OSVERSIONINFOEXW& version);
