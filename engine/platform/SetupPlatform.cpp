#include "engine/platform/SetupPlatform.h"

#include "engine/platform/Win32Platform.h"

namespace {
CWin32Platform g_win32Platform;
// Set before any worker thread exists and only read afterwards.
ISetupPlatform* g_pPlatform = &g_win32Platform;
}  // namespace

ISetupPlatform& SetupPlatform() {
    return *g_pPlatform;
}

ScopedPlatformOverride::ScopedPlatformOverride(ISetupPlatform& platform) : m_previous(g_pPlatform) {
    g_pPlatform = &platform;
}

ScopedPlatformOverride::~ScopedPlatformOverride() {
    g_pPlatform = m_previous;
}
