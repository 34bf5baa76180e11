// The control object's class, shared by the files that implement it by concern:
//   control_object.cpp    the object: lifetime, QueryInterface, dispatch, IOleObject, view,
//                         IOleControl, events and property notifications, window input
//   control_inplace.cpp   in-place and UI activation, focus, keyboard (with key_routing.cpp)
//   control_persist.cpp   IPersistStreamInit and IPersistPropertyBag over the property stores
//   connection_points.*   the event and property-notify connection points
//   host_properties.*     the extender and ambient adapters
//   class_types.*         the per-thread type information of the classes
// Internal to platform/win32/com; other code uses control_object.h.
#pragma once

#include <objidl.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <span>
#include <string>

#include "core/runtime/errors.h"
#include "platform/win32/com/class_types.h"
#include "platform/win32/com/com_ptr.h"
#include "platform/win32/com/connection_points.h"
#include "platform/win32/com/control_object.h"
#include "platform/win32/com/dual_dispatch.h"
#include "platform/win32/com/host_properties.h"
#include "platform/win32/com/key_routing.h"
#include "platform/win32/com/module.h"
#include "platform/win32/runtime/gdi.h"
#include "platform/win32/runtime/win32_services.h"
#include "platform/win32/runtime/win32_window.h"

namespace nx::win32 {

// HRESULTs of failing property calls, as hosts of controls know them.
inline constexpr HRESULT kInvalidPropertyValue =
    MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 380);

// Sets the thread's error info for a failure of interface `iid` and returns `hr`.
HRESULT reportError(const IID& iid, HRESULT hr, const std::string& text);

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
                            private KeyRouteTarget {
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
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg) override;
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

 private:
  // DualOwner
  HRESULT dualQueryInterface(REFIID iid, void** out) override { return QueryInterface(iid, out); }
  ULONG dualAddRef() override { return AddRef(); }
  ULONG dualRelease() override { return Release(); }
  HRESULT invokeSlot(const DualSlot& slot, std::span<VARIANT> args, VARIANT& result) override;

  // ControlSite
  ControlWindow& window() override { return *window_; }
  SystemServices& services() override { return services_; }
  const Extender* extender() const override { return extender_.available() ? &extender_ : nullptr; }
  Extender* extender() override { return extender_.available() ? &extender_ : nullptr; }
  const Ambient* ambient() const override { return ambient_.available() ? &ambient_ : nullptr; }
  void raiseEvent(int position, std::span<Value> args) override;
  void propertyChanged(std::string_view key) override;
  void controlInfoChanged() override;

  // WindowOwner
  void windowInput(UINT message, WPARAM wParam, LPARAM lParam) override;
  void windowFocus(bool gained) override;
  void windowResizedItself(int width, int height) override;
  void windowDpiChanged() override;
  LRESULT windowDialogCode(const MSG* msg) override { return controlDialogCode(msg); }

  // KeyRouteTarget
  HWND keyWindow() const override { return window_->hwnd(); }
  TextBoxPart* keyTextPart() override { return window_->focusedTextPart(); }
  void keyDownToControl(std::int16_t& code, std::int16_t shift) override;
  HRESULT keyToContainer(MSG& msg, DWORD modifiers) override;

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
  ClassTypesLease types_;
  DualObject dual_{};
  Win32Services services_;
  std::unique_ptr<Win32Window> window_;
  std::unique_ptr<ControlBase> control_;
  std::unique_ptr<ConnectionPoint> events_;
  std::unique_ptr<ConnectionPoint> notify_;
  ComPtr<IOleClientSite> clientSite_;
  ExtenderProperties extender_{clientSite_};
  AmbientProperties ambient_{clientSite_};
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

template <class F>
HRESULT ControlObject::guarded(const IID& iid, F&& call) {
  // A host may drop its last reference from an event handler; the call finishes first.
  ComPtr<IOleObject> keepAlive(static_cast<IOleObject*>(this));
  try {
    call();
    afterCall();
    return S_OK;
  } catch (const OverflowError& e) {
    afterCall();
    return reportError(iid, DISP_E_OVERFLOW, e.what());
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

}  // namespace nx::win32
