#include "engine/Shortcuts.h"

#include <shlobj.h>

#include "base/TextFormat.h"
#include "engine/SetupLog.h"
#include "engine/SetupPlatform.h"

namespace {

bool SpecialFolder(int csidl, wchar_t (&folder)[MAX_PATH]) {
    if (SetupPlatform().GetSpecialFolder(csidl, folder) && folder[0]) return true;
    LogFailure({L"No special folder ", NumberText(static_cast<unsigned>(csidl)), L" for the shortcuts"},
               ::GetLastError());
    return false;
}

bool Fits(bool fits, const wchar_t* linkName) {
    if (!fits) LogLine({L"The shortcut path for \"", linkName, L"\" does not fit: refused"});
    return fits;
}

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

bool FormatDesktopLink(int csidl, const wchar_t* pszLinkName, wchar_t (&link)[MAX_PATH]) {
    wchar_t desktop[MAX_PATH];
    return SpecialFolder(csidl, desktop) && Fits(FormatText(link, L"%s\\%s.lnk", desktop, pszLinkName), pszLinkName);
}

bool FormatProgramsLink(const wchar_t* pszFolder, const wchar_t* pszLinkName, wchar_t (&folder)[MAX_PATH],
                        wchar_t (&link)[MAX_PATH]) {
    wchar_t programs[MAX_PATH];
    return SpecialFolder(CSIDL_COMMON_PROGRAMS, programs) &&
           Fits(FormatText(folder, L"%s\\%s", programs, pszFolder) &&
                    FormatText(link, L"%s\\%s.lnk", folder, pszLinkName),
                pszLinkName);
}

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
