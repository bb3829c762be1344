// The wizard's template copied without the controls a dialog makes later: the platform makes a
// dialog of the copy with every other control as the template has it, and the copy names no class
// that the common controls would have to register.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>

#include "framework/DialogTemplate.h"
#include "res/resource.h"

namespace {

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

std::set<int> ControlIds(const DLGTEMPLATE* dialogTemplate) {
    std::set<int> ids;
    HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), dialogTemplate, nullptr, &NoDialogProc, 0);
    if (!dialog) return ids;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ids.insert(::GetDlgCtrlID(child));
    ::DestroyWindow(dialog);
    return ids;
}

}  // namespace

TEST(DialogTemplate, CopyLeavesOutOnlyTheNamedControlsAndTheirClass) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(IDD_LANGSETUP_DIALOG), MAKEINTRESOURCEW(5));
    ASSERT_TRUE(resource);
    const void* original = ::LockResource(::LoadResource(module, resource));
    const DWORD size = ::SizeofResource(module, resource);
    EXPECT_TRUE(CDialogTemplate::NamesAClass(original, size)) << "the progress bar's class";

    CDialogTemplate copy;
    const int leftOut[] = {IDC_PROGRESS};
    ASSERT_TRUE(copy.CopyWithout(original, size, leftOut, 1));
    EXPECT_FALSE(CDialogTemplate::NamesAClass(copy.Get(), size));
    const std::set<int> all = {IDOK, IDCANCEL, IDC_NOTE, IDC_ACTION, IDC_PROMPT, IDC_CLOSE,
                               IDC_TITLE, IDC_LAUNCH_CHECK, IDC_MINIMIZE, IDC_LAUNCH_TEXT};
    EXPECT_EQ(all, ControlIds(copy.Get()));

    // Two left out, one of them the template's last control.
    const int two[] = {IDC_NOTE, IDC_LAUNCH_TEXT};
    ASSERT_TRUE(copy.CopyWithout(original, size, two, 2));
    std::set<int> rest = all;
    rest.erase(IDC_NOTE);
    rest.erase(IDC_LAUNCH_TEXT);
    rest.insert(IDC_PROGRESS);
    EXPECT_EQ(rest, ControlIds(copy.Get()));

    const char notATemplate[] = "not a dialog template";
    EXPECT_FALSE(copy.CopyWithout(notATemplate, sizeof notATemplate, leftOut, 1));
}
