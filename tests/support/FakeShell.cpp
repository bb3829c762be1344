// The fake's shell: COM, shell links and the special folders.
#include <shlobj.h>

#include "tests/support/FakePlatform.h"

namespace {

class FakeComSession final : public ISetupComSession {
public:
    explicit FakeComSession(FakePlatform& os) : m_os(os) { m_os.Record(L"CoInitialize"); }
    ~FakeComSession() override { m_os.Record(L"CoUninitialize"); }

private:
    FakePlatform& m_os;
};

class FakeShellLink final : public ISetupShellLink {
public:
    explicit FakeShellLink(FakePlatform& os) : m_os(os) {}
    ~FakeShellLink() override { m_os.Record(L"ShellLink.Release"); }
    bool SetPath(const wchar_t* target) override { return m_os.Record(std::wstring(L"ShellLink.SetPath ") + target); }
    bool SetArguments(const wchar_t* arguments) override {
        return m_os.Record(std::wstring(L"ShellLink.SetArguments ") + arguments);
    }
    bool Save(const wchar_t* linkPath) override {
        return m_os.Record(std::wstring(L"ShellLink.Save ") + linkPath) && m_os.SaveLink(linkPath);
    }

private:
    FakePlatform& m_os;
};

}  // namespace

bool FakePlatform::SaveLink(const std::wstring& path) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!IsFolder(Parent(path))) return Fail(static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)));
    m_nodes[Lower(path)] = Node{path, false, 1};
    return true;
}

bool FakePlatform::GetSpecialFolder(int csidl, wchar_t (&path)[MAX_PATH]) {
    if (!Record(L"GetSpecialFolder " + std::to_wstring(csidl))) return false;
    const wchar_t* folder = csidl == CSIDL_DESKTOPDIRECTORY          ? kDesktop
                            : csidl == CSIDL_COMMON_DESKTOPDIRECTORY ? kCommonDesktop
                            : csidl == CSIDL_COMMON_PROGRAMS         ? kPrograms
                                                                     : nullptr;
    if (!folder) return false;
    wcscpy_s(path, folder);
    return true;
}

std::unique_ptr<ISetupComSession> FakePlatform::EnterCom() {
    return std::make_unique<FakeComSession>(*this);
}

std::unique_ptr<ISetupShellLink> FakePlatform::NewShellLink() {
    if (!Record(L"NewShellLink")) return nullptr;
    return std::make_unique<FakeShellLink>(*this);
}
