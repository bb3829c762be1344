#include "engine/removal/ProgramRetirement.h"

#include <cwchar>

#include "base/TextFormat.h"
#include "engine/log/SetupLog.h"
#include "engine/platform/SetupPlatform.h"

CProgramRetirement::CProgramRetirement(const wchar_t* pszName) {
    if (!CopyText(m_name, pszName)) CopyText(m_name, L"setup");
}

bool CProgramRetirement::MakeFolder() {
    if (m_folderTried) return m_folder[0] != L'\0';
    m_folderTried = true;
    ISetupPlatform& os = SetupPlatform();
    wchar_t temp[MAX_PATH];
    if (!os.GetTempFolder(temp)) return false;
    // A name nobody else holds: the folder is made new, so nobody else can have put anything in it.
    for (unsigned n = 1; n <= 100; ++n) {
        if (!FormatText(m_folder, L"%s%s-removal-%s", temp, m_name, NumberText(n))) break;
        if (os.CreatePrivateFolder(m_folder)) return true;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    LogFailure({L"Could not make a folder for the running removal program in ", temp}, ::GetLastError());
    m_folder[0] = L'\0';
    return false;
}

bool CProgramRetirement::Retire(const wchar_t* path) {
    ISetupPlatform& os = SetupPlatform();
    const wchar_t* name = std::wcsrchr(path, L'\\');
    wchar_t target[MAX_PATH];
    if (name && MakeFolder() && FormatText(target, L"%s%s", m_folder, name)) {
        if (os.MoveFile(path, target, 0)) {
            os.MoveFile(target, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
            LogLine({L"In use by this removal, moved out to ", target, L" (deleted at the next restart): ", path});
            return true;
        }
        LogFailure({L"Could not move ", path, L" out to ", target}, ::GetLastError());
    }
    if (os.MoveFile(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        m_leftInPlace = true;
        LogLine({L"In use by this removal, deleted at the next restart: ", path});
        return true;
    }
    LogFailure({L"Could not mark ", path, L" for deletion at the next restart"}, ::GetLastError());
    return false;
}

void CProgramRetirement::Finish(const wchar_t* pszUninstallDir, const wchar_t* pszInstallDir) {
    ISetupPlatform& os = SetupPlatform();
    if (m_folder[0]) os.MoveFile(m_folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    if (m_leftInPlace) {
        os.MoveFile(pszUninstallDir, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        os.MoveFile(pszInstallDir, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
}
