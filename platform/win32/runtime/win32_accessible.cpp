#include "platform/win32/runtime/win32_accessible.h"

#include <oleacc.h>

#include <atomic>
#include <cmath>
#include <exception>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/win32/com/bstr.h"
#include "platform/win32/com/com_ptr.h"

namespace nx::win32 {

struct AccessibleServer::State {
  HWND hwnd = nullptr;
  TreeSource tree;
  double tppX = 15;
  double tppY = 15;
  std::map<WPARAM, std::vector<int>> pending;  // posted default actions by ticket
  WPARAM nextTicket = 1;
};

namespace {

using State = AccessibleServer::State;

// The node at `path` of a fresh tree; nullopt when the window is gone or the path no longer
// leads anywhere (the element went away).
std::optional<AccessibleNode> resolve(const State& s, const std::vector<int>& path) {
  if (!s.hwnd || !s.tree) return std::nullopt;
  AccessibleNode node = s.tree();
  for (int i : path) {
    if (i < 0 || static_cast<std::size_t>(i) >= node.children.size()) return std::nullopt;
    AccessibleNode child = std::move(node.children[static_cast<std::size_t>(i)]);
    node = std::move(child);
  }
  return node;
}

// A child that is an object of its own (it has children, or lives on another window) rather
// than a simple element of its parent.
bool isObject(const AccessibleNode& n) {
  return !n.children.empty() || n.popup != 0;
}

HRESULT text(const std::string& s, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (s.empty()) return S_FALSE;
  *out = Bstr::fromUtf8(s).release();
  return *out ? S_OK : E_OUTOFMEMORY;
}

class Element final : public IAccessible {
 public:
  Element(std::shared_ptr<State> state, std::vector<int> path)
      : state_(std::move(state)), path_(std::move(path)) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }

  // IDispatch: clients of this protocol call the interface directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!state_->hwnd) return CO_E_OBJNOTCONNECTED;
    if (path_.empty())
      return AccessibleObjectFromWindow(state_->hwnd, static_cast<DWORD>(OBJID_WINDOW),
                                        IID_IDispatch, reinterpret_cast<void**>(out));
    std::vector<int> up(path_.begin(), path_.end() - 1);
    *out = new Element(state_, std::move(up));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return guarded([&](const AccessibleNode& n) {
      *count = static_cast<LONG>(n.children.size());
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return guarded([&](const AccessibleNode& self) -> HRESULT {
      const std::optional<int> index = childIndex(child, self);
      if (!index) return E_INVALIDARG;
      if (*index < 0) {
        *out = new Element(state_, path_);
        return S_OK;
      }
      const AccessibleNode& c = self.children[static_cast<std::size_t>(*index)];
      if (c.popup != 0)
        return AccessibleObjectFromWindow(reinterpret_cast<HWND>(c.popup),
                                          static_cast<DWORD>(OBJID_CLIENT), IID_IDispatch,
                                          reinterpret_cast<void**>(out));
      if (!isObject(c)) return S_FALSE;  // a simple element: asked through this object
      std::vector<int> down = path_;
      down.push_back(*index);
      *out = new Element(state_, std::move(down));
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
    return field(child, out, [](const AccessibleNode& n) { return n.name; });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
    return field(child, out, [](const AccessibleNode& n) { return n.value; });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
    return field(child, out, [](const AccessibleNode& n) { return n.description; });
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
    return field(child, out, [](const AccessibleNode& n) { return n.keyboardShortcut; });
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
    return field(child, out, [](const AccessibleNode& n) { return n.actionName; });
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    return onElement(child, [&](const AccessibleNode& n) {
      out->vt = VT_I4;
      out->lVal = roleOf(n.role);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    return onElement(child, [&](const AccessibleNode& n) {
      out->vt = VT_I4;
      out->lVal = stateBitsOf(n.states);
      if (!IsWindowVisible(state_->hwnd)) out->lVal |= STATE_SYSTEM_INVISIBLE;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    return guarded([&](const AccessibleNode& self) {
      for (std::size_t i = 0; i < self.children.size(); ++i)
        if (self.children[i].states & accstate::kFocused) return childResult(self, i, out);
      if (self.states & accstate::kFocused) {
        out->vt = VT_I4;
        out->lVal = CHILDID_SELF;
        return S_OK;
      }
      return S_FALSE;
    });
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    return guarded([&](const AccessibleNode& self) {
      for (std::size_t i = 0; i < self.children.size(); ++i)
        if (self.children[i].states & accstate::kSelected) return childResult(self, i, out);
      return S_FALSE;
    });
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    return guarded([&](const AccessibleNode& selfNode) -> HRESULT {
      const std::optional<int> index = childIndex(child, selfNode);
      if (!index) return E_INVALIDARG;
      const AccessibleNode& n =
          *index < 0 ? selfNode : selfNode.children[static_cast<std::size_t>(*index)];
      const RECT r = screenRect(n, *index < 0);
      *left = r.left;
      *top = r.top;
      *width = r.right - r.left;
      *height = r.bottom - r.top;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    return guarded([&](const AccessibleNode& self) -> HRESULT {
      const std::optional<int> from = childIndex(start, self);
      if (!from) return E_INVALIDARG;
      const auto count = static_cast<int>(self.children.size());
      int to = -1;
      switch (direction) {
        case NAVDIR_FIRSTCHILD:
          if (*from >= 0) return E_INVALIDARG;
          to = count > 0 ? 0 : -1;
          break;
        case NAVDIR_LASTCHILD:
          if (*from >= 0) return E_INVALIDARG;
          to = count - 1;
          break;
        case NAVDIR_NEXT:
        case NAVDIR_DOWN:
        case NAVDIR_RIGHT:
          if (*from < 0) return S_FALSE;  // siblings of the object itself: ask the parent
          to = *from + 1 < count ? *from + 1 : -1;
          break;
        case NAVDIR_PREVIOUS:
        case NAVDIR_UP:
        case NAVDIR_LEFT:
          if (*from < 0) return S_FALSE;
          to = *from - 1;
          break;
        default:
          return E_INVALIDARG;
      }
      if (to < 0) return S_FALSE;
      return childResult(self, static_cast<std::size_t>(to), out);
    });
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* out) override {
    if (!out) return E_POINTER;
    VariantInit(out);
    return guarded([&](const AccessibleNode& self) {
      const POINT p{x, y};
      for (std::size_t i = self.children.size(); i-- > 0;) {
        const AccessibleNode& c = self.children[i];
        if (c.states & accstate::kInvisible) continue;
        const RECT r = screenRect(c, false);
        if (PtInRect(&r, p)) return childResult(self, i, out);
      }
      const RECT own = screenRect(self, true);
      if (!PtInRect(&own, p)) return S_FALSE;
      out->vt = VT_I4;
      out->lVal = CHILDID_SELF;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return guarded([&](const AccessibleNode& self) -> HRESULT {
      const std::optional<int> index = childIndex(child, self);
      if (!index) return E_INVALIDARG;
      const AccessibleNode& n = *index < 0 ? self : self.children[static_cast<std::size_t>(*index)];
      if (!n.action) return DISP_E_MEMBERNOTFOUND;
      std::vector<int> target = path_;
      if (*index >= 0) target.push_back(*index);
      const WPARAM ticket = state_->nextTicket++;
      state_->pending[ticket] = std::move(target);
      if (!PostMessageW(state_->hwnd, AccessibleServer::actionMessage(), ticket, 0)) {
        state_->pending.erase(ticket);
        return E_FAIL;
      }
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

 private:
  // Runs `f` on this object's node; errors of the tree become COM errors.
  template <class F>
  HRESULT guarded(F&& f) {
    try {
      const std::optional<AccessibleNode> node = resolve(*state_, path_);
      if (!node) return CO_E_OBJNOTCONNECTED;
      return f(*node);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    } catch (const std::exception&) {
      return E_FAIL;
    }
  }

  // Runs `f` on the element a child identifier names (this object or one of its children).
  template <class F>
  HRESULT onElement(VARIANT child, F&& f) {
    return guarded([&](const AccessibleNode& self) -> HRESULT {
      const std::optional<int> index = childIndex(child, self);
      if (!index) return E_INVALIDARG;
      return f(*index < 0 ? self : self.children[static_cast<std::size_t>(*index)]);
    });
  }

  template <class F>
  HRESULT field(VARIANT child, BSTR* out, F&& get) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return onElement(child, [&](const AccessibleNode& n) { return text(get(n), out); });
  }

  // -1 for the object itself, else the child's index; nullopt for an identifier that names
  // nothing here.
  static std::optional<int> childIndex(const VARIANT& v, const AccessibleNode& self) {
    LONG id = 0;
    if (v.vt == VT_I4)
      id = v.lVal;
    else if (v.vt == VT_I2)
      id = v.iVal;
    else if (v.vt == VT_EMPTY)
      id = CHILDID_SELF;
    else
      return std::nullopt;
    if (id == CHILDID_SELF) return -1;
    if (id < 1 || static_cast<std::size_t>(id) > self.children.size()) return std::nullopt;
    return static_cast<int>(id - 1);
  }

  // The answer that names child i: an object of its own, or its identifier.
  HRESULT childResult(const AccessibleNode& self, std::size_t i, VARIANT* out) {
    const AccessibleNode& c = self.children[i];
    if (isObject(c)) {
      VARIANT id;
      id.vt = VT_I4;
      id.lVal = static_cast<LONG>(i + 1);
      IDispatch* object = nullptr;
      if (SUCCEEDED(get_accChild(id, &object)) && object) {
        out->vt = VT_DISPATCH;
        out->pdispVal = object;
        return S_OK;
      }
    }
    out->vt = VT_I4;
    out->lVal = static_cast<LONG>(i + 1);
    return S_OK;
  }

  // An element's rectangle on the screen: the window's own for the window's element, else the
  // element's bounds on the window it lives on.
  RECT screenRect(const AccessibleNode& n, bool self) const {
    RECT r{};
    if (self && path_.empty()) {
      GetWindowRect(state_->hwnd, &r);
      return r;
    }
    HWND on = n.popup ? reinterpret_cast<HWND>(n.popup) : state_->hwnd;
    POINT origin{0, 0};
    ClientToScreen(on, &origin);
    r.left = origin.x + static_cast<LONG>(std::lround(n.bounds.left / state_->tppX));
    r.top = origin.y + static_cast<LONG>(std::lround(n.bounds.top / state_->tppY));
    r.right = r.left + static_cast<LONG>(std::lround(n.bounds.width / state_->tppX));
    r.bottom = r.top + static_cast<LONG>(std::lround(n.bounds.height / state_->tppY));
    return r;
  }

  std::shared_ptr<State> state_;
  std::vector<int> path_;
  std::atomic<ULONG> refs_{1};
};

}  // namespace

AccessibleServer::AccessibleServer() : state_(std::make_shared<State>()) {}

AccessibleServer::~AccessibleServer() {
  detach();
}

void AccessibleServer::attach(HWND hwnd, TreeSource tree) {
  state_->hwnd = hwnd;
  state_->tree = std::move(tree);
}

void AccessibleServer::detach() {
  state_->hwnd = nullptr;
  state_->tree = nullptr;
  state_->pending.clear();
}

void AccessibleServer::setScale(double twipsPerPixelX, double twipsPerPixelY) {
  if (twipsPerPixelX > 0) state_->tppX = twipsPerPixelX;
  if (twipsPerPixelY > 0) state_->tppY = twipsPerPixelY;
}

bool AccessibleServer::answer(WPARAM wParam, LPARAM lParam, LRESULT& result,
                              std::vector<int> path) {
  if (!state_->hwnd || !state_->tree) return false;
  if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT)) return false;
  auto* element = new Element(state_, std::move(path));
  // Where the system cannot marshal the interface itself (no proxy registered for it, as in
  // some Wine prefixes), the object goes as IUnknown and the client asks it for IAccessible.
  // A failed attempt is costly (the system looks for the proxy each time): it is made once.
  static std::atomic<bool> asUnknown{false};
  result = E_NOINTERFACE;
  if (!asUnknown)
    result = LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(element));
  if (FAILED(result)) {
    result = LresultFromObject(IID_IUnknown, wParam, static_cast<IAccessible*>(element));
    if (SUCCEEDED(result)) asUnknown = true;
  }
  element->Release();
  return true;
}

bool AccessibleServer::runPosted(UINT message, WPARAM wParam) {
  if (message != actionMessage()) return false;
  auto it = state_->pending.find(wParam);
  if (it == state_->pending.end()) return true;
  const std::vector<int> path = std::move(it->second);
  state_->pending.erase(it);
  try {
    const std::optional<AccessibleNode> node = resolve(*state_, path);
    if (node && node->action) node->action();
  } catch (...) {
    // Nothing may unwind through the system's message dispatch.
  }
  return true;
}

void AccessibleServer::announce(AccessEvent event, int child) const {
  if (state_->hwnd)
    NotifyWinEvent(winEventOf(event), state_->hwnd, OBJID_CLIENT,
                   child == 0 ? CHILDID_SELF : child);
}

UINT AccessibleServer::actionMessage() {
  static const UINT message = RegisterWindowMessageW(L"nx.AccessibleDefaultAction");
  return message;
}

DWORD winEventOf(AccessEvent event) {
  switch (event) {
    case AccessEvent::Focus:
      return EVENT_OBJECT_FOCUS;
    case AccessEvent::NameChange:
      return EVENT_OBJECT_NAMECHANGE;
    case AccessEvent::ValueChange:
      return EVENT_OBJECT_VALUECHANGE;
    case AccessEvent::StateChange:
      return EVENT_OBJECT_STATECHANGE;
    case AccessEvent::Show:
      return EVENT_OBJECT_SHOW;
    case AccessEvent::Hide:
      return EVENT_OBJECT_HIDE;
    case AccessEvent::Selection:
      return EVENT_OBJECT_SELECTION;
    case AccessEvent::DescriptionChange:
      return EVENT_OBJECT_DESCRIPTIONCHANGE;
  }
  return EVENT_OBJECT_STATECHANGE;
}

LONG roleOf(AccessRole role) {
  switch (role) {
    case AccessRole::Client:
      return ROLE_SYSTEM_CLIENT;
    case AccessRole::CheckBox:
      return ROLE_SYSTEM_CHECKBUTTON;
    case AccessRole::Link:
      return ROLE_SYSTEM_LINK;
    case AccessRole::ProgressBar:
      return ROLE_SYSTEM_PROGRESSBAR;
    case AccessRole::LevelIndicator:
      // The protocol has no role of its own for a level; screen readers read a progress bar's
      // value as a level.
      return ROLE_SYSTEM_PROGRESSBAR;
    case AccessRole::Grouping:
      return ROLE_SYSTEM_GROUPING;
    case AccessRole::EditableText:
      return ROLE_SYSTEM_TEXT;
    case AccessRole::PushButton:
      return ROLE_SYSTEM_PUSHBUTTON;
    case AccessRole::Graph:
      return ROLE_SYSTEM_CHART;
    case AccessRole::StaticText:
      return ROLE_SYSTEM_STATICTEXT;
    case AccessRole::List:
      return ROLE_SYSTEM_LIST;
    case AccessRole::ListItem:
      return ROLE_SYSTEM_LISTITEM;
    case AccessRole::ComboBox:
      return ROLE_SYSTEM_COMBOBOX;
  }
  return ROLE_SYSTEM_CLIENT;
}

LONG stateBitsOf(std::uint32_t states) {
  static constexpr std::pair<std::uint32_t, LONG> kBits[] = {
      {accstate::kFocused, STATE_SYSTEM_FOCUSED},
      {accstate::kFocusable, STATE_SYSTEM_FOCUSABLE},
      {accstate::kPressed, STATE_SYSTEM_PRESSED},
      {accstate::kChecked, STATE_SYSTEM_CHECKED},
      {accstate::kMixed, STATE_SYSTEM_MIXED},
      {accstate::kUnavailable, STATE_SYSTEM_UNAVAILABLE},
      {accstate::kHotTracked, STATE_SYSTEM_HOTTRACKED},
      {accstate::kSelected, STATE_SYSTEM_SELECTED},
      {accstate::kSelectable, STATE_SYSTEM_SELECTABLE},
      {accstate::kExpanded, STATE_SYSTEM_EXPANDED},
      {accstate::kCollapsed, STATE_SYSTEM_COLLAPSED},
      {accstate::kLinked, STATE_SYSTEM_LINKED},
      {accstate::kReadOnly, STATE_SYSTEM_READONLY},
      {accstate::kInvisible, STATE_SYSTEM_INVISIBLE},
      {accstate::kDefault, STATE_SYSTEM_DEFAULT},
  };
  LONG out = 0;
  for (const auto& [bit, system] : kBits)
    if (states & bit) out |= system;
  return out;
}

}  // namespace nx::win32
