#include "platform/win32/formhost/client.h"

#include <vector>

namespace nx::formhost {

// ---- Library ----

Library::Library(const char* path) : module_(path ? LoadLibraryA(path) : nullptr) {
  bind();
}

Library::Library(const wchar_t* path) : module_(path ? LoadLibraryW(path) : nullptr) {
  bind();
}

void Library::bind() {
  if (!module_) return;
  getClassObject_ = reinterpret_cast<GetClassObjectFn>(
      reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
  canUnload_ = reinterpret_cast<CanUnloadFn>(
      reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
}

Library::~Library() {
  // A library that still has objects or locks keeps its code: freeing it would pull the code
  // from under them.
  if (module_ && canUnloadNow() == S_OK) FreeLibrary(module_);
}

HRESULT Library::classObject(REFCLSID clsid, REFIID iid, void** out) const {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!getClassObject_) return CO_E_DLLNOTFOUND;
  return getClassObject_(clsid, iid, out);
}

HRESULT Library::create(REFCLSID clsid, REFIID iid, void** out) const {
  if (!out) return E_POINTER;
  *out = nullptr;
  ComPtr<IClassFactory> factory;
  HRESULT hr = classObject(clsid, IID_IClassFactory, factory.putVoid());
  if (FAILED(hr)) return hr;
  if (!factory) return E_UNEXPECTED;
  return factory->CreateInstance(nullptr, iid, out);
}

HRESULT Library::canUnloadNow() const {
  return canUnload_ ? canUnload_() : E_FAIL;
}

// ---- Dispatch ----

Dispatch::Dispatch(IUnknown* object) {
  if (object) object->QueryInterface(IID_IDispatch, disp_.putVoid());
}

DISPID Dispatch::id(const wchar_t* name) const {
  DISPID id = DISPID_UNKNOWN;
  if (!disp_ || !name) return id;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(disp_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
    id = DISPID_UNKNOWN;
  return id;
}

HRESULT Dispatch::invoke(DISPID id, WORD flags, std::span<VARIANT> args, VARIANT* result,
                         EXCEPINFO* excep) const {
  if (!disp_) return E_NOINTERFACE;
  // Automation takes the arguments last to first.
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPID named = DISPID_PROPERTYPUT;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), put ? &named : nullptr,
                       static_cast<UINT>(reversed.size()), put ? 1u : 0u};
  EXCEPINFO local = {};
  UINT badArg = 0;
  if (result) VariantInit(result);
  const HRESULT hr = disp_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                   excep ? excep : &local, &badArg);
  if (!excep) {
    SysFreeString(local.bstrSource);
    SysFreeString(local.bstrDescription);
    SysFreeString(local.bstrHelpFile);
  }
  // The callee may have replaced by-value arguments' contents in place; hand them back so that
  // the caller clears what it owns.
  for (std::size_t i = 0; i < args.size(); ++i) args[i] = reversed[args.size() - 1 - i];
  return hr;
}

HRESULT Dispatch::get(const wchar_t* name, VARIANT& result, std::span<VARIANT> args) const {
  VariantInit(&result);
  const DISPID member = id(name);
  if (member == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
  return invoke(member, DISPATCH_PROPERTYGET | (args.empty() ? 0 : DISPATCH_METHOD), args, &result);
}

VARIANT Dispatch::get(const wchar_t* name) const {
  VARIANT result;
  if (FAILED(get(name, result))) VariantClear(&result);
  return result;
}

long Dispatch::getLong(const wchar_t* name, long fallback) const {
  Variant v;
  if (FAILED(get(name, *v.get()))) return fallback;
  if (FAILED(VariantChangeType(v.get(), v.get(), 0, VT_I4))) return fallback;
  return V_I4(v.get());
}

std::wstring Dispatch::getText(const wchar_t* name) const {
  Variant v;
  if (FAILED(get(name, *v.get()))) return {};
  if (FAILED(VariantChangeType(v.get(), v.get(), 0, VT_BSTR)) || !V_BSTR(v.get())) return {};
  return std::wstring(V_BSTR(v.get()), SysStringLen(V_BSTR(v.get())));
}

HRESULT Dispatch::put(const wchar_t* name, VARIANT value, EXCEPINFO* excep) const {
  const DISPID member = id(name);
  if (member == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
  VARIANT args[] = {value};
  return invoke(member, DISPATCH_PROPERTYPUT, args, nullptr, excep);
}

HRESULT Dispatch::put(const wchar_t* name, long value) const {
  return put(name, longVariant(value));
}

HRESULT Dispatch::call(const wchar_t* name, std::span<VARIANT> args, VARIANT* result,
                       EXCEPINFO* excep) const {
  const DISPID member = id(name);
  if (member == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
  return invoke(member, DISPATCH_METHOD, args, result, excep);
}

// ---- helpers ----

VARIANT boolVariant(bool b) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = b ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT longVariant(long value) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_I4;
  V_I4(&v) = value;
  return v;
}

VARIANT textVariant(const wchar_t* text) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(text ? text : L"");
  return v;
}

VARIANT byRef(VARIANT& target) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&v) = &target;
  return v;
}

namespace {

HRESULT findPoint(IUnknown* object, REFIID iid, ComPtr<IConnectionPoint>& point) {
  if (!object) return E_POINTER;
  ComPtr<IConnectionPointContainer> container;
  HRESULT hr = object->QueryInterface(IID_IConnectionPointContainer, container.putVoid());
  if (FAILED(hr)) return hr;
  if (!container) return E_NOINTERFACE;
  return container->FindConnectionPoint(iid, point.put());
}

}  // namespace

HRESULT advise(IUnknown* object, REFIID iid, IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  ComPtr<IConnectionPoint> point;
  const HRESULT hr = findPoint(object, iid, point);
  if (FAILED(hr)) return hr;
  return point->Advise(sink, cookie);
}

HRESULT unadvise(IUnknown* object, REFIID iid, DWORD cookie) {
  ComPtr<IConnectionPoint> point;
  const HRESULT hr = findPoint(object, iid, point);
  if (FAILED(hr)) return hr;
  return point->Unadvise(cookie);
}

HRESULT initNew(IUnknown* object) {
  if (!object) return E_POINTER;
  ComPtr<IPersistStreamInit> stream;
  if (SUCCEEDED(object->QueryInterface(IID_IPersistStreamInit, stream.putVoid())) && stream)
    return stream->InitNew();
  ComPtr<IPersistPropertyBag> bag;
  if (SUCCEEDED(object->QueryInterface(IID_IPersistPropertyBag, bag.putVoid())) && bag)
    return bag->InitNew();
  return S_FALSE;
}

HWND activateInPlace(IOleObject* object, IOleClientSite* site, HWND parent, const RECT& position) {
  if (!object) return nullptr;
  if (object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, parent, &position) != S_OK)
    return nullptr;
  ComPtr<IOleInPlaceObject> inPlace;
  object->QueryInterface(IID_IOleInPlaceObject, inPlace.putVoid());
  HWND hwnd = nullptr;
  if (!inPlace || FAILED(inPlace->GetWindow(&hwnd))) return nullptr;
  return hwnd;
}

namespace {

double twipsPerPixel(int axis) {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, axis) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return 1440.0 / (dpi > 0 ? dpi : 96);
}

}  // namespace

double twipsPerPixelX() {
  return twipsPerPixel(LOGPIXELSX);
}

double twipsPerPixelY() {
  return twipsPerPixel(LOGPIXELSY);
}

}  // namespace nx::formhost
