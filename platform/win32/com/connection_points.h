// Connection points of a control object: its events (the class's event dispinterface, sinks
// that may answer only IDispatch) and property change notifications (IPropertyNotifySink).
#pragma once

#include <windows.h>

#include <ocidl.h>

#include <map>
#include <span>
#include <vector>

#include "core/runtime/value.h"
#include "platform/win32/com/com_ptr.h"

namespace nx::win32 {

class ConnectionPoint final : public IConnectionPoint {
 public:
  // `outer` is the object whose lifetime the point shares (its references are the object's);
  // `container` is what GetConnectionPointContainer hands out.
  ConnectionPoint(IUnknown& outer, IConnectionPointContainer& container, const IID& iid)
      : outer_(outer), container_(container), iid_(iid) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return outer_.AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return outer_.Release(); }

  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* out) override;
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

  // The sinks at this moment (a sink may unadvise while it is being called).
  std::vector<ComPtr<IUnknown>> sinks() const;
  void clear() { sinks_.clear(); }

 private:
  IUnknown& outer_;
  IConnectionPointContainer& container_;
  IID iid_;
  std::map<DWORD, ComPtr<IUnknown>> sinks_;
  DWORD lastCookie_ = 0;
};

// Calls the event at `position` (1 for the first of `events`) on every sink of `point`.
// Arguments go by reference: what a sink leaves in them comes back in `args`.
void fireEvent(const ConnectionPoint& point, ITypeInfo* events, int position,
               std::span<Value> args);

// Tells every property notify sink of `point` that the property `id` changed.
void notifyPropertyChanged(const ConnectionPoint& point, DISPID id);

}  // namespace nx::win32
