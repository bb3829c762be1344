// What an assistive tool hears of a window through the accessibility interface: its name, role,
// state and value, as a screen reader reads them.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

namespace testsupport {

struct Heard {
    std::wstring name;
    long role = -1;
    long state = 0;
    std::wstring value;
};

Heard Hear(IAccessible* object);
// Through AccessibleObjectFromWindow, in this process or another; nothing heard when it answers none.
Heard Hear(HWND window);

}  // namespace testsupport
