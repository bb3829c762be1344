#include "engine/install/InstallFiles.h"

#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/Environment.h"
#include "engine/platform/FileTables.h"
#include "engine/platform/FolderWalk.h"
#include "engine/platform/OutsideComponents.h"
#include "engine/platform/SetupPlatform.h"

namespace {

// The copies of one install, into folders that may be new (nothing in them can be in the way).
class CCopier {
public:
    CCopier(const wchar_t* setupDir, const wchar_t* installDir, CInstallChanges& changes)
        : m_setupDir(setupDir), m_installDir(installDir), m_changes(changes) {}

    // source: the payload folder under the setup folder ("" for the setup folder itself, or
    // "Application", "Application\vista", "Application\Images"); subfolder of the install or null.
    bool Copy(const wchar_t* source, const wchar_t* name, const wchar_t* subfolder, bool targetIsNew) {
        wchar_t from[MAX_PATH];
        wchar_t to[MAX_PATH];
        const bool fits = FormatText(from, L"%s%s%s%s", m_setupDir, source, source[0] ? L"\\" : L"", name) &&
                          (subfolder ? FormatText(to, L"%s\\%s\\%s", m_installDir, subfolder, name)
                                     : FormatText(to, L"%s\\%s", m_installDir, name));
        if (!fits) {
            LogLine({L"A path for ", name, L" in ", m_installDir, L" does not fit: refused"});
            return false;
        }
        ULONGLONG size = 0;
        if (!m_changes.CopyIn(from, to, targetIsNew, size)) return false;
        m_bytes += size;
        return true;
    }
    ULONGLONG Bytes() const { return m_bytes; }

private:
    const wchar_t* m_setupDir;
    const wchar_t* m_installDir;
    CInstallChanges& m_changes;
    ULONGLONG m_bytes = 0;
};

// Empties the installed images folder: each file goes aside, so that an undo brings it back, and
// a link to a file goes aside as a link. Subfolders are not entered, and a link to a folder stays:
// what it points to is not the install's.
bool EmptyImagesFolder(const wchar_t* imagesDir, CInstallChanges& changes) {
    return ForEachFolderEntry(imagesDir, [&](const SetupFolderEntry& entry) {
        wchar_t path[MAX_PATH];
        if (!FormatText(path, L"%s\\%s", imagesDir, entry.name)) return false;
        if (!entry.IsFolder()) return changes.Remove(path);
        if (entry.IsLink()) LogLine({L"A link, not deleted: ", path});
        return true;
    });
}

}  // namespace

bool InstallFiles(const wchar_t* pszSetupDir, const SetupConfig& config, const CInstallPlan& plan,
                  CInstallChanges& changes, ULONGLONG& installedBytes) {
    const wchar_t* install = config.szInstallDir;
    const bool fresh = changes.CreatedInstallFolder();
    CCopier copier(pszSetupDir, install, changes);

    wchar_t imagesDir[MAX_PATH];
    bool imagesCreated = false;
    if (!FormatText(imagesDir, L"%s\\%s", install, kImagesFolderName)) return false;
    // The images folder a link: the link goes aside as a link, and the images into a folder of
    // the install's own, not into whatever it points to.
    const DWORD images = SetupPlatform().GetAttributes(imagesDir);
    if (images != INVALID_FILE_ATTRIBUTES && (images & FILE_ATTRIBUTE_REPARSE_POINT)) {
        LogLine({L"The images folder ", imagesDir, L" is a link: set aside as a link"});
        if (!changes.Remove(imagesDir)) return false;
    }
    if (!changes.EnsureFolder(imagesDir, &imagesCreated)) return false;

    // The uninstall copy of this program with its configuration and every language library that
    // the payload holds, so that the removal speaks the user's language.
    if (!copier.Copy(L"", kSetupFileName, kUninstallFolderName, fresh) ||
        !copier.Copy(L"", kSetupIniFileName, kUninstallFolderName, fresh) ||
        !copier.Copy(L"", kSetupIniFileName, nullptr, fresh))
        return false;
    for (const auto& name : g_szLangLibFiles) {
        if (plan.SetupFiles().Contains(name) && !copier.Copy(L"", name, kUninstallFolderName, fresh)) return false;
    }

    // The images folder holds what the payload's holds, nothing older.
    // Emptied of its files: no copy into it can replace anything.
    if (!imagesCreated && !EmptyImagesFolder(imagesDir, changes)) return false;
    wchar_t payloadImages[MAX_PATH];
    if (!FormatText(payloadImages, L"%s\\%s", kPayloadAppFolderName, kImagesFolderName)) return false;
    for (std::size_t i = 0; i < plan.ImageFiles().Count(); ++i) {
        if (!copier.Copy(payloadImages, plan.ImageFiles().Name(i), kImagesFolderName, true)) return false;
    }

    // The application and its run-time libraries, of the variant for this system.
    if (!copier.Copy(kPayloadAppFolderName, kRuntimeMingw, nullptr, fresh) ||
        !copier.Copy(kPayloadAppFolderName, config.szAppFileName, nullptr, fresh))
        return false;
    wchar_t vista[MAX_PATH];
    if (!FormatText(vista, L"%s\\%s", kPayloadAppFolderName, kPayloadVistaFolderName)) return false;
    const wchar_t* variant = plan.VistaVariant() ? vista : kPayloadAppFolderName;
    if (!copier.Copy(variant, kRuntimeLibeay, nullptr, fresh) || !copier.Copy(variant, kRuntimeSsleay, nullptr, fresh))
        return false;
    if (plan.VistaVariant() && !copier.Copy(variant, kRuntimeZlib, nullptr, fresh)) return false;

    // The application's images that the payload holds.
    for (const auto& name : g_szAppImageFiles) {
        if (!plan.ApplicationFiles().Contains(name)) {
            LogLine({L"Not in the payload, skipped: ", pszSetupDir, kPayloadAppFolderName, L"\\", name});
        } else if (!copier.Copy(kPayloadAppFolderName, name, nullptr, fresh)) {
            return false;
        }
    }

    // The service setup program, in service mode only; without it the service install fails.
    if (g_bVista) {
        if (plan.ApplicationFiles().Contains(kServiceSetupFileName)) {
            if (!copier.Copy(kPayloadAppFolderName, kServiceSetupFileName, nullptr, fresh)) return false;
        } else {
            LogLine({L"Not in the payload: ", pszSetupDir, kPayloadAppFolderName, L"\\", kServiceSetupFileName});
        }
    }
    installedBytes = copier.Bytes();
    FlushSetupLog();
    return true;
}
