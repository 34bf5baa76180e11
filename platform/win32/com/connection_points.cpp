#include "platform/win32/com/connection_points.h"

#include <olectl.h>

#include "platform/win32/com/value_variant.h"
#include "platform/win32/com/variant.h"

namespace nx::win32 {

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* out) {
  if (!out) return E_POINTER;
  *out = iid_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (!out) return E_POINTER;
  *out = &container_;
  container_.AddRef();
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
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

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::sinks() const {
  std::vector<ComPtr<IUnknown>> out;
  for (const auto& [cookie, sink] : sinks_) out.push_back(sink);
  return out;
}

void fireEvent(const ConnectionPoint& point, ITypeInfo* events, int position,
               std::span<Value> args) {
  // By-reference arguments: each points into its own VARIANT, read back after every sink.
  // `refs` owns nothing (its entries point into `values`), so it stays a plain array.
  std::vector<Variant> values(args.size());
  std::vector<VARIANT> refs(args.size());
  for (VARIANT& ref : refs) VariantInit(&ref);
  for (std::size_t i = 0; i < args.size(); ++i) {
    VARIANT& value = values[i].ref();
    toVariant(args[i], value);
    // Arguments go in reverse order.
    VARIANT& ref = refs[args.size() - 1 - i];
    if (V_VT(&value) == VT_EMPTY || V_VT(&value) == VT_DISPATCH) {
      V_VT(&ref) = VT_BYREF | VT_VARIANT;
      V_VARIANTREF(&ref) = &value;
    } else {
      V_VT(&ref) = static_cast<VARTYPE>(VT_BYREF | V_VT(&value));
      V_BYREF(&ref) = &V_UI1(&value);  // the value's storage inside its VARIANT
    }
  }
  // Events are numbered by position; the sink is called with the event's own id.
  DISPID eventId = position;
  FUNCDESC* f = nullptr;
  if (position >= 1 && events &&
      SUCCEEDED(events->GetFuncDesc(static_cast<UINT>(position - 1), &f))) {
    eventId = f->memid;
    events->ReleaseFuncDesc(f);
  }
  for (const ComPtr<IUnknown>& sink : point.sinks()) {
    auto dispatch = sink.as<IDispatch>(IID_IDispatch);
    if (!dispatch) continue;
    DISPPARAMS params = {refs.data(), nullptr, static_cast<UINT>(refs.size()), 0};
    dispatch->Invoke(eventId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                     nullptr, nullptr);
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    Value back;
    if (SUCCEEDED(fromVariant(values[i].ref(), back))) args[i] = std::move(back);
  }
}

void notifyPropertyChanged(const ConnectionPoint& point, DISPID id) {
  for (const ComPtr<IUnknown>& sink : point.sinks()) {
    if (auto n = sink.as<IPropertyNotifySink>(IID_IPropertyNotifySink)) n->OnChanged(id);
  }
}

}  // namespace nx::win32
