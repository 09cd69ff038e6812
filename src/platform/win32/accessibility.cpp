#include "platform/win32/accessibility.h"

#include <objbase.h>
#include <oleacc.h>

#include <atomic>
#include <unordered_map>

#include "platform/win32/system_calls.h"

namespace win32 {

namespace {

// Spelled out: the import library's IID_IAccessible is not the GUID itself.
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr IID kIidDispatch = {0x00020400, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidOleWindow = {0x00000114, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidEnumVariant = {
    0x00020404, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Screen readers call the objects on the windows' own thread (the objects live in its apartment), the
// thread that creates and destroys the windows: no lock is needed.
std::unordered_map<HWND, const AccessibleSource*>& sources() {
    static std::unordered_map<HWND, const AccessibleSource*> sources;
    return sources;
}

bool isSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// A list of children that is the system's list passed on: a clone of it is a copy that answers only as a
// list (the system's clone would answer as the system's object when asked for its other interfaces).
class ChildrenPassedOn : public IEnumVARIANT {
  public:
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
        return children_->Next(count, items, fetched);
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override { return children_->Skip(count); }
    HRESULT STDMETHODCALLTYPE Reset() override { return children_->Reset(); }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override;

  protected:
    IEnumVARIANT* children_ = nullptr;  // the system's list, held
};

class ChildrenCopy final : public ChildrenPassedOn {
  public:
    explicit ChildrenCopy(IEnumVARIANT* system) { children_ = system; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        if (iid != kIidUnknown && iid != kIidEnumVariant) {
            return E_NOINTERFACE;
        }
        *out = static_cast<IEnumVARIANT*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            children_->Release();
            delete this;
        }
        return left;
    }

  private:
    std::atomic<ULONG> references_{1};
};

HRESULT ChildrenPassedOn::Clone(IEnumVARIANT** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    IEnumVARIANT* copied = nullptr;
    if (HRESULT result = children_->Clone(&copied); FAILED(result) || copied == nullptr) {
        return FAILED(result) ? result : E_FAIL;
    }
    *out = new ChildrenCopy(copied);
    return S_OK;
}

// The system's object for a window, with the window's own facts in front of its answers about the
// window itself; everything else (children, places, navigation, actions) is the system's. The client
// area is told every fact; the window object around it only the name, as a dialog's frame is.
class WrappedAccessible final : public IAccessible, public IOleWindow, public ChildrenPassedOn {
  public:
    WrappedAccessible(HWND window, IAccessible* system, bool client)
        : window_(window), system_(system), client_(client) {
        if (FAILED(system_->QueryInterface(kIidEnumVariant, reinterpret_cast<void**>(&children_)))) {
            children_ = nullptr;
        }
    }

    // IUnknown. One object, one identity: every interface a client gets of it leads back to this object,
    // never to the system's unwrapped, which would miss what the program says. The window handle is
    // answered here and the list of children is the system's passed through; nothing else of the
    // system's object (its marshalling, its service provider) is handed on.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        if (iid == kIidUnknown || iid == kIidDispatch || iid == kIidAccessible) {
            *out = static_cast<IAccessible*>(this);
        } else if (iid == kIidOleWindow) {
            *out = static_cast<IOleWindow*>(this);
        } else if (iid == kIidEnumVariant && children_ != nullptr) {
            *out = static_cast<IEnumVARIANT*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            if (children_ != nullptr) {
                children_->Release();
            }
            system_->Release();
            delete this;
        }
        return left;
    }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) {
            return E_POINTER;
        }
        *window = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return system_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override {
        return system_->GetTypeInfo(i, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT n, LCID lcid,
                                            DISPID* ids) override {
        return system_->GetIDsOfNames(iid, names, n, lcid, ids);
    }
    // A late-bound reader's call reaches the wrapper's own members through the interface's type
    // description, which is the system object's; without one (the system has none to give) it goes to
    // the system's object.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override {
        ITypeInfo* info = nullptr;
        if (FAILED(system_->GetTypeInfo(0, lcid, &info)) || info == nullptr) {
            return system_->Invoke(id, iid, lcid, flags, params, result, exception, argError);
        }
        const HRESULT invoked =
            DispInvoke(static_cast<IAccessible*>(this), info, id, flags, params, result, exception, argError);
        info->Release();
        return invoked;
    }

    // IAccessible: the four the window may know better.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (AccessibleFacts f; isSelf(child) && name != nullptr && facts(f) && f.name) {
            return text(*f.name, name);
        }
        return system_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (AccessibleFacts f;
            client_ && isSelf(child) && description != nullptr && facts(f) && f.description) {
            return text(*f.description, description);
        }
        return system_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (AccessibleFacts f; client_ && isSelf(child) && role != nullptr && facts(f) && f.role != 0) {
            role->vt = VT_I4;
            role->lVal = f.role;
            return S_OK;
        }
        return system_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        HRESULT result = system_->get_accState(child, state);
        if (AccessibleFacts f; client_ && SUCCEEDED(result) && isSelf(child) && state != nullptr &&
                               state->vt == VT_I4 && facts(f)) {
            state->lVal |= f.addedStates;
        }
        return result;
    }

    // IAccessible: the system's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return system_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return system_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return system_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return system_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return system_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return system_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return system_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return system_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return system_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return system_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return system_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return system_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return system_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return system_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return system_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return system_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return system_->put_accValue(child, value);
    }

  private:
    // Asked anew each time, so the answers follow the window's state.
    bool facts(AccessibleFacts& out) const {
        auto source = sources().find(window_);
        if (source == sources().end()) {
            return false;
        }
        source->second->describe(out);
        return true;
    }
    static HRESULT text(const std::wstring& value, BSTR* out) {
        *out = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    HWND window_;
    IAccessible* system_;
    bool client_;
    std::atomic<ULONG> references_{1};
};

}  // namespace

void registerAccessible(HWND window, const AccessibleSource& source) {
    sources()[window] = &source;
}

void unregisterAccessible(HWND window) {
    sources().erase(window);
}

std::optional<LRESULT> answerGetObject(HWND window, WPARAM wp, LPARAM lp, bool alsoWindowObject) {
    // The object id arrives as a 32-bit value in a parameter that may be wider.
    const LONG object = static_cast<LONG>(static_cast<DWORD>(lp));
    if (object != OBJID_CLIENT && !(alsoWindowObject && object == OBJID_WINDOW)) {
        return std::nullopt;
    }
    if (!loadAccessibility()) {
        return std::nullopt;
    }
    // The object is handed to another process through COM.
    if (!enterComApartment()) {
        return std::nullopt;
    }
    IAccessible* system = nullptr;
    if (FAILED(systemCalls().createStdAccessibleObject(window, object, kIidAccessible,
                                                       reinterpret_cast<void**>(&system))) ||
        system == nullptr) {
        return std::nullopt;
    }
    auto* wrapped = new WrappedAccessible(window, system, object == OBJID_CLIENT);
    const LRESULT result =
        systemCalls().lresultFromObject(kIidAccessible, wp, static_cast<IAccessible*>(wrapped));
    wrapped->Release();  // the answer holds its own reference until the reader takes it
    return result;
}

void announceNameChange(HWND window) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

void announceDescriptionChange(HWND window) {
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace win32
