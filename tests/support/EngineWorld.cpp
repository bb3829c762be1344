#include "tests/support/EngineWorld.h"

#include "base/TextFormat.h"
#include "engine/platform/FileTables.h"

EngineWorld::EngineWorld() : m_savedVista(g_bVista), m_savedWow64(g_bWow64), m_savedPolicy(CurrentMessagePolicy()) {
    g_bVista = 0;
    g_bWow64 = 0;
    SetMessagePolicy(MessagePolicy::ShowAndLog);
    CopyText(m_config.szInstallDir, kInstallDir);
    CopyText(m_config.szAppFileName, L"REReviZuvor.exe");
    CopyText(m_config.szAppName, kAppName);
    CopyText(m_config.szCompanyName, L"Kestrin Technology Corp.");
    CopyText(m_config.szAppFolderName, L"KRT55A");
    CopyText(m_config.szVersion, L"1.00.00");
    AddPayload(m_os);
    m_os.ClearCalls();
}

EngineWorld::~EngineWorld() {
    g_bVista = m_savedVista;
    g_bWow64 = m_savedWow64;
    SetMessagePolicy(m_savedPolicy);
}

void EngineWorld::AddPayload(FakePlatform& os, const std::wstring& setupDir) {
    const std::wstring& setup = setupDir;
    for (const wchar_t* name : {L"setup.exe", L"setup.ini", L"setupENU.dll", L"setupCHT.dll", L"setupCHS.dll",
                                L"setupJPN.dll", L"setupKOR.dll"})
        os.AddFile(setup + name);
    for (const wchar_t* name : {L"REReviZuvor.exe", L"mingwm10.dll", L"libeay32.dll", L"ssleay32.dll",
                                L"XSrvSetup.exe", L"center.gif", L"about_click.bmp"})
        os.AddFile(setup + L"Application\\" + name);
    os.AddFile(setup + L"Application\\Images\\pic.bmp");
    for (const wchar_t* name : {L"libeay32.dll", L"ssleay32.dll", L"zlib1.dll"})
        os.AddFile(setup + L"Application\\vista\\" + name);
}

void EngineWorld::AddInstalled(bool serviceMode) {
    const std::wstring install = kInstallDir;
    for (const wchar_t* name : {L"setup.ini", L"mingwm10.dll", L"REReviZuvor.exe", L"libeay32.dll",
                                L"ssleay32.dll", L"center.gif", L"Cfg.KS"})
        m_os.AddFile(install + L"\\" + name);
    if (serviceMode) m_os.AddFile(install + L"\\XSrvSetup.exe");
    for (const wchar_t* name : {L"setup.exe", L"setup.ini", L"setupENU.dll"})
        m_os.AddFile(install + L"\\Uninstall\\" + name);
    m_os.AddFile(install + L"\\Images\\old.bmp");
    m_os.AddKey(kUninstallKey);
    const std::wstring desktop = FakePlatform::kDesktop;
    const std::wstring programs = std::wstring(FakePlatform::kPrograms) + L"\\" + kAppName;
    m_os.AddFile(desktop + L"\\" + kAppName + L".lnk");
    m_os.AddFile(programs + L"\\" + kAppName + L".lnk");
    m_os.AddFile(programs + L"\\Uninstall.lnk");
    m_os.ClearCalls();
}
