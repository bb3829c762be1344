#include "engine/install/Shortcuts.h"

#include <shlobj.h>

#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/SetupPlatform.h"
#include "engine/platform/ShortcutPaths.h"

namespace {

// A shell link with its target and arguments, or null (logged).
std::unique_ptr<ISetupShellLink> NewLinkTo(const wchar_t* target, const wchar_t* arguments) {
    auto link = SetupPlatform().NewShellLink();
    if (!link) {
        LogFailure({L"No shell-link object for a shortcut to ", target}, ::GetLastError());
        return nullptr;
    }
    if (!link->SetPath(target)) {
        LogFailure({L"The shell link refused the target ", target}, ::GetLastError());
        return nullptr;
    }
    if (arguments) link->SetArguments(arguments);
    return link;
}

bool SaveLink(ISetupShellLink& link, const wchar_t* path, const wchar_t* target, const wchar_t* arguments,
              CInstallChanges& changes) {
    if (!changes.SaveShortcut(link, path)) return false;
    LogLine({L"Created shortcut ", path, L" -> ", target, arguments ? L" " : L"", arguments ? arguments : L""});
    return true;
}

}  // namespace

bool CreateDesktopShortcut(const wchar_t* pszTarget, const wchar_t* pszLinkName, CInstallChanges& changes) {
    wchar_t path[MAX_PATH];
    if (!FormatDesktopLink(CSIDL_COMMON_DESKTOPDIRECTORY, pszLinkName, path)) return false;
    auto link = NewLinkTo(pszTarget, nullptr);
    return link && SaveLink(*link, path, pszTarget, nullptr, changes);
}

bool CreateProgramsShortcut(const wchar_t* pszFolder, const wchar_t* pszTarget, const wchar_t* pszLinkName,
                            const wchar_t* pszArguments, CInstallChanges& changes) {
    wchar_t folder[MAX_PATH];
    wchar_t path[MAX_PATH];
    if (!FormatProgramsLink(pszFolder, pszLinkName, folder, path) || !changes.EnsureFolder(folder)) return false;
    auto link = NewLinkTo(pszTarget, pszArguments);
    return link && SaveLink(*link, path, pszTarget, pszArguments, changes);
}
