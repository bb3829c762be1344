#include "framework/AccessibleObject.h"

#include <oleacc.h>

#include "framework/SystemLibrary.h"
#include "framework/Wnd.h"

namespace {

using CreateStdFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);
using VariantClearFn = HRESULT(WINAPI*)(VARIANT*);

// Entered on the user-interface thread at the first question: the object is handed over through
// COM. Windows are made on that thread only, so no guard is needed.
bool g_bApartmentEntered = false;

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// A terminated text as a BSTR the caller frees; E_OUTOFMEMORY without memory. The automation
// library is there whenever a tool asks (the accessibility library needs it), so it is not
// imported: a run that nobody asks does not load it.
HRESULT ToBstr(const fw::HeapArray<wchar_t>& text, BSTR* out) {
    const auto alloc = FindSystemFunction<SysAllocStringFn>(L"oleaut32.dll", "SysAllocString");
    *out = alloc ? alloc(text.get()) : nullptr;
    return *out ? S_OK : E_OUTOFMEMORY;
}

// Frees what a variant holds; one holding a number holds nothing to free.
void ClearVariant(VARIANT* value) {
    if (value->vt != VT_EMPTY && value->vt != VT_I4) {
        if (const auto clear = FindSystemFunction<VariantClearFn>(L"oleaut32.dll", "VariantClear")) clear(value);
    }
    value->vt = VT_EMPTY;
}

class CAccessibleObject final : public IAccessible {
public:
    CAccessibleObject(HWND window, IAccessible* standard) : m_window(window), m_standard(standard) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // Navigation and enumeration of children (IEnumVARIANT, IOleWindow) are the standard object's.
        return m_standard->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return m_standard->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
        return m_standard->GetTypeInfo(index, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
        return m_standard->GetIDsOfNames(iid, names, count, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* error, UINT* argError) override {
        return m_standard->Invoke(id, iid, lcid, flags, params, result, error, argError);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!name) return E_POINTER;
        if (const CWnd* window = Own(child)) {
            const fw::HeapArray<wchar_t> own = window->GetAccessibleName();
            if (own) return ToBstr(own, name);
        }
        return m_standard->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (!value) return E_POINTER;
        if (const CWnd* window = Own(child)) {
            const fw::HeapArray<wchar_t> own = window->GetAccessibleValue();
            if (own) return ToBstr(own, value);
        }
        return m_standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        if (const CWnd* window = Own(child)) {
            role->vt = VT_I4;
            role->lVal = window->GetAccessibleRole();
            return S_OK;
        }
        return m_standard->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        const HRESULT standard = m_standard->get_accState(child, state);
        const CWnd* window = Own(child);
        if (!window) return standard;
        const long known = SUCCEEDED(standard) && state->vt == VT_I4 ? state->lVal : 0;
        if (FAILED(standard)) state->vt = VT_EMPTY;
        ClearVariant(state);
        state->vt = VT_I4;
        state->lVal = window->GetAccessibleState(known);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_standard->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return m_standard->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return m_standard->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return m_standard->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return m_standard->get_accHelp(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return m_standard->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return m_standard->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return m_standard->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return m_standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return m_standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* width, long* height, VARIANT child) override {
        return m_standard->accLocation(x, y, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return m_standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return m_standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return m_standard->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return m_standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return m_standard->put_accValue(child, value);
    }

private:
    ~CAccessibleObject() { m_standard->Release(); }

    // The window's object for a question about the window itself, while it still has one: a tool
    // may hold on to this object after the window or its object is gone.
    const CWnd* Own(const VARIANT& child) const {
        if (!IsSelf(child) || !::IsWindow(m_window)) return nullptr;
        const CWnd* window = CWnd::FromHandlePermanent(m_window);
        return window && window->GetAccessibleRole() != 0 ? window : nullptr;
    }

    LONG m_refs = 1;
    HWND m_window;            // borrowed window
    IAccessible* m_standard;  // owned reference
};

}  // namespace

LRESULT AnswerAccessibleObject(HWND window, WPARAM wParam) {
    static CreateStdFn s_createStandard = nullptr;
    static LresultFn s_lresult = nullptr;
    if (!s_createStandard) {
        s_createStandard = FindSystemFunction<CreateStdFn>(L"oleacc.dll", "CreateStdAccessibleObject");
        s_lresult = FindSystemFunction<LresultFn>(L"oleacc.dll", "LresultFromObject");
    }
    if (!s_createStandard || !s_lresult) return 0;
    if (!g_bApartmentEntered) {
        // Already in an apartment of someone else's (RPC_E_CHANGED_MODE): that one serves.
        const HRESULT entered = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (FAILED(entered) && entered != RPC_E_CHANGED_MODE) return 0;
        if (SUCCEEDED(entered)) g_bApartmentEntered = true;
    }
    IAccessible* standard = nullptr;
    if (FAILED(s_createStandard(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))) ||
        !standard)
        return 0;
    CAccessibleObject* object = new CAccessibleObject(window, standard);
    const LRESULT answer = s_lresult(__uuidof(IAccessible), wParam, object);
    object->Release();
    return answer > 0 ? answer : 0;
}

void EndAccessibleObjects() {
    if (!g_bApartmentEntered) return;
    g_bApartmentEntered = false;
    ::CoUninitialize();
}
