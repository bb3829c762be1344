#include "engine/platform/ShellLaunch.h"

#include <windows.h>

#include <exdisp.h>
#include <oleauto.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "base/Handles.h"

namespace {

// The objects and interfaces used, spelled out here: the GUID library holds thousands of them.
constexpr CLSID kClsidShellWindows = {0x9BA05972, 0xF6A8, 0x11CF, {0xA4, 0x42, 0x00, 0xA0, 0xC9, 0x0A, 0x8F, 0x39}};
constexpr IID kIidShellWindows = {0x85CB6900, 0x4D95, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
constexpr IID kIidServiceProvider = {0x6D5140C1, 0x7436, 0x11CE, {0x80, 0x34, 0x00, 0xAA, 0x00, 0x60, 0x09, 0xFA}};
constexpr GUID kSidTopLevelBrowser = {0x4C96BE40, 0x915C, 0x11CF, {0x99, 0xD3, 0x00, 0xAA, 0x00, 0x4A, 0xE8, 0x37}};
constexpr IID kIidShellBrowser = {0x000214E2, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidShellFolderViewDual = {0xE7A1AF80, 0x4D96, 0x11CF, {0x96, 0x0C, 0x00, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
constexpr IID kIidShellDispatch2 = {0xA4C6892C, 0x3BA9, 0x11D2, {0x9D, 0xEA, 0x00, 0xC0, 0x4F, 0xB1, 0x61, 0x62}};

// A BSTR, freed with its owner.
class CBstr {
public:
    explicit CBstr(const wchar_t* text) : m_text(::SysAllocString(text)) {}
    ~CBstr() { ::SysFreeString(m_text); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    BSTR get() const { return m_text; }

private:
    BSTR m_text;
};

// A VARIANT that holds a borrowed BSTR, or nothing.
VARIANT TextVariant(const CBstr* text) {
    VARIANT value;
    ::VariantInit(&value);
    if (text) {
        value.vt = VT_BSTR;
        value.bstrVal = text->get();
    }
    return value;
}

bool Failed(HRESULT result) {
    if (SUCCEEDED(result) && result != S_FALSE) return false;
    ::SetLastError(FAILED(result) ? static_cast<DWORD>(result) : ERROR_NOT_FOUND);
    return true;
}

}  // namespace

bool StartThroughDesktopShell(const wchar_t* program, const wchar_t* folder) {
    fw::ComScope com;
    // The desktop's window in the list of the shell's windows, its browser, and its view.
    fw::ComPtr<IShellWindows> windows;
    if (Failed(::CoCreateInstance(kClsidShellWindows, nullptr, CLSCTX_ALL, kIidShellWindows, windows.put_void())))
        return false;
    VARIANT location;
    ::VariantInit(&location);
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    VARIANT empty;
    ::VariantInit(&empty);
    long window = 0;
    fw::ComPtr<IDispatch> desktop;
    if (Failed(windows->FindWindowSW(&location, &empty, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.put())) ||
        !desktop) {
        if (!desktop) ::SetLastError(ERROR_NOT_FOUND);
        return false;
    }
    fw::ComPtr<IServiceProvider> services;
    fw::ComPtr<IShellBrowser> browser;
    fw::ComPtr<IShellView> view;
    fw::ComPtr<IDispatch> background;
    fw::ComPtr<IShellFolderViewDual> folderView;
    fw::ComPtr<IDispatch> application;
    fw::ComPtr<IShellDispatch2> shell;
    if (Failed(desktop->QueryInterface(kIidServiceProvider, services.put_void())) ||
        Failed(services->QueryService(kSidTopLevelBrowser, kIidShellBrowser, browser.put_void())) ||
        Failed(browser->QueryActiveShellView(view.put())) ||
        Failed(view->GetItemObject(SVGIO_BACKGROUND, kIidDispatch, background.put_void())) ||
        Failed(background->QueryInterface(kIidShellFolderViewDual, folderView.put_void())) ||
        Failed(folderView->get_Application(application.put())) ||
        Failed(application->QueryInterface(kIidShellDispatch2, shell.put_void())))
        return false;
    // The shell's process starts it: the program gets the shell's token, the user's own.
    const CBstr file(program);
    const CBstr directory(folder);
    VARIANT show;
    ::VariantInit(&show);
    show.vt = VT_I4;
    show.lVal = SW_SHOWNORMAL;
    return file.get() && directory.get() &&
           !Failed(shell->ShellExecute(file.get(), TextVariant(nullptr), TextVariant(&directory), TextVariant(nullptr),
                                       show));
}
