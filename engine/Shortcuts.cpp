#include "engine/Shortcuts.h"

#include <shlobj.h>

#include "engine/SetupPlatform.h"
#include "framework/TextFormat.h"

namespace {

enum class PathResult { Ok, NoFolder, TooLong };

// "%s\%s.lnk" in the special folder; without the folder there is nothing to act on.
PathResult DesktopLinkPath(const wchar_t* linkName, wchar_t (&link)[MAX_PATH]) {
    wchar_t desktop[MAX_PATH];
    if (!SetupPlatform().GetSpecialFolder(CSIDL_DESKTOPDIRECTORY, desktop) || !desktop[0]) return PathResult::NoFolder;
    return FormatText(link, L"%s\\%s.lnk", desktop, linkName) ? PathResult::Ok : PathResult::TooLong;
}

PathResult ProgramsLinkPath(const wchar_t* folderName, const wchar_t* linkName, wchar_t (&folder)[MAX_PATH],
                            wchar_t (&link)[MAX_PATH]) {
    wchar_t programs[MAX_PATH];
    if (!SetupPlatform().GetSpecialFolder(CSIDL_COMMON_PROGRAMS, programs) || !programs[0])
        return PathResult::NoFolder;
    return FormatText(folder, L"%s\\%s", programs, folderName) && FormatText(link, L"%s\\%s.lnk", folder, linkName)
               ? PathResult::Ok
               : PathResult::TooLong;
}

}  // namespace

bool CreateDesktopShortcut(const wchar_t* pszTarget, const wchar_t* pszLinkName) {
    ISetupPlatform& os = SetupPlatform();
    auto com = os.EnterCom();
    auto link = os.NewShellLink();
    if (!link || !link->SetPath(pszTarget)) return true;
    wchar_t path[MAX_PATH];
    const PathResult result = DesktopLinkPath(pszLinkName, path);
    if (result != PathResult::Ok) return result != PathResult::TooLong;
    if (os.PathExists(path)) DeleteDesktopShortcut(pszLinkName);
    link->Save(path);
    return true;
}

bool CreateProgramsShortcut(const wchar_t* pszFolder, const wchar_t* pszTarget, const wchar_t* pszLinkName,
                            const wchar_t* pszArguments) {
    ISetupPlatform& os = SetupPlatform();
    auto com = os.EnterCom();
    auto link = os.NewShellLink();
    if (!link || !link->SetPath(pszTarget)) return true;
    if (pszArguments) link->SetArguments(pszArguments);
    wchar_t folder[MAX_PATH];
    wchar_t path[MAX_PATH];
    const PathResult result = ProgramsLinkPath(pszFolder, pszLinkName, folder, path);
    if (result != PathResult::Ok) return result != PathResult::TooLong;
    if (!os.PathExists(folder))
        os.CreateFolder(folder);
    else if (os.PathExists(path))
        DeleteProgramsShortcut(pszFolder, pszLinkName, false);
    link->Save(path);
    return true;
}

bool DeleteDesktopShortcut(const wchar_t* pszLinkName) {
    wchar_t path[MAX_PATH];
    const PathResult result = DesktopLinkPath(pszLinkName, path);
    if (result == PathResult::Ok) SetupPlatform().DeleteFile(path);
    return result != PathResult::TooLong;
}

bool DeleteProgramsShortcut(const wchar_t* pszFolder, const wchar_t* pszLinkName, bool bRemoveFolder) {
    ISetupPlatform& os = SetupPlatform();
    wchar_t folder[MAX_PATH];
    wchar_t path[MAX_PATH];
    const PathResult result = ProgramsLinkPath(pszFolder, pszLinkName, folder, path);
    if (result != PathResult::Ok) return result != PathResult::TooLong;
    os.DeleteFile(path);
    if (bRemoveFolder) os.RemoveFolder(folder);
    return true;
}
