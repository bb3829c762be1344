#include "engine/platform/ShortcutPaths.h"

#include <shlobj.h>

#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/SetupPlatform.h"

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
