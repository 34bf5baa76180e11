#include "platform/win32/com/control_object.h"

#include <objidl.h>
#include <ocidl.h>
#include <olectl.h>

#include <cmath>
#include <map>
#include <span>
#include <vector>

#include "core/runtime/errors.h"
#include "platform/win32/com/bstr.h"
#include "platform/win32/com/com_ptr.h"
#include "platform/win32/com/dual_dispatch.h"
#include "platform/win32/com/module.h"
#include "platform/win32/com/persistence.h"
#include "platform/win32/com/value_variant.h"
#include "platform/win32/runtime/gdi.h"
#include "platform/win32/runtime/ole_objects.h"
#include "platform/win32/runtime/win32_services.h"
#include "platform/win32/runtime/win32_window.h"

namespace nx::win32 {

namespace {

// HRESULTs of failing property calls, as hosts of controls know them.
constexpr HRESULT kInvalidPropertyValue = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 380);

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

std::wstring modulePath() {
  wchar_t path[MAX_PATH * 2] = {};
  GetModuleFileNameW(Module::instance(), path, MAX_PATH * 2);
  return path;
}

// Type information of one class, shared by its instances on the thread and released with the
// last of them.
struct ClassTypes {
  ComPtr<ITypeLib> lib;
  ComPtr<ITypeInfo> coclass;
  ComPtr<ITypeInfo> events;
  DualInterface dual;
  int users = 0;
};

thread_local std::map<const ControlClass*, ClassTypes> tClassTypes;

HRESULT acquireTypes(const ControlClass& cls, ClassTypes*& out) {
  ClassTypes& t = tClassTypes[&cls];
  if (t.users == 0) {
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, lib.put());
    if (FAILED(hr)) return hr;
    ComPtr<ITypeInfo> dispatchInfo, interfaceInfo, coclass, events;
    if (FAILED(hr = lib->GetTypeInfoOfGuid(*cls.iid, dispatchInfo.put()))) return hr;
    HREFTYPE ref = 0;
    if (FAILED(hr = dispatchInfo->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref))) return hr;
    if (FAILED(hr = dispatchInfo->GetRefTypeInfo(ref, interfaceInfo.put()))) return hr;
    if (FAILED(hr = lib->GetTypeInfoOfGuid(*cls.clsid, coclass.put()))) return hr;
    if (FAILED(hr = lib->GetTypeInfoOfGuid(*cls.eventIid, events.put()))) return hr;
    DualInterface dual;
    if (FAILED(hr = DualInterface::build(interfaceInfo.get(), dual))) return hr;
    dual.setDispatchInfo(dispatchInfo);
    t.lib = std::move(lib);
    t.coclass = std::move(coclass);
    t.events = std::move(events);
    t.dual = std::move(dual);
  }
  ++t.users;
  out = &t;
  return S_OK;
}

void releaseTypes(const ControlClass& cls) {
  auto it = tClassTypes.find(&cls);
  if (it != tClassTypes.end() && --it->second.users == 0) tClassTypes.erase(it);
}

// Reads a property of an automation object by name.
bool getByName(IDispatch* object, const wchar_t* name, VARIANT& out) {
  VariantInit(&out);
  if (!object) return false;
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                  &out, nullptr, nullptr));
}

bool getById(IDispatch* object, DISPID id, VARIANT& out) {
  VariantInit(&out);
  if (!object) return false;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                  &out, nullptr, nullptr));
}

class ConnectionPoint;

}  // namespace

class ControlObject final : public IOleObject,
                            public IOleInPlaceObject,
                            public IOleInPlaceActiveObject,
                            public IOleControl,
                            public IViewObject2,
                            public IPersistStreamInit,
                            public IPersistPropertyBag,
                            public IProvideClassInfo2,
                            public IConnectionPointContainer,
                            public ISupportErrorInfo,
                            public INxHostedControl,
                            private DualOwner,
                            private ControlSite,
                            private WindowOwner,
                            private Extender,
                            private Ambient {
 public:
  explicit ControlObject(const ControlClass& cls);
  ~ControlObject();
  HRESULT init();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG n = InterlockedDecrement(&refs_);
    if (n == 0) {
      refs_ = 1;  // calls made while the object is being destroyed must not destroy it again
      delete this;
    }
    return static_cast<ULONG>(n);
  }

  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Close(DWORD) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                   LPCRECT pos) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** out) override {
    return OleRegEnumVerbs(*cls_.clsid, out);
  }
  HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* out) override { return GetClassID(out); }
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* out) override {
    return OleRegGetUserType(*cls_.clsid, form, out);
  }
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** out) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override {
    if (!status) return E_POINTER;
    *status = cls_.miscStatus;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT pos, LPCRECT clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* msg) override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override {
    frozen_ += freeze ? 1 : (frozen_ > 0 ? -1 : 0);
    return S_OK;
  }

  // IViewObject2
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC draw,
                                 LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                 ULONG_PTR) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                        LOGPALETTE**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override {
    viewSink_ = ComPtr<IAdviseSink>(sink);
    viewAspects_ = aspects;
    viewFlags_ = flags;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override {
    return GetExtent(aspect, size);
  }

  // IPersist, IPersistStreamInit, IPersistPropertyBag
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* out) override {
    if (!out) return E_POINTER;
    *out = *cls_.clsid;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;
  HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
  HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

  // IProvideClassInfo2
  HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override {
    if (!out) return E_POINTER;
    *out = types_->coclass.get();
    (*out)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* out) override {
    if (!out) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *out = *cls_.eventIid;
    return S_OK;
  }

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return (iid == *cls_.iid || iid == IID_IDispatch) ? S_OK : S_FALSE;
  }

  // INxHostedControl
  HostedObject* STDMETHODCALLTYPE hostedObject() override { return control_.get(); }

  // Called by the connection points.
  ULONG outerAddRef() { return AddRef(); }
  ULONG outerRelease() { return Release(); }

 private:
  // DualOwner
  HRESULT dualQueryInterface(REFIID iid, void** out) override { return QueryInterface(iid, out); }
  ULONG dualAddRef() override { return AddRef(); }
  ULONG dualRelease() override { return Release(); }
  HRESULT invokeSlot(const DualSlot& slot, std::span<VARIANT> args, VARIANT& result) override;

  // ControlSite
  ControlWindow& window() override { return *window_; }
  SystemServices& services() override { return services_; }
  const Extender* extender() const override;
  const Ambient* ambient() const override;
  void raiseEvent(int position, std::span<Value> args) override;
  void propertyChanged(std::string_view key) override;
  void controlInfoChanged() override;

  // WindowOwner
  void windowInput(UINT message, WPARAM wParam, LPARAM lParam) override;
  void windowFocus(bool gained) override;
  void windowResizedItself(int width, int height) override;

  // Extender
  std::optional<std::string> name() const override;
  std::optional<std::string> toolTipText() const override;
  std::optional<double> left() const override;
  std::optional<double> width() const override;
  std::optional<std::vector<HostedObject*>> parentControls() const override;
  // Ambient
  std::optional<FontRef> font() const override;
  std::optional<bool> userMode() const override;
  std::optional<bool> displayAsDefault() const override;

  ComPtr<IDispatch> extenderObject() const;
  ComPtr<IDispatch> ambientObject() const;
  std::optional<Value> extenderValue(const wchar_t* name) const;

  // Runs a call into the control and shows what it drew; errors become HRESULTs.
  template <class F>
  HRESULT guarded(const IID& iid, F&& call);
  void ensureLoaded();
  void afterCall();
  HRESULT inPlaceActivate(bool uiActivate, IOleClientSite* site, HWND parent, LPCRECT pos);
  void resizeTo(int width, int height);

  LONG refs_ = 1;
  ModuleObject moduleObject_;
  const ControlClass& cls_;
  ClassTypes* types_ = nullptr;
  DualObject dual_{};
  Win32Services services_;
  std::unique_ptr<Win32Window> window_;
  std::unique_ptr<ControlBase> control_;
  std::unique_ptr<ConnectionPoint> events_;
  std::unique_ptr<ConnectionPoint> notify_;
  ComPtr<IOleClientSite> clientSite_;
  ComPtr<IOleInPlaceSite> inPlaceSite_;
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleInPlaceUIWindow> doc_;
  ComPtr<IOleAdviseHolder> adviseHolder_;
  ComPtr<IAdviseSink> viewSink_;
  DWORD viewAspects_ = 0;
  DWORD viewFlags_ = 0;
  bool loaded_ = false;
  bool dirty_ = false;
  bool inPlace_ = false;
  bool uiActive_ = false;
  int frozen_ = 0;
  AccelTable accelerators_;  // of the last GetControlInfo
};

namespace {

// A connection point of a control object: events or property change notifications.
class ConnectionPoint final : public IConnectionPoint {
 public:
  ConnectionPoint(ControlObject& owner, IConnectionPointContainer* container, const IID& iid)
      : owner_(owner), container_(container), iid_(iid) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
      *out = static_cast<IConnectionPoint*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return owner_.outerAddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return owner_.outerRelease(); }

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* out) override {
    if (!out) return E_POINTER;
    *out = iid_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override {
    if (!out) return E_POINTER;
    *out = container_;
    container_->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
    if (!sink || !cookie) return E_POINTER;
    ComPtr<IUnknown> typed;
    if (FAILED(sink->QueryInterface(iid_, typed.putVoid())) || !typed) {
      // Event sinks may only answer IDispatch.
      if (iid_ == IID_IPropertyNotifySink ||
          FAILED(sink->QueryInterface(IID_IDispatch, typed.putVoid())) || !typed)
        return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = ++lastCookie_;
    sinks_[*cookie] = std::move(typed);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

  // The sinks at this moment (a sink may unadvise while it is being called).
  std::vector<ComPtr<IUnknown>> sinks() const {
    std::vector<ComPtr<IUnknown>> out;
    for (const auto& [cookie, sink] : sinks_) out.push_back(sink);
    return out;
  }
  void clear() { sinks_.clear(); }

 private:
  ControlObject& owner_;
  IConnectionPointContainer* container_;
  IID iid_;
  std::map<DWORD, ComPtr<IUnknown>> sinks_;
  DWORD lastCookie_ = 0;
};

}  // namespace

ControlObject::ControlObject(const ControlClass& cls) : cls_(cls) {}

HRESULT ControlObject::init() {
  const HRESULT hr = acquireTypes(cls_, types_);
  if (FAILED(hr)) return hr;
  dual_ = DualObject{types_->dual.vtable(), this, &types_->dual};
  try {
    window_ = std::make_unique<Win32Window>(static_cast<WindowOwner&>(*this));
    window_->setPosition(RECT{0, 0, cls_.defaultSizePx.cx, cls_.defaultSizePx.cy});
    events_ = std::make_unique<ConnectionPoint>(*this, this, *cls_.eventIid);
    notify_ = std::make_unique<ConnectionPoint>(*this, this, IID_IPropertyNotifySink);
    control_ = cls_.create(*this);
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
  if (types_) releaseTypes(cls_);
}

HRESULT ControlObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown)
    *out = static_cast<IOleObject*>(this);
  else if (iid == IID_IDispatch || iid == *cls_.iid)
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

template <class F>
HRESULT ControlObject::guarded(const IID& iid, F&& call) {
  // A host may drop its last reference from an event handler; the call finishes first.
  ComPtr<IOleObject> keepAlive(static_cast<IOleObject*>(this));
  try {
    call();
    afterCall();
    return S_OK;
  } catch (const ConversionError& e) {
    afterCall();
    return reportError(iid, DISP_E_TYPEMISMATCH, e.what());
  } catch (const NxError& e) {
    afterCall();
    return reportError(iid, kInvalidPropertyValue, e.what());
  } catch (const std::exception& e) {
    afterCall();
    return reportError(iid, E_FAIL, e.what());
  } catch (...) {
    return E_UNEXPECTED;
  }
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

HRESULT ControlObject::invokeSlot(const DualSlot& slot, std::span<VARIANT> args,
                                  VARIANT& result) {
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
      VariantClear(&args[i]);
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

HRESULT ControlObject::inPlaceActivate(bool uiActivate, IOleClientSite* site, HWND parent,
                                       LPCRECT pos) {
  if (!clientSite_ && site) clientSite_ = ComPtr<IOleClientSite>(site);
  if (!clientSite_) return E_UNEXPECTED;
  HRESULT hr = guarded(*cls_.iid, [&] { ensureLoaded(); });
  if (FAILED(hr)) return hr;
  if (!inPlace_) {
    inPlaceSite_ = clientSite_.as<IOleInPlaceSite>(IID_IOleInPlaceSite);
    if (!inPlaceSite_) return E_NOINTERFACE;
    if (inPlaceSite_->CanInPlaceActivate() != S_OK) return E_FAIL;
    inPlaceSite_->OnInPlaceActivate();
    auto undo = [&](HRESULT failure) {
      inPlaceSite_->OnInPlaceDeactivate();
      inPlaceSite_.reset();
      frame_.reset();
      doc_.reset();
      return failure;
    };
    HWND container = parent;
    if (!container && FAILED(inPlaceSite_->GetWindow(&container))) return undo(E_FAIL);
    RECT position = {0, 0, window_->widthPx(), window_->heightPx()};
    RECT clip = position;
    OLEINPLACEFRAMEINFO info = {};
    info.cb = sizeof(info);
    // The site's position wins over the one passed with the verb.
    if (FAILED(inPlaceSite_->GetWindowContext(frame_.put(), doc_.put(), &position, &clip, &info)) &&
        pos)
      position = *pos;
    bool created = false;
    hr = guarded(*cls_.iid, [&] { created = window_->create(container, position); });
    if (FAILED(hr) || !created) return undo(FAILED(hr) ? hr : E_FAIL);
    inPlace_ = true;
    hr = guarded(*cls_.iid, [&] { control_->Resize(); });
    if (FAILED(hr)) return hr;
  }
  if (uiActivate && !uiActive_) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    // The container routes keys and accelerators to the active object.
    auto* active = static_cast<IOleInPlaceActiveObject*>(this);
    if (frame_) frame_->SetActiveObject(active, nullptr);
    if (doc_) doc_->SetActiveObject(active, nullptr);
    if (GetFocus() != window_->hwnd()) SetFocus(window_->hwnd());
  }
  ShowWindow(window_->hwnd(), SW_SHOW);
  return S_OK;
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

// ---- in-place object ----

HRESULT ControlObject::GetWindow(HWND* out) {
  if (!out) return E_POINTER;
  *out = window_->hwnd();
  return *out ? S_OK : E_FAIL;
}

HRESULT ControlObject::InPlaceDeactivate() {
  if (!inPlace_) return S_OK;
  UIDeactivate();
  inPlace_ = false;
  window_->destroy();
  if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
  inPlaceSite_.reset();
  frame_.reset();
  doc_.reset();
  return S_OK;
}

HRESULT ControlObject::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (doc_) doc_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT ControlObject::SetObjectRects(LPCRECT pos, LPCRECT) {
  if (!pos) return E_POINTER;
  return guarded(*cls_.iid, [&] {
    window_->setPosition(*pos);
    if (loaded_) control_->Resize();
  });
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

// ---- persistence ----

HRESULT ControlObject::InitNew() {
  if (loaded_) return E_UNEXPECTED;
  return guarded(*cls_.iid, [&] { ensureLoaded(); });
}

HRESULT ControlObject::Load(IStream* stream) {
  if (!stream) return E_POINTER;
  if (loaded_) return E_UNEXPECTED;
  StreamStore store;
  HRESULT hr = E_OUTOFMEMORY;
  try {
    hr = store.load(stream);
  } catch (...) {
  }
  if (FAILED(hr)) return hr;
  loaded_ = true;
  return guarded(*cls_.iid, [&] {
    control_->ReadProperties(store);
    control_->Resize();
  });
}

HRESULT ControlObject::Save(IStream* stream, BOOL clearDirty) {
  if (!stream) return E_POINTER;
  StreamStore store;
  HRESULT hr = guarded(*cls_.iid, [&] {
    ensureLoaded();
    control_->WriteProperties(store);
  });
  if (FAILED(hr)) return hr;
  hr = store.save(stream);
  if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
  return hr;
}

HRESULT ControlObject::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  StreamStore store;
  const HRESULT hr = guarded(*cls_.iid, [&] {
    ensureLoaded();
    control_->WriteProperties(store);
  });
  size->QuadPart = store.size();
  return hr;
}

HRESULT ControlObject::Load(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  if (loaded_) return E_UNEXPECTED;
  loaded_ = true;
  BagStore store(bag, log);
  return guarded(*cls_.iid, [&] {
    control_->ReadProperties(store);
    control_->Resize();
  });
}

HRESULT ControlObject::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
  if (!bag) return E_POINTER;
  BagStore store(bag, nullptr);
  const HRESULT hr = guarded(*cls_.iid, [&] {
    ensureLoaded();
    control_->WriteProperties(store);
  });
  if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
  return hr;
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
  // By-reference arguments: each points into its own VARIANT, read back after every sink.
  std::vector<VARIANT> values(args.size());
  std::vector<VARIANT> refs(args.size());
  for (VARIANT& ref : refs) VariantInit(&ref);
  for (std::size_t i = 0; i < args.size(); ++i) {
    toVariant(args[i], values[i]);
    // Arguments go in reverse order.
    VARIANT& ref = refs[args.size() - 1 - i];
    if (V_VT(&values[i]) == VT_EMPTY || V_VT(&values[i]) == VT_DISPATCH) {
      V_VT(&ref) = VT_BYREF | VT_VARIANT;
      V_VARIANTREF(&ref) = &values[i];
    } else {
      V_VT(&ref) = static_cast<VARTYPE>(VT_BYREF | V_VT(&values[i]));
      V_BYREF(&ref) = &V_UI1(&values[i]);  // the value's storage inside its VARIANT
    }
  }
  // Events are numbered by position; the sink is called with the event's own id.
  DISPID eventId = position;
  FUNCDESC* f = nullptr;
  if (position >= 1 &&
      SUCCEEDED(types_->events->GetFuncDesc(static_cast<UINT>(position - 1), &f))) {
    eventId = f->memid;
    types_->events->ReleaseFuncDesc(f);
  }
  ComPtr<IOleObject> keepAlive(static_cast<IOleObject*>(this));
  for (const ComPtr<IUnknown>& sink : events_->sinks()) {
    auto dispatch = sink.as<IDispatch>(IID_IDispatch);
    if (!dispatch) continue;
    DISPPARAMS params = {refs.data(), nullptr, static_cast<UINT>(refs.size()), 0};
    dispatch->Invoke(eventId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                     nullptr, nullptr);
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    Value back;
    if (SUCCEEDED(fromVariant(values[i], back))) args[i] = std::move(back);
    VariantClear(&values[i]);
  }
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
  for (const ComPtr<IUnknown>& sink : notify_->sinks()) {
    if (auto n = sink.as<IPropertyNotifySink>(IID_IPropertyNotifySink)) n->OnChanged(id);
  }
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
}

void ControlObject::windowFocus(bool gained) {
  // Taking the focus makes the control the container's active object.
  if (gained && inPlace_ && !uiActive_) inPlaceActivate(true, nullptr, nullptr, nullptr);
  if (clientSite_) {
    if (auto control = clientSite_.as<IOleControlSite>(IID_IOleControlSite))
      control->OnFocus(gained);
  }
  guarded(*cls_.iid, [&] { gained ? control_->GotFocus() : control_->LostFocus(); });
}

void ControlObject::windowResizedItself(int width, int height) {
  if (!inPlaceSite_ || !window_->hwnd()) return;
  RECT current;
  GetWindowRect(window_->hwnd(), &current);
  MapWindowPoints(nullptr, GetParent(window_->hwnd()), reinterpret_cast<POINT*>(&current), 2);
  RECT wanted = {current.left, current.top, current.left + width, current.top + height};
  inPlaceSite_->OnPosRectChange(&wanted);
}

// ---- extender and ambient ----

ComPtr<IDispatch> ControlObject::extenderObject() const {
  ComPtr<IDispatch> out;
  if (!clientSite_) return out;
  auto control = clientSite_.as<IOleControlSite>(IID_IOleControlSite);
  if (control) control->GetExtendedControl(out.put());
  return out;
}

ComPtr<IDispatch> ControlObject::ambientObject() const {
  return clientSite_ ? clientSite_.as<IDispatch>(IID_IDispatch) : ComPtr<IDispatch>();
}

const Extender* ControlObject::extender() const {
  return extenderObject() ? static_cast<const Extender*>(this) : nullptr;
}

const Ambient* ControlObject::ambient() const {
  return ambientObject() ? static_cast<const Ambient*>(this) : nullptr;
}

std::optional<Value> ControlObject::extenderValue(const wchar_t* name) const {
  VARIANT v;
  if (!getByName(extenderObject().get(), name, v)) return std::nullopt;
  Value out;
  const HRESULT hr = fromVariant(v, out);
  VariantClear(&v);
  if (FAILED(hr)) return std::nullopt;
  return out;
}

std::optional<std::string> ControlObject::name() const {
  auto v = extenderValue(L"Name");
  if (!v) return std::nullopt;
  try {
    return toText(*v);
  } catch (const NxError&) {
    return std::nullopt;
  }
}

std::optional<std::string> ControlObject::toolTipText() const {
  auto v = extenderValue(L"ToolTipText");
  if (!v) return std::nullopt;
  try {
    return toText(*v);
  } catch (const NxError&) {
    return std::nullopt;
  }
}

std::optional<double> ControlObject::left() const {
  auto v = extenderValue(L"Left");
  if (!v) return std::nullopt;
  try {
    return toDouble(*v);
  } catch (const NxError&) {
    return std::nullopt;
  }
}

std::optional<double> ControlObject::width() const {
  auto v = extenderValue(L"Width");
  if (!v) return std::nullopt;
  try {
    return toDouble(*v);
  } catch (const NxError&) {
    return std::nullopt;
  }
}

std::optional<std::vector<HostedObject*>> ControlObject::parentControls() const {
  VARIANT parent, controls, enumerator;
  VariantInit(&controls);
  VariantInit(&enumerator);
  if (!getByName(extenderObject().get(), L"Parent", parent)) return std::nullopt;
  std::optional<std::vector<HostedObject*>> result;
  if (V_VT(&parent) == VT_DISPATCH && getByName(V_DISPATCH(&parent), L"Controls", controls)) {
    if (V_VT(&controls) == VT_DISPATCH &&
        getById(V_DISPATCH(&controls), DISPID_NEWENUM, enumerator) &&
        (V_VT(&enumerator) == VT_UNKNOWN || V_VT(&enumerator) == VT_DISPATCH)) {
      ComPtr<IEnumVARIANT> items;
      if (V_UNKNOWN(&enumerator) &&
          SUCCEEDED(V_UNKNOWN(&enumerator)->QueryInterface(IID_IEnumVARIANT, items.putVoid()))) {
        std::vector<HostedObject*> found;
        VARIANT item;
        VariantInit(&item);
        ULONG fetched = 0;
        while (items->Next(1, &item, &fetched) == S_OK && fetched == 1) {
          if ((V_VT(&item) == VT_DISPATCH || V_VT(&item) == VT_UNKNOWN) && V_UNKNOWN(&item)) {
            ComPtr<INxHostedControl> hosted;
            // Extenders aggregate the control or hand it out through their "Object" property.
            if (FAILED(V_UNKNOWN(&item)->QueryInterface(IID_INxHostedControl, hosted.putVoid()))) {
              VARIANT inner;
              if (V_VT(&item) == VT_DISPATCH && getByName(V_DISPATCH(&item), L"Object", inner)) {
                if ((V_VT(&inner) == VT_DISPATCH || V_VT(&inner) == VT_UNKNOWN) &&
                    V_UNKNOWN(&inner))
                  V_UNKNOWN(&inner)->QueryInterface(IID_INxHostedControl, hosted.putVoid());
                VariantClear(&inner);
              }
            }
            if (hosted) found.push_back(hosted->hostedObject());
          }
          VariantClear(&item);
        }
        result = std::move(found);
      }
    }
  }
  VariantClear(&enumerator);
  VariantClear(&controls);
  VariantClear(&parent);
  return result;
}

std::optional<FontRef> ControlObject::font() const {
  VARIANT v;
  if (!getById(ambientObject().get(), DISPID_AMBIENT_FONT, v)) return std::nullopt;
  Value out;
  const HRESULT hr = fromVariant(v, out);
  VariantClear(&v);
  if (FAILED(hr) || kindOf(out) != ValueKind::Font || !std::get<FontRef>(out)) return std::nullopt;
  return std::get<FontRef>(out);
}

std::optional<bool> ControlObject::userMode() const {
  VARIANT v;
  if (!getById(ambientObject().get(), DISPID_AMBIENT_USERMODE, v)) return std::nullopt;
  std::optional<bool> out;
  if (V_VT(&v) == VT_BOOL) out = V_BOOL(&v) != VARIANT_FALSE;
  VariantClear(&v);
  return out;
}

std::optional<bool> ControlObject::displayAsDefault() const {
  VARIANT v;
  if (!getById(ambientObject().get(), DISPID_AMBIENT_DISPLAYASDEFAULT, v)) return std::nullopt;
  std::optional<bool> out;
  if (V_VT(&v) == VT_BOOL) out = V_BOOL(&v) != VARIANT_FALSE;
  VariantClear(&v);
  return out;
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
