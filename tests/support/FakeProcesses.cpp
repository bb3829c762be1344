// The fake's processes, windows, pauses, message boxes and the system version.
#include "tests/support/FakePlatform.h"

void FakePlatform::AddWindow(const std::wstring& title, bool answers) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_windows[reinterpret_cast<HWND>(static_cast<INT_PTR>(m_nextWindow++))] = Window{title, answers};
}

void FakePlatform::SetVersion(DWORD major, DWORD minor, BYTE productType) {
    m_version = {};
    m_version.dwOSVersionInfoSize = sizeof m_version;
    m_version.dwMajorVersion = major;
    m_version.dwMinorVersion = minor;
    m_version.dwPlatformId = VER_PLATFORM_WIN32_NT;
    m_version.wProductType = productType;
    m_versionFails = false;
}

void FakePlatform::FailVersionQuery() {
    m_versionFails = true;
}

int FakePlatform::PauseCount() const {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_pauses;
}

bool FakePlatform::GetVersionInfo(OSVERSIONINFOEXW* info) {
    if (!Record(L"GetVersionInfo") || m_versionFails) return false;
    *info = m_version;
    return true;
}

bool FakePlatform::StartProcess(wchar_t* commandLine, WORD showWindow, DWORD creationFlags,
                                const wchar_t* currentFolder) {
    return Record(L"StartProcess show=" + std::to_wstring(showWindow) + L" flags=" + Hex(creationFlags) + L" " +
                  commandLine + L" [in " + (currentFolder ? currentFolder : L"(inherited)") + L"]");
}

bool FakePlatform::StartThroughShell(const wchar_t* program, const wchar_t* folder) {
    // Answers unless refused, as a desktop shell does.
    return Record(std::wstring(L"ShellExecute ") + program + L" [in " + folder + L"]");
}

HWND FakePlatform::FindTopWindow(const wchar_t* title) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    Record(std::wstring(L"FindTopWindow ") + title);
    for (const auto& [window, data] : m_windows) {
        if (data.title == title) return window;
    }
    return nullptr;
}

bool FakePlatform::SendCloseMessage(HWND window, DWORD timeoutMs) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto it = m_windows.find(window);
    Record(L"SendCloseMessage " + (it == m_windows.end() ? std::wstring(L"?") : it->second.title) + L" within " +
           std::to_wstring(timeoutMs) + L" ms");
    if (it == m_windows.end()) return Fail(ERROR_INVALID_WINDOW_HANDLE);
    if (!it->second.answers) return Fail(ERROR_TIMEOUT);
    m_windows.erase(it);
    return true;
}

bool FakePlatform::PostMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    return Record(L"PostMessage " + std::to_wstring(message) + L" " + std::to_wstring(wParam) + L" " +
                  std::to_wstring(lParam));
}

void FakePlatform::Pause(DWORD milliseconds) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    ++m_pauses;
    Record(L"Pause " + std::to_wstring(milliseconds));
}

int FakePlatform::ShowMessageBox(const wchar_t* text, const wchar_t* caption, UINT type) {
    Record(std::wstring(L"MessageBox [") + caption + L"] " + text + L" type=" + Hex(type));
    return IDOK;
}
