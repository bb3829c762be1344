#include "engine/platform/SetupNames.h"

#include "engine/log/SetupLog.h"
#include "engine/log/SetupMessages.h"
#include "engine/platform/SetupPlatform.h"

namespace {

bool RefuseName(const wchar_t* key, const wchar_t* value, const wchar_t* message) {
    LogLine({key, L" \"", value, L"\" of setup.ini refused: not a plain file name"});
    ShowFailureMessage(SetupPlatform(), message);
    return false;
}

}  // namespace

bool CheckSetupNames(const SetupConfig& config) {
    if (!config.szInstallDir[0] || !IsUsableFolderName(config.szAppFolderName)) {
        ShowFailureMessage(SetupPlatform(), L"The install folder in setup.ini is not valid!");
        return false;
    }
    if (!IsPlainFileName(config.szAppFileName))
        return RefuseName(L"APPFileName", config.szAppFileName,
                          L"The application file name in setup.ini is not valid!");
    if (!IsPlainFileName(config.szAppName))
        return RefuseName(L"AppName", config.szAppName, L"The application name in setup.ini is not valid!");
    return true;
}
