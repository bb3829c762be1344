#include "engine/InstallFiles.h"

#include "engine/Environment.h"
#include "engine/FileTables.h"
#include "engine/InstallRegistry.h"
#include "engine/OutsideComponents.h"
#include "engine/SetupLog.h"
#include "engine/SetupPlatform.h"
#include "framework/TextFormat.h"

namespace {

// What the copies came to: the bytes installed (for the uninstall entry's size) and whether a
// file that the payload holds failed to copy.
struct CopyTally {
    ULONGLONG bytes = 0;
    bool ok = true;
};

// Copies one payload file. A source that the payload lacks is skipped without failing: its copy
// fails at once with "file not found", so no probe is needed before each copy. Only a missing
// source folder looks like a missing target folder, and only then is the source looked for.
void CopyPayloadFile(const wchar_t* from, const wchar_t* to, CopyTally& tally) {
    ISetupPlatform& os = SetupPlatform();
    ULONGLONG size = 0;
    if (os.CopyFile(from, to, &size)) {
        tally.bytes += size;
        LogLine({L"Copied ", from, L" -> ", to});
        return;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || (error == ERROR_PATH_NOT_FOUND && !os.PathExists(from))) {
        LogLine({L"Not in the payload, skipped: ", from});
        return;
    }
    LogFailure({L"Could not copy ", from, L" -> ", to}, error);
    tally.ok = false;
}

bool PathFits(bool fits, const wchar_t* folder, const wchar_t* name) {
    if (!fits) LogLine({L"A path for ", name, L" in ", folder, L" does not fit: refused"});
    return fits;
}

void CreateOneFolder(const wchar_t* folder) {
    if (SetupPlatform().CreateFolder(folder))
        LogLine({L"Created folder ", folder});
    else
        LogFailure({L"Could not create folder ", folder}, ::GetLastError());
}

// Creates folder when missing (one level); returns what was there before.
DWORD EnsureFolder(const wchar_t* folder) {
    const DWORD attributes = SetupPlatform().GetAttributes(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES) CreateOneFolder(folder);
    return attributes;
}

bool IsLink(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
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
    CopyTally tally;
    wchar_t from[MAX_PATH];
    wchar_t to[MAX_PATH];

    // The install folder with its "Uninstall" and "Images" subfolders.
    wchar_t uninstallDir[MAX_PATH];
    wchar_t imagesDir[MAX_PATH];
    if (PathFits(FormatText(uninstallDir, L"%s\\%s", install, kUninstallFolderName), install, kUninstallFolderName)) {
        if (os.GetAttributes(install) == INVALID_FILE_ATTRIBUTES) {
            CreateOneFolder(install);
            CreateOneFolder(uninstallDir);
        } else {
            EnsureFolder(uninstallDir);
        }
    } else {
        tally.ok = false;
    }
    DWORD imagesAttributes = INVALID_FILE_ATTRIBUTES;
    if (PathFits(FormatText(imagesDir, L"%s\\%s", install, kImagesFolderName), install, kImagesFolderName))
        imagesAttributes = EnsureFolder(imagesDir);
    else
        tally.ok = false;
    if (os.GetAttributes(install) == INVALID_FILE_ATTRIBUTES) tally.ok = false;

    // The uninstall copy of this program with its configuration and language libraries.
    auto copySetupFile = [&](const wchar_t* name, const wchar_t* subfolder) {
        const bool fits = FormatText(from, L"%s%s", pszSetupDir, name) &&
                          (subfolder ? FormatText(to, L"%s\\%s\\%s", install, subfolder, name)
                                     : FormatText(to, L"%s\\%s", install, name));
        if (PathFits(fits, install, name)) CopyPayloadFile(from, to, tally);
        else tally.ok = false;
    };
    copySetupFile(kSetupFileName, kUninstallFolderName);
    copySetupFile(kSetupIniFileName, kUninstallFolderName);
    copySetupFile(kSetupIniFileName, nullptr);
    for (std::size_t i = 0; i < kInstalledLangLibCount; ++i) copySetupFile(g_szLangLibFiles[i], kUninstallFolderName);

    // Empty the installed images folder; subfolders are not entered (a file delete fails on them
    // anyway), and nothing is deleted through a link: a linked folder or entry points elsewhere.
    wchar_t pattern[MAX_PATH];
    if (IsLink(imagesAttributes)) {
        LogLine({L"The images folder ", imagesDir, L" is a link: not emptied"});
    } else if (PathFits(FormatText(pattern, L"%s\\%s\\*.*", install, kImagesFolderName), install, kImagesFolderName)) {
        auto walk = os.ListFolder(pattern);
        for (SetupFolderEntry entry; walk->Next(entry);) {
            if (entry.IsFolder() && !entry.IsLink()) continue;
            if (!FormatText(to, L"%s\\%s\\%s", install, kImagesFolderName, entry.name)) continue;
            if (entry.IsLink())
                LogLine({L"A link, not deleted: ", to});
            else if (os.DeleteFile(to))
                LogLine({L"Deleted ", to});
            else
                LogFailure({L"Could not delete ", to}, ::GetLastError());
        }
    } else {
        tally.ok = false;
    }

    // Fill it from the payload's images folder; entries that are not files are not copied.
    if (PathFits(FormatText(pattern, L"%s%s\\%s\\*.*", pszSetupDir, kPayloadAppFolderName, kImagesFolderName),
                 pszSetupDir, kImagesFolderName)) {
        auto walk = os.ListFolder(pattern);
        for (SetupFolderEntry entry; walk->Next(entry);) {
            if (entry.IsFolder()) continue;
            const bool fits = FormatText(from, L"%s%s\\%s\\%s", pszSetupDir, kPayloadAppFolderName, kImagesFolderName,
                                         entry.name) &&
                              FormatText(to, L"%s\\%s\\%s", install, kImagesFolderName, entry.name);
            if (PathFits(fits, imagesDir, entry.name)) CopyPayloadFile(from, to, tally);
            else tally.ok = false;
        }
    } else {
        tally.ok = false;
    }

    // Files of the payload's "Application" folder, installed directly; what the payload lacks is skipped.
    auto copyAppFile = [&](const wchar_t* subfolder, const wchar_t* name) {
        const bool fits = (subfolder ? FormatText(from, L"%s%s\\%s\\%s", pszSetupDir, kPayloadAppFolderName,
                                                  subfolder, name)
                                     : FormatText(from, L"%s%s\\%s", pszSetupDir, kPayloadAppFolderName, name)) &&
                          FormatText(to, L"%s\\%s", install, name);
        if (PathFits(fits, install, name)) CopyPayloadFile(from, to, tally);
        else tally.ok = false;
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
    for (const auto& name : g_szAppImageFiles) copyAppFile(nullptr, name);

    // The service setup program, in service mode only.
    if (g_bVista) copyAppFile(nullptr, kServiceSetupFileName);
    FlushSetupLog();

    // Last, the registry entries.
    const bool registered = WriteInstallRegistry(config, tally.bytes);
    return tally.ok && registered;
}
