#include "engine/InstallFiles.h"

#include "engine/Environment.h"
#include "engine/FileTables.h"
#include "engine/InstallRegistry.h"
#include "engine/OutsideComponents.h"
#include "engine/SetupPlatform.h"
#include "framework/TextFormat.h"

namespace {

// Copies one payload file. A source that the payload lacks is skipped without failing; one that
// it holds but that could not be copied fails the install.
bool CopyPayloadFile(const wchar_t* from, const wchar_t* to) {
    ISetupPlatform& os = SetupPlatform();
    return os.CopyFile(from, to) || !os.PathExists(from);
}

// Creates folder when missing (one level).
void EnsureFolder(const wchar_t* folder) {
    ISetupPlatform& os = SetupPlatform();
    if (!os.PathExists(folder)) os.CreateFolder(folder);
}

}  // namespace

bool UsesVistaLibraryVariant(const OSVERSIONINFOEXW& version) {
    return version.dwMajorVersion == 6 &&
           (version.dwMinorVersion == 0 ||
            (version.dwMinorVersion == 1 && version.wProductType != VER_NT_WORKSTATION));
}

bool InstallFiles(const wchar_t* pszSetupDir, const SetupConfig& config) {
    ISetupPlatform& os = SetupPlatform();
    const wchar_t* install = config.szInstallDir;
    bool ok = true;
    wchar_t from[MAX_PATH];
    wchar_t to[MAX_PATH];

    // The install folder with its "Uninstall" and "Images" subfolders.
    wchar_t uninstallDir[MAX_PATH];
    wchar_t imagesDir[MAX_PATH];
    if (FormatText(uninstallDir, L"%s\\%s", install, kUninstallFolderName)) {
        if (!os.PathExists(install)) {
            os.CreateFolder(install);
            os.CreateFolder(uninstallDir);
        } else {
            EnsureFolder(uninstallDir);
        }
    } else {
        ok = false;
    }
    if (FormatText(imagesDir, L"%s\\%s", install, kImagesFolderName)) EnsureFolder(imagesDir);
    else ok = false;
    if (!os.PathExists(install)) ok = false;

    // The uninstall copy of this program with its configuration and language libraries.
    auto copySetupFile = [&](const wchar_t* name, const wchar_t* subfolder) {
        const bool fits = FormatText(from, L"%s%s", pszSetupDir, name) &&
                          (subfolder ? FormatText(to, L"%s\\%s\\%s", install, subfolder, name)
                                     : FormatText(to, L"%s\\%s", install, name));
        if (!fits || !CopyPayloadFile(from, to)) ok = false;
    };
    copySetupFile(kSetupFileName, kUninstallFolderName);
    copySetupFile(kSetupIniFileName, kUninstallFolderName);
    copySetupFile(kSetupIniFileName, nullptr);
    for (std::size_t i = 0; i < kInstalledLangLibCount; ++i) copySetupFile(g_szLangLibFiles[i], kUninstallFolderName);

    // Empty the installed images folder; subfolders are not entered.
    wchar_t pattern[MAX_PATH];
    if (FormatText(pattern, L"%s\\%s\\*.*", install, kImagesFolderName)) {
        for (const SetupFolderEntry& entry : os.ListFolder(pattern)) {
            if (FormatText(to, L"%s\\%s\\%s", install, kImagesFolderName, entry.name.c_str())) os.DeleteFile(to);
        }
    } else {
        ok = false;
    }

    // Fill it from the payload's images folder; entries that are not files do not copy.
    if (FormatText(pattern, L"%s%s\\%s\\*.*", pszSetupDir, kPayloadAppFolderName, kImagesFolderName)) {
        for (const SetupFolderEntry& entry : os.ListFolder(pattern)) {
            const bool fits = FormatText(from, L"%s%s\\%s\\%s", pszSetupDir, kPayloadAppFolderName, kImagesFolderName,
                                         entry.name.c_str()) &&
                              FormatText(to, L"%s\\%s\\%s", install, kImagesFolderName, entry.name.c_str());
            if (!fits) ok = false;
            else if (!os.CopyFile(from, to) && !entry.isFolder) ok = false;
        }
    } else {
        ok = false;
    }

    // Files of the payload's "Application" folder, installed directly.
    auto copyAppFile = [&](const wchar_t* subfolder, const wchar_t* name) {
        const bool fits = (subfolder ? FormatText(from, L"%s%s\\%s\\%s", pszSetupDir, kPayloadAppFolderName,
                                                  subfolder, name)
                                     : FormatText(from, L"%s%s\\%s", pszSetupDir, kPayloadAppFolderName, name)) &&
                          FormatText(to, L"%s\\%s", install, name);
        if (!fits || !CopyPayloadFile(from, to)) ok = false;
    };
    copyAppFile(nullptr, kRuntimeMingw);
    copyAppFile(nullptr, config.szAppFileName);

    // The run-time library variant by system version; a failed query counts as all zero.
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!os.GetVersionInfo(&version)) {
        version = {};
        version.dwOSVersionInfoSize = sizeof version;
    }
    if (UsesVistaLibraryVariant(version)) {
        copyAppFile(kPayloadVistaFolderName, kRuntimeLibeay);
        copyAppFile(kPayloadVistaFolderName, kRuntimeSsleay);
        copyAppFile(kPayloadVistaFolderName, kRuntimeZlib);
    } else {
        copyAppFile(nullptr, kRuntimeLibeay);
        copyAppFile(nullptr, kRuntimeSsleay);
    }

    // The application's images that the payload holds.
    for (const auto& name : g_szAppImageFiles) {
        if (!FormatText(from, L"%s%s\\%s", pszSetupDir, kPayloadAppFolderName, name)) {
            ok = false;
            continue;
        }
        if (os.PathExists(from)) copyAppFile(nullptr, name);
    }

    // The service setup program, in service mode only.
    if (g_bVista) copyAppFile(nullptr, kServiceSetupFileName);

    // Last, the registry entries.
    if (!WriteInstallRegistry(config)) ok = false;
    return ok;
}
