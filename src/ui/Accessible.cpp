#include "ui/Accessible.h"

#include <oleacc.h>

#include "shell/SystemLibrary.h"
#include "shell/Unicode.h"

namespace startboard {

const AccessibleKind kPushButtons{ROLE_SYSTEM_PUSHBUTTON, "Press"};
const AccessibleKind kLinks{ROLE_SYSTEM_LINK, "Jump"};

// Child ids: 0 is the client itself, 1 + i the item i. Once disconnected,
// every question is answered with RPC_E_DISCONNECTED.
class AccessibleObject final : public IAccessible {
 public:
  AccessibleObject(HWND owner, const AccessibleItems& items, const AccessibleKind& kind)
      : owner_(owner), items_(&items), kind_(kind) {}
  void Disconnect() { items_ = nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IDispatch: not offered; clients call IAccessible directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    *parent = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (items_ == nullptr) return RPC_E_DISCONNECTED;
    *count = static_cast<long>(items_->AccessibleCount());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
    *child = nullptr;  // the items are simple elements of this object
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (items_ == nullptr) return RPC_E_DISCONNECTED;
    *name = nullptr;
    const auto item = ItemOf(child);
    if (!item) return IsSelf(child) ? S_FALSE : E_INVALIDARG;
    return Text(items_->AccessibleName(*item), name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override {
    *value = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override {
    *text = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (items_ == nullptr) return RPC_E_DISCONNECTED;
    if (!IsSelf(child) && !ItemOf(child)) return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = IsSelf(child) ? ROLE_SYSTEM_CLIENT : kind_.role;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (items_ == nullptr) return RPC_E_DISCONNECTED;
    const auto item = ItemOf(child);
    if (!item && !IsSelf(child)) return E_INVALIDARG;
    state->vt = VT_I4;
    state->lVal = 0;
    // Only what the keys visit can take the focus.
    if (item && items_->AccessibleFocusable(*item)) state->lVal |= STATE_SYSTEM_FOCUSABLE;
    if (item && item == items_->AccessibleFocus()) state->lVal |= STATE_SYSTEM_FOCUSED;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
    *help = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR*, VARIANT, long*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* keys) override {
    *keys = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (items_ == nullptr) return RPC_E_DISCONNECTED;
    const auto item = items_->AccessibleFocus();
    if (!item || GetFocus() != owner_) {
      focus->vt = VT_EMPTY;
      return S_FALSE;
    }
    focus->vt = VT_I4;
    focus->lVal = static_cast<long>(*item) + 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    selection->vt = VT_EMPTY;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (items_ == nullptr) return RPC_E_DISCONNECTED;
    *action = nullptr;
    return ItemOf(child) ? Text(kind_.action, action) : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    if (items_ == nullptr) return RPC_E_DISCONNECTED;
    RECT rect{};
    if (const auto item = ItemOf(child)) {
      rect = items_->AccessibleRect(*item);
    } else if (!IsSelf(child) || GetClientRect(owner_, &rect) == FALSE) {
      return E_INVALIDARG;
    }
    MapWindowPoints(owner_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    if (items_ == nullptr) return RPC_E_DISCONNECTED;
    POINT point{x, y};
    ScreenToClient(owner_, &point);
    const auto item = items_->AccessibleAt(point);
    child->vt = VT_I4;
    child->lVal = item ? static_cast<long>(*item) + 1 : CHILDID_SELF;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~AccessibleObject() = default;
  static bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
  }
  std::optional<std::size_t> ItemOf(const VARIANT& child) const {
    if (child.vt != VT_I4 || child.lVal < 1 ||
        child.lVal > static_cast<long>(items_->AccessibleCount())) {
      return std::nullopt;
    }
    return static_cast<std::size_t>(child.lVal - 1);
  }
  HRESULT Text(std::string_view text, BSTR* out) {
    const std::wstring wide = Widen(text);
    const auto allocate = oleaut32_.Get<decltype(&SysAllocStringLen)>("SysAllocStringLen");
    *out = allocate != nullptr ? allocate(wide.data(), static_cast<UINT>(wide.size())) : nullptr;
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HWND owner_;
  const AccessibleItems* items_;
  AccessibleKind kind_;
  ULONG references_ = 1;
  SystemLibrary oleaut32_{L"oleaut32.dll"};
};

LRESULT AccessibleClient::Answer(HWND owner, WPARAM wParam) {
  const auto answer = oleacc_.Get<decltype(&LresultFromObject)>("LresultFromObject");
  if (answer == nullptr) return 0;
  if (object_ == nullptr) object_ = new AccessibleObject(owner, items_, kind_);
  return answer(IID_IAccessible, wParam, object_);  // holds its own reference
}

void AccessibleClient::Disconnect() {
  if (object_ == nullptr) return;
  object_->Disconnect();
  // Screen readers in other processes hear RPC_E_DISCONNECTED from COM itself.
  if (const auto cut = ole32_.Get<decltype(&CoDisconnectObject)>("CoDisconnectObject")) {
    cut(object_, 0);
  }
  object_->Release();
  object_ = nullptr;
}

}  // namespace startboard
