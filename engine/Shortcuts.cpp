#include "engine/Shortcuts.h"

#include <shlobj.h>

#include "engine/SetupLog.h"
#include "engine/SetupPlatform.h"
#include "framework/TextFormat.h"

namespace {

enum class PathResult { Ok, NoFolder, TooLong };

PathResult Resolved(bool fits, const wchar_t* linkName) {
    if (fits) return PathResult::Ok;
    LogLine({L"The shortcut path for \"", linkName, L"\" does not fit: refused"});
    return PathResult::TooLong;
}

PathResult MissingFolder(int csidl) {
    LogFailure({L"No special folder ", NumberText(static_cast<unsigned>(csidl)), L" for the shortcuts"},
               ::GetLastError());
    return PathResult::NoFolder;
}

// "%s\%s.lnk" in the special folder; without the folder there is nothing to act on.
PathResult DesktopLinkPath(const wchar_t* linkName, wchar_t (&link)[MAX_PATH]) {
    wchar_t desktop[MAX_PATH];
    if (!SetupPlatform().GetSpecialFolder(CSIDL_DESKTOPDIRECTORY, desktop) || !desktop[0])
        return MissingFolder(CSIDL_DESKTOPDIRECTORY);
    return Resolved(FormatText(link, L"%s\\%s.lnk", desktop, linkName), linkName);
}

PathResult ProgramsLinkPath(const wchar_t* folderName, const wchar_t* linkName, wchar_t (&folder)[MAX_PATH],
                            wchar_t (&link)[MAX_PATH]) {
    wchar_t programs[MAX_PATH];
    if (!SetupPlatform().GetSpecialFolder(CSIDL_COMMON_PROGRAMS, programs) || !programs[0])
        return MissingFolder(CSIDL_COMMON_PROGRAMS);
    return Resolved(FormatText(folder, L"%s\\%s", programs, folderName) &&
                        FormatText(link, L"%s\\%s.lnk", folder, linkName),
                    linkName);
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

void SaveLink(ISetupShellLink& link, const wchar_t* path, const wchar_t* target, const wchar_t* arguments) {
    if (link.Save(path))
        LogLine({L"Created shortcut ", path, L" -> ", target, arguments ? L" " : L"", arguments ? arguments : L""});
    else
        LogFailure({L"Could not save shortcut ", path}, ::GetLastError());
}

void DeleteLink(const wchar_t* path) {
    if (SetupPlatform().DeleteFile(path)) LogLine({L"Deleted shortcut ", path});
}

}  // namespace

bool CreateDesktopShortcut(const wchar_t* pszTarget, const wchar_t* pszLinkName) {
    ISetupPlatform& os = SetupPlatform();
    auto link = NewLinkTo(pszTarget, nullptr);
    if (!link) return true;
    wchar_t path[MAX_PATH];
    const PathResult result = DesktopLinkPath(pszLinkName, path);
    if (result != PathResult::Ok) return result != PathResult::TooLong;
    if (os.PathExists(path)) DeleteDesktopShortcut(pszLinkName);
    SaveLink(*link, path, pszTarget, nullptr);
    return true;
}

bool CreateProgramsShortcut(const wchar_t* pszFolder, const wchar_t* pszTarget, const wchar_t* pszLinkName,
                            const wchar_t* pszArguments) {
    ISetupPlatform& os = SetupPlatform();
    auto link = NewLinkTo(pszTarget, pszArguments);
    if (!link) return true;
    wchar_t folder[MAX_PATH];
    wchar_t path[MAX_PATH];
    const PathResult result = ProgramsLinkPath(pszFolder, pszLinkName, folder, path);
    if (result != PathResult::Ok) return result != PathResult::TooLong;
    if (!os.PathExists(folder)) {
        if (!os.CreateFolder(folder)) LogFailure({L"Could not create folder ", folder}, ::GetLastError());
    } else if (os.PathExists(path)) {
        DeleteProgramsShortcut(pszFolder, pszLinkName, false);
    }
    SaveLink(*link, path, pszTarget, pszArguments);
    return true;
}

bool DeleteDesktopShortcut(const wchar_t* pszLinkName) {
    wchar_t path[MAX_PATH];
    const PathResult result = DesktopLinkPath(pszLinkName, path);
    if (result == PathResult::Ok) DeleteLink(path);
    return result != PathResult::TooLong;
}

bool DeleteProgramsShortcut(const wchar_t* pszFolder, const wchar_t* pszLinkName, bool bRemoveFolder) {
    ISetupPlatform& os = SetupPlatform();
    wchar_t folder[MAX_PATH];
    wchar_t path[MAX_PATH];
    const PathResult result = ProgramsLinkPath(pszFolder, pszLinkName, folder, path);
    if (result != PathResult::Ok) return result != PathResult::TooLong;
    DeleteLink(path);
    if (bRemoveFolder && os.RemoveFolder(folder)) LogLine({L"Removed the Start-menu folder ", folder});
    return true;
}
