// A fixture with the recording platform in front of the engine and a small payload in it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/log/SetupLog.h"
#include "engine/log/SetupMessages.h"
#include "engine/platform/Environment.h"
#include "engine/platform/SetupConfig.h"
#include "engine/platform/SetupPlatform.h"
#include "engine/removal/Removal.h"
#include "tests/support/FakePlatform.h"

class EngineWorld : public ::testing::Test {
protected:
    static constexpr wchar_t kSetupDir[] = L"C:\\payload\\";
    static constexpr wchar_t kInstallDir[] = L"C:\\Program Files\\KRT55A";
    // Where the installed removal program runs from.
    static constexpr wchar_t kUninstallDir[] = L"C:\\Program Files\\KRT55A\\Uninstall\\";
    static constexpr wchar_t kAppName[] = L"Kestrin HW RAID Manager";
    static constexpr wchar_t kUninstallKey[] = L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KRT55A";

    EngineWorld();
    ~EngineWorld() override;

    // The payload: the setup folder's files, the application with its libraries, two of the
    // table's images, one file in "Images" and the "vista" variant.
    static void AddPayload(FakePlatform& os, const std::wstring& setupDir = kSetupDir);
    // The installed removal program's run.
    bool Remove() { return RunRemoval(m_config, kUninstallDir); }
    // What a finished install leaves, for removal and re-install tests.
    void AddInstalled(bool serviceMode);
    std::vector<std::wstring> Lines(std::initializer_list<std::wstring> prefixes) const {
        return m_os.CallsStartingWith(prefixes);
    }

    FakePlatform m_os;
    SetupConfig m_config{};

private:
    ScopedPlatformOverride m_override{m_os};
    BOOL m_savedVista;
    BOOL m_savedWow64;
    MessagePolicy m_savedPolicy;
};
