// The control object: lifetime, interfaces, dual dispatch into the control, the OLE embedding
// (IOleObject), the view (IViewObject2), IOleControl, events and property notifications, and
// input from the control window. In-place activation, focus and keys are in control_inplace.cpp,
// persistence in control_persist.cpp (see control_object_impl.h for the whole layout).
#include "platform/win32/com/control_object.h"

#include <cmath>
#include <vector>

#include "platform/win32/com/bstr.h"
#include "platform/win32/com/control_object_impl.h"
#include "platform/win32/com/value_variant.h"
#include "platform/win32/runtime/ole_objects.h"

namespace nx::win32 {

HRESULT reportError(const IID& iid, HRESULT hr, const std::string& text) {
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(create.put()))) {
    create->SetGUID(iid);
    const std::wstring wide = toWide(text);
    create->SetDescription(const_cast<LPOLESTR>(wide.c_str()));
    create->SetSource(const_cast<LPOLESTR>(Module::library().name));
    ComPtr<IErrorInfo> info = create.as<IErrorInfo>(IID_IErrorInfo);
    SetErrorInfo(0, info.get());
  }
  return hr;
}

ControlObject::ControlObject(const ControlClass& cls) : cls_(cls) {}

HRESULT ControlObject::init() {
  const HRESULT hr = types_.acquire(cls_);
  if (FAILED(hr)) return hr;
  dual_ = DualObject{types_->dual.vtable(), this, &types_->dual};
  try {
    window_ = std::make_unique<Win32Window>(static_cast<WindowOwner&>(*this));
    window_->setPosition(RECT{0, 0, cls_.defaultSizePx.cx, cls_.defaultSizePx.cy});
    // What a timer tick drew shows as what a call or an input drew does.
    services_.win32Timers().setAfterTick([this] { afterCall(); });
    events_ = std::make_unique<ConnectionPoint>(static_cast<IOleObject&>(*this),
                                                static_cast<IConnectionPointContainer&>(*this),
                                                *cls_.eventIid);
    notify_ = std::make_unique<ConnectionPoint>(static_cast<IOleObject&>(*this),
                                                static_cast<IConnectionPointContainer&>(*this),
                                                IID_IPropertyNotifySink);
    control_ = cls_.create(*this);
    window_->setAccessibleTree([this] {
      if (!control_ || control_->terminated()) throw HostError("the control has ended");
      return control_->accessible();
    });
    control_->Initialize();
  } catch (const std::exception& e) {
    return reportError(*cls_.iid, E_FAIL, e.what());
  }
  return S_OK;
}

ControlObject::~ControlObject() {
  if (control_) {
    try {
      control_->Terminate();
    } catch (...) {
    }
    control_.reset();
  }
  if (window_) window_->destroy();
}

HRESULT ControlObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown)
    *out = static_cast<IOleObject*>(this);
  else if (iid == IID_IDispatch || cls_.isDefaultInterface(iid))
    *out = &dual_;
  else if (iid == IID_IOleObject)
    *out = static_cast<IOleObject*>(this);
  else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
    *out = static_cast<IOleInPlaceObject*>(this);
  else if (iid == IID_IOleInPlaceActiveObject)
    *out = static_cast<IOleInPlaceActiveObject*>(this);
  else if (iid == IID_IOleControl)
    *out = static_cast<IOleControl*>(this);
  else if (iid == IID_IViewObject || iid == IID_IViewObject2)
    *out = static_cast<IViewObject2*>(this);
  else if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
    *out = static_cast<IPersistStreamInit*>(this);
  else if (iid == IID_IPersistPropertyBag)
    *out = static_cast<IPersistPropertyBag*>(this);
  else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
    *out = static_cast<IProvideClassInfo2*>(this);
  else if (iid == IID_IConnectionPointContainer)
    *out = static_cast<IConnectionPointContainer*>(this);
  else if (iid == IID_ISupportErrorInfo)
    *out = static_cast<ISupportErrorInfo*>(this);
  else if (iid == IID_INxHostedControl)
    *out = static_cast<INxHostedControl*>(this);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

void ControlObject::afterCall() {
  window_->refresh();
  if (viewSink_ && (viewAspects_ & DVASPECT_CONTENT)) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

// A control that a client uses before the host initialised it (a scripting client creates the
// object and uses it at once) starts as a new control.
void ControlObject::ensureLoaded() {
  if (loaded_) return;
  loaded_ = true;
  control_->InitProperties();
  control_->Resize();
}

HRESULT ControlObject::invokeSlot(const DualSlot& slot, std::span<VARIANT> args, VARIANT& result) {
  return guarded(*cls_.iid, [&] {
    ensureLoaded();
    if (slot.kind == INVOKE_PROPERTYGET) {
      const HRESULT hr = toVariant(control_->getProperty(slot.name), result);
      if (FAILED(hr)) throw HostError("the value cannot be returned");
      return;
    }
    std::vector<Value> values(args.size());
    for (std::size_t i = 0; i < args.size(); ++i)
      if (FAILED(fromVariant(args[i], values[i])))
        throw ConversionError("Type mismatch: " + slot.name);
    if (slot.kind == INVOKE_PROPERTYPUT || slot.kind == INVOKE_PROPERTYPUTREF) {
      if (values.size() != 1) throw HostError("wrong number of arguments: " + slot.name);
      control_->putProperty(slot.name, values[0]);
      return;
    }
    const Value returned = control_->invokeMethod(slot.name, values);
    // By-reference arguments go back as the control left them.
    for (std::size_t i = 0; i < args.size() && i < slot.params.size(); ++i) {
      if (!slot.params[i].byRef) continue;
      VariantClear(&args[i]);  // the caller's argument array owns it: its value is replaced
      if (FAILED(toVariant(values[i], args[i])))
        throw HostError("an argument cannot be returned: " + slot.name);
    }
    if (slot.resultType != VT_EMPTY && FAILED(toVariant(returned, result)))
      throw HostError("the value cannot be returned");
  });
}

// ---- IOleObject ----

HRESULT ControlObject::SetClientSite(IOleClientSite* site) {
  clientSite_ = ComPtr<IOleClientSite>(site);
  if (!site) {
    inPlaceSite_.reset();
    return S_OK;
  }
  return S_OK;
}

HRESULT ControlObject::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = clientSite_.get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

HRESULT ControlObject::Close(DWORD) {
  InPlaceDeactivate();
  if (adviseHolder_) adviseHolder_->SendOnClose();
  events_->clear();
  notify_->clear();
  viewSink_.reset();
  return S_OK;
}

HRESULT ControlObject::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                              LPCRECT pos) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
      return inPlaceActivate(false, site, parent, pos);
    case OLEIVERB_UIACTIVATE:
      return inPlaceActivate(true, site, parent, pos);
    case OLEIVERB_HIDE:
      if (window_->hwnd()) ShowWindow(window_->hwnd(), SW_HIDE);
      return S_OK;
    default:
      return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
  }
}

HRESULT ControlObject::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  WindowDc screen(nullptr);
  const int w = MulDiv(size->cx, GetDeviceCaps(screen.get(), LOGPIXELSX), 2540);
  const int h = MulDiv(size->cy, GetDeviceCaps(screen.get(), LOGPIXELSY), 2540);
  resizeTo(w, h);
  return S_OK;
}

HRESULT ControlObject::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  WindowDc screen(nullptr);
  size->cx = MulDiv(window_->widthPx(), 2540, GetDeviceCaps(screen.get(), LOGPIXELSX));
  size->cy = MulDiv(window_->heightPx(), 2540, GetDeviceCaps(screen.get(), LOGPIXELSY));
  return S_OK;
}

void ControlObject::resizeTo(int width, int height) {
  RECT position = {0, 0, width, height};
  if (window_->hwnd()) {
    RECT current;
    GetWindowRect(window_->hwnd(), &current);
    MapWindowPoints(nullptr, GetParent(window_->hwnd()), reinterpret_cast<POINT*>(&current), 2);
    position = {current.left, current.top, current.left + width, current.top + height};
  }
  guarded(*cls_.iid, [&] {
    window_->setPosition(position);
    if (loaded_) control_->Resize();
  });
}

HRESULT ControlObject::Advise(IAdviseSink* sink, DWORD* cookie) {
  if (!adviseHolder_ && FAILED(CreateOleAdviseHolder(adviseHolder_.put()))) return E_OUTOFMEMORY;
  return adviseHolder_->Advise(sink, cookie);
}

HRESULT ControlObject::Unadvise(DWORD cookie) {
  return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

HRESULT ControlObject::EnumAdvise(IEnumSTATDATA** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!adviseHolder_ && FAILED(CreateOleAdviseHolder(adviseHolder_.put()))) return E_OUTOFMEMORY;
  return adviseHolder_->EnumAdvise(out);
}

// ---- IOleControl ----

HRESULT ControlObject::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  if (info->cb != 0 && info->cb < sizeof(CONTROLINFO)) return E_INVALIDARG;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  const char key = control_->accessKey();
  if (key == 0) return S_OK;
  // Alt+letter, and the letter alone for hosts that route plain mnemonics.
  const SHORT scan = VkKeyScanA(key);
  if (scan == -1) return S_OK;
  const WORD vk = LOBYTE(scan);
  ACCEL entries[] = {{FVIRTKEY | FALT, vk, 1}, {FVIRTKEY, vk, 1}};
  accelerators_.reset(CreateAcceleratorTableA(entries, 2));
  if (!accelerators_) return S_OK;
  info->hAccel = accelerators_.get();
  info->cAccel = 2;
  return S_OK;
}

HRESULT ControlObject::OnMnemonic(MSG*) {
  return guarded(*cls_.iid, [&] {
    ensureLoaded();
    control_->Mnemonic();
  });
}

HRESULT ControlObject::OnAmbientPropertyChange(DISPID id) {
  const char* name = "";
  switch (id) {
    case DISPID_AMBIENT_USERMODE:
      name = "UserMode";
      break;
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
      name = "DisplayAsDefault";
      break;
    case DISPID_AMBIENT_FONT:
      name = "Font";
      break;
    case DISPID_UNKNOWN:
      break;
    default:
      return S_OK;
  }
  if (!loaded_) return S_OK;
  return guarded(*cls_.iid, [&] { control_->AmbientChanged(name); });
}

// ---- IViewObject2 ----

HRESULT ControlObject::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC draw,
                            LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                            ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!draw || !bounds) return E_INVALIDARG;
  const HRESULT hr = guarded(*cls_.iid, [&] { ensureLoaded(); });
  if (FAILED(hr)) return hr;
  const RECT r = {bounds->left, bounds->top, bounds->right, bounds->bottom};
  window_->paintFramed(draw, r);
  return S_OK;
}

HRESULT ControlObject::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewFlags_;
  if (sink) {
    *sink = viewSink_.get();
    if (*sink) (*sink)->AddRef();
  }
  return S_OK;
}

// ---- connection points and events ----

HRESULT ControlObject::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  ConnectionPoint* point = iid == *cls_.eventIid            ? events_.get()
                           : iid == IID_IPropertyNotifySink ? notify_.get()
                                                            : nullptr;
  if (!point) return CONNECT_E_NOCONNECTION;
  *out = point;
  point->AddRef();
  return S_OK;
}

void ControlObject::raiseEvent(int position, std::span<Value> args) {
  if (frozen_ > 0) return;
  ComPtr<IOleObject> keepAlive(static_cast<IOleObject*>(this));
  fireEvent(*events_, types_->events.get(), position, args);
}

void ControlObject::propertyChanged(std::string_view key) {
  dirty_ = true;
  // Tell the host which property changed when the key names one.
  MEMBERID id = DISPID_UNKNOWN;
  if (const auto name = control_->propertyForKey(key)) {
    std::wstring wide = toWide(*name);
    LPOLESTR names[] = {wide.data()};
    if (FAILED(types_->dual.typeInfo()->GetIDsOfNames(names, 1, &id))) id = DISPID_UNKNOWN;
  }
  notifyPropertyChanged(*notify_, id);
}

void ControlObject::controlInfoChanged() {
  if (!clientSite_) return;
  if (auto control = clientSite_.as<IOleControlSite>(IID_IOleControlSite))
    control->OnControlInfoChanged();
}

// ---- window ----

void ControlObject::windowInput(UINT message, WPARAM wParam, LPARAM lParam) {
  const double x = static_cast<SHORT>(LOWORD(lParam)) * window_->twipsPerPixelX();
  const double y = static_cast<SHORT>(HIWORD(lParam)) * window_->twipsPerPixelY();
  std::int16_t shift = static_cast<std::int16_t>((GetKeyState(VK_SHIFT) < 0 ? 1 : 0) |
                                                 (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                                                 (GetKeyState(VK_MENU) < 0 ? 4 : 0));
  std::int16_t buttons =
      static_cast<std::int16_t>(((wParam & MK_LBUTTON) ? 1 : 0) | ((wParam & MK_RBUTTON) ? 2 : 0) |
                                ((wParam & MK_MBUTTON) ? 4 : 0));
  bool unswallowed = false;
  // A click may run a modal loop (a drop-down list) in which the host lets go of the control.
  ComPtr<IOleObject> keepAlive(static_cast<IOleObject*>(this));
  guarded(*cls_.iid, [&] {
    switch (message) {
      case WM_MOUSEMOVE:
        control_->MouseMove(buttons, shift, x, y);
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        control_->PointerDown(1, shift, x, y, message == WM_LBUTTONDBLCLK);
        break;
      case WM_RBUTTONDOWN:
      case WM_RBUTTONDBLCLK:
        control_->PointerDown(2, shift, x, y, false);
        break;
      case WM_MBUTTONDOWN:
      case WM_MBUTTONDBLCLK:
        control_->PointerDown(4, shift, x, y, false);
        break;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP: {
        RECT client = {};
        GetClientRect(window_->hwnd(), &client);
        const POINT at = {static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        const std::int16_t button = message == WM_LBUTTONUP ? 1 : message == WM_RBUTTONUP ? 2 : 4;
        control_->PointerUp(button, shift, x, y, PtInRect(&client, at) != FALSE);
        break;
      }
      case WM_KEYDOWN: {
        auto key = static_cast<std::int16_t>(wParam);
        control_->KeyDown(key, shift);
        if (key != 0 && (wParam == VK_RETURN || wParam == VK_ESCAPE)) unswallowed = true;
        break;
      }
      case WM_KEYUP: {
        auto key = static_cast<std::int16_t>(wParam);
        control_->KeyUp(key, shift);
        break;
      }
      case WM_CHAR: {
        auto ascii = static_cast<std::int16_t>(wParam);
        control_->KeyPress(ascii);
        break;
      }
      default:
        break;
    }
  });
  // Enter and Escape that reached the window (a container that dispatched them without asking
  // TranslateAccelerator) and that the control did not swallow go on to the container.
  if (unswallowed) {
    MSG msg = {window_->hwnd(), message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    if (keyToContainer(msg, keyModifiers(currentShift())) != S_OK)
      keyToDialog(window_->hwnd(), msg);
  }
}

void ControlObject::windowDpiChanged() {
  if (!control_ || control_->terminated()) return;
  try {
    control_->Resize();
    afterCall();
  } catch (...) {
    // Nothing may unwind through the system's message dispatch.
  }
}

void ControlObject::windowResizedItself(int width, int height) {
  if (!inPlaceSite_ || !window_->hwnd()) return;
  RECT current;
  GetWindowRect(window_->hwnd(), &current);
  MapWindowPoints(nullptr, GetParent(window_->hwnd()), reinterpret_cast<POINT*>(&current), 2);
  RECT wanted = {current.left, current.top, current.left + width, current.top + height};
  inPlaceSite_->OnPosRectChange(&wanted);
}

HRESULT createControlObject(const ControlClass& cls, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  ControlObject* object = nullptr;
  try {
    object = new ControlObject(cls);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  HRESULT hr = object->init();
  if (SUCCEEDED(hr)) hr = object->QueryInterface(iid, out);
  object->Release();
  return hr;
}

}  // namespace nx::win32
