#include "engine/install/InstallPlan.h"

#include <shlobj.h>

#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/FileTables.h"
#include "engine/platform/OutsideComponents.h"
#include "engine/platform/RegistryPaths.h"
#include "engine/platform/SetupPlatform.h"
#include "engine/record/InstallRecord.h"

namespace {

bool Lacks(const CNameList& files, const wchar_t* folder, const wchar_t* name) {
    if (files.Contains(name)) return false;
    LogLine({L"The payload lacks ", folder, name, L": nothing was touched"});
    return true;
}

// A path of the install that would not fit its buffer: the install is refused, not cut.
class CPathCheck {
public:
    bool Fits(const wchar_t* pattern, std::initializer_list<const wchar_t*> args) {
        wchar_t path[MAX_PATH];
        if (FormatTextInto(path, MAX_PATH, pattern, args)) return true;
        if (m_ok) {
            LogLine({L"A path of the install does not fit (", *(args.end() - 1), L"): nothing was touched"});
        }
        m_ok = false;
        return false;
    }
    bool Ok() const { return m_ok; }

private:
    bool m_ok = true;
};

}  // namespace

bool UsesVistaLibraryVariant(const OSVERSIONINFOEXW& version) {
    return version.dwMajorVersion == 6 &&
           (version.dwMinorVersion == 0 ||
            (version.dwMinorVersion == 1 && version.wProductType != VER_NT_WORKSTATION));
}

bool CInstallPlan::CheckPayload(const wchar_t* pszSetupDir, const SetupConfig& config) {
    ISetupPlatform& os = SetupPlatform();
    // The run-time library variant by system version; a failed query counts as all zero.
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!os.GetVersionInfo(&version)) {
        version = {};
        version.dwOSVersionInfoSize = sizeof version;
    }
    m_vistaVariant = UsesVistaLibraryVariant(version);

    wchar_t application[MAX_PATH];
    wchar_t vista[MAX_PATH];
    if (!FormatText(application, L"%s%s\\", pszSetupDir, kPayloadAppFolderName) ||
        !FormatText(vista, L"%s%s\\", application, kPayloadVistaFolderName)) {
        LogLine({L"The setup folder's path ", pszSetupDir, L" is too long: nothing was touched"});
        return false;
    }
    wchar_t images[MAX_PATH];
    if (!m_setupFiles.ReadFolder(pszSetupDir) || !m_applicationFiles.ReadFolder(application) ||
        !FormatText(images, L"%s%s", application, kImagesFolderName) || !m_imageFiles.ReadFolder(images) ||
        (m_vistaVariant && !m_vistaFiles.ReadFolder(vista))) {
        LogLine({L"The payload in ", pszSetupDir, L" could not be read: nothing was touched"});
        return false;
    }

    // What the installation cannot do without: the removal program with its configuration and
    // the language libraries that make sure it has words, the application and its libraries.
    if (Lacks(m_setupFiles, pszSetupDir, kSetupFileName) || Lacks(m_setupFiles, pszSetupDir, kSetupIniFileName))
        return false;
    for (std::size_t i = 0; i < kRequiredLangLibCount; ++i) {
        if (Lacks(m_setupFiles, pszSetupDir, g_szLangLibFiles[i])) return false;
    }
    if (Lacks(m_applicationFiles, application, config.szAppFileName) ||
        Lacks(m_applicationFiles, application, kRuntimeMingw))
        return false;
    const wchar_t* variantFolder = m_vistaVariant ? vista : application;
    const CNameList& variant = VariantFiles();
    if (Lacks(variant, variantFolder, kRuntimeLibeay) || Lacks(variant, variantFolder, kRuntimeSsleay)) return false;
    return !(m_vistaVariant && Lacks(variant, variantFolder, kRuntimeZlib));
}

bool CInstallPlan::CheckPaths(const wchar_t* pszSetupDir, const SetupConfig& config) {
    const wchar_t* install = config.szInstallDir;
    const wchar_t* uninstall = kUninstallFolderName;
    CPathCheck check;
    for (const auto& name : g_szLangLibFiles) check.Fits(L"%s\\%s\\%s", {install, uninstall, name});
    for (const auto& name : g_szAppImageFiles) check.Fits(L"%s\\%s", {install, name});
    for (const wchar_t* name : {kSetupFileName, kSetupIniFileName}) check.Fits(L"%s\\%s\\%s", {install, uninstall, name});
    check.Fits(L"%s\\%s\\%s.new", {install, uninstall, kInstallRecordFileName});
    check.Fits(L"%s\\%s\\%s\\99999", {install, uninstall, kBackupFolderName});
    for (const wchar_t* name : {config.szAppFileName, kAppConfigFileName, kServiceSetupFileName})
        check.Fits(L"%s\\%s", {install, name});
    for (std::size_t i = 0; i < m_imageFiles.Count(); ++i) {
        check.Fits(L"%s\\%s\\%s", {install, kImagesFolderName, m_imageFiles.Name(i)});
        check.Fits(L"%s%s\\%s\\%s", {pszSetupDir, kPayloadAppFolderName, kImagesFolderName, m_imageFiles.Name(i)});
    }
    // The Run value's data, and the shortcuts in the all-users folders.
    check.Fits(L"\"%s\\%s\" %s", {install, config.szAppFileName, kAppAutoStartArgument});
    wchar_t folder[MAX_PATH];
    if (SetupPlatform().GetSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY, folder))
        check.Fits(L"%s\\%s.lnk", {folder, config.szAppName});
    if (SetupPlatform().GetSpecialFolder(CSIDL_COMMON_PROGRAMS, folder)) {
        check.Fits(L"%s\\%s\\%s.lnk", {folder, config.szAppName, config.szAppName});
        check.Fits(L"%s\\%s\\%s.lnk", {folder, config.szAppName, uninstall});
    }
    return check.Ok();
}

bool CInstallPlan::Prepare(const wchar_t* pszSetupDir, const SetupConfig& config) {
    if (!CheckPayload(pszSetupDir, config) || !CheckPaths(pszSetupDir, config)) return false;

    ISetupPlatform& os = SetupPlatform();
    const DWORD attributes = os.GetAttributes(config.szInstallDir);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        LogLine({L"The install folder's place ", config.szInstallDir, L" is taken by a file: nothing was touched"});
        return false;
    }
    // An earlier installation: what its own setup.ini named, so that its shortcuts and its Run
    // value under another application name do not stay behind.
    wchar_t earlierDir[MAX_PATH];
    wchar_t earlierIni[MAX_PATH];
    if (FormatText(earlierDir, L"%s\\%s\\", config.szInstallDir, kUninstallFolderName) &&
        FormatText(earlierIni, L"%s%s", earlierDir, kSetupIniFileName) &&
        os.GetAttributes(earlierIni) != INVALID_FILE_ATTRIBUTES) {
        ReadSetupConfig(earlierDir, m_earlier);
        m_hasEarlier = true;
        // Its names build paths and find shortcuts as the current ones do, and pass the same
        // checks; a refused one names nothing.
        if (!IsPlainFileName(m_earlier.szAppFileName)) {
            LogLine({L"APPFileName \"", m_earlier.szAppFileName, L"\" of the earlier setup.ini refused: not a plain file name"});
            m_earlier.szAppFileName[0] = L'\0';
        }
        if (!IsPlainFileName(m_earlier.szAppName)) {
            LogLine({L"AppName \"", m_earlier.szAppName, L"\" of the earlier setup.ini refused: not a plain file name"});
            m_earlier.szAppName[0] = L'\0';
        }
    }
    return true;
}
