#include "tests/support/AccessibleReading.h"

namespace testsupport {

Heard Hear(IAccessible* object) {
    Heard heard;
    VARIANT self = {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (object->get_accName(self, &text) == S_OK && text) heard.name = text;
    ::SysFreeString(text);
    text = nullptr;
    if (object->get_accValue(self, &text) == S_OK && text) heard.value = text;
    ::SysFreeString(text);
    VARIANT answer;
    ::VariantInit(&answer);
    if (object->get_accRole(self, &answer) == S_OK && answer.vt == VT_I4) heard.role = answer.lVal;
    ::VariantClear(&answer);
    if (object->get_accState(self, &answer) == S_OK && answer.vt == VT_I4) heard.state = answer.lVal;
    ::VariantClear(&answer);
    return heard;
}

Heard Hear(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&object))) ||
        !object)
        return {};
    Heard heard = Hear(object);
    object->Release();
    return heard;
}

}  // namespace testsupport
