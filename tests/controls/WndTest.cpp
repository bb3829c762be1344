// The framework's window objects on the tests' own dialog: how a modal run ends and how a
// subclass shares a window's procedure chain with others.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <thread>
#include <vector>

#include "framework/Dialog.h"
#include "tests/controls/ControlsWorld.h"

using namespace controlstest;

namespace {

constexpr UINT kDestroyYourself = WM_APP + 1;

// IDD_CONTROLS run modally; a thread of its own asks it, once it waits for messages, to destroy
// its window itself, without EndDialog.
class SelfDestroyingDialog : public CDialog {
public:
    SelfDestroyingDialog() : CDialog(IDD_CONTROLS) {}
    ~SelfDestroyingDialog() override {
        if (m_asker.joinable()) m_asker.join();
    }

    BOOL OnInitDialog() override {
        const HWND window = m_hWnd;
        // A message sent from another thread is handled inside the loop's wait, which then goes on waiting.
        m_asker = std::thread([window] {
            ::Sleep(300);
            ::SendMessageW(window, kDestroyYourself, 0, 0);
        });
        return CDialog::OnInitDialog();
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != kDestroyYourself) return CDialog::WindowProc(message, wParam, lParam);
        ::DestroyWindow(m_hWnd);
        return 0;
    }

private:
    std::thread m_asker;
};

// A later subclass by someone else: counts the check-state queries it sees and passes them on.
WNDPROC g_laterSuper = nullptr;
int g_laterQueries = 0;
LRESULT CALLBACK LaterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == BM_GETCHECK) ++g_laterQueries;
    return ::CallWindowProcW(g_laterSuper, window, message, wParam, lParam);
}

}  // namespace

TEST(ModalDialog, EndsWhenItsWindowIsDestroyedWithoutEndDialog) {
    // Should the loop not end by itself, a quit request ends it after 5 s.
    const UINT_PTR watchdog = ::SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(0); });
    const DWORD start = ::GetTickCount();
    SelfDestroyingDialog dialog;
    const INT_PTR result = dialog.DoModal();
    const DWORD elapsed = ::GetTickCount() - start;
    ::KillTimer(nullptr, watchdog);
    MSG quit;
    const bool quitPosted = ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;

    EXPECT_FALSE(quitPosted) << "the loop ran on until the watchdog";
    EXPECT_LT(elapsed, 3000u);
    EXPECT_EQ(-1, result) << "no result was given";
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(Subclassing, AWindowOfAnotherProcessIsRefusedAndLeftUnbound) {
    // The desktop window belongs to another process: its procedure cannot be replaced from here.
    const HWND desktop = ::GetDesktopWindow();
    DWORD owner = 0;
    ::GetWindowThreadProcessId(desktop, &owner);
    ASSERT_NE(::GetCurrentProcessId(), owner);

    CWnd object;
    EXPECT_FALSE(object.SubclassWindow(desktop));
    EXPECT_EQ(nullptr, object.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(desktop));
}

TEST(Subclassing, LettingGoUnderALaterSubclassKeepsTheWholeChain) {
    TestDialog dialog;
    const HWND check = dialog.GetDlgItem(IDC_CHECK);
    {
        CWnd object;
        ASSERT_TRUE(object.SubclassWindow(check));
        g_laterSuper = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(check, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterProc)));
        object.UnsubclassWindow();
        EXPECT_EQ(nullptr, object.m_hWnd);
    }
    // The later procedure still sees the messages, and they still reach the button's own procedure.
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(&LaterProc), ::GetWindowLongPtrW(check, GWLP_WNDPROC));
    g_laterQueries = 0;
    ::SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(BST_CHECKED, ::SendMessageW(check, BM_GETCHECK, 0, 0));
    EXPECT_EQ(1, g_laterQueries);

    // Once the later one lets go too, the button works as before and cannot be bound twice into its chain.
    ::SetWindowLongPtrW(check, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_laterSuper));
    ::SendMessageW(check, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(BST_UNCHECKED, ::SendMessageW(check, BM_GETCHECK, 0, 0));
    CWnd again;
    EXPECT_FALSE(again.SubclassWindow(check));
}

TEST(Subclassing, EachObjectIsFoundFromItsWindowUntilItLetsGoAndTheTableHasBounds) {
    // Message-only windows, each bound to an object of its own until no more can be.
    std::vector<HWND> windows;
    std::vector<std::unique_ptr<CWnd>> objects;
    auto makeWindow = [] {
        return ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    };
    bool refused = false;
    for (int i = 0; i < 400 && !refused; ++i) {
        const HWND window = makeWindow();
        ASSERT_NE(nullptr, window);
        auto object = std::make_unique<CWnd>();
        if (object->SubclassWindow(window)) {
            windows.push_back(window);
            objects.push_back(std::move(object));
        } else {
            refused = true;
            EXPECT_EQ(nullptr, object->m_hWnd);
            EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(window));
            ::DestroyWindow(window);
        }
    }
    EXPECT_TRUE(refused) << "a table without bounds";
    EXPECT_GE(windows.size(), 200u) << "room for a few dozen wizards' windows";

    // Every third window goes: its object lets go, and every other is still found from its window.
    for (size_t i = 0; i < windows.size(); i += 3) {
        ::DestroyWindow(windows[i]);
        EXPECT_EQ(nullptr, objects[i]->m_hWnd);
        EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(windows[i]));
    }
    for (size_t i = 0; i < windows.size(); ++i) {
        if (i % 3 != 0) {
            EXPECT_EQ(objects[i].get(), CWnd::FromHandlePermanent(windows[i])) << i;
        }
    }
    // An object that goes before its window lets go of it as well; the room is there again.
    objects[1].reset();
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(windows[1]));
    CWnd again;
    const HWND another = makeWindow();
    EXPECT_TRUE(again.SubclassWindow(another));
    EXPECT_EQ(&again, CWnd::FromHandlePermanent(another));
    again.UnsubclassWindow();
    ::DestroyWindow(another);
    objects.clear();
    for (size_t i = 0; i < windows.size(); ++i) {
        if (i % 3 != 0) ::DestroyWindow(windows[i]);
    }
}
