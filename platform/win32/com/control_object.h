// The ActiveX control object that hosts one control of the portable core: the OLE embedding,
// in-place activation, view, persistence, events and dispatch interfaces, all driven by the
// control's class description and type information.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <memory>
#include <span>

#include "core/control/control_base.h"

namespace nx::win32 {

struct ControlClass {
  const CLSID* clsid;
  const IID* iid;       // the default dual interface
  const IID* eventIid;  // the event dispinterface
  DWORD miscStatus;
  SIZE defaultSizePx;  // size before the host sets one
  std::unique_ptr<ControlBase> (*create)(ControlSite& site);
  // Earlier identifiers the default interface also answers to (clients built against an
  // earlier version of the class ask for them).
  std::span<const IID* const> iidAliases = {};

  bool isDefaultInterface(REFIID asked) const {
    if (asked == *iid) return true;
    for (const IID* alias : iidAliases)
      if (asked == *alias) return true;
    return false;
  }
};

// Creates a control object of the class and queries it for iid.
HRESULT createControlObject(const ControlClass& cls, REFIID iid, void** out);

// The interface through which a control object of this suite reveals its core control to
// others on the same form.
// {7B38DF54-FCDC-4AAC-A5CA-E27FFAEFC56C}
inline constexpr GUID IID_INxHostedControl = {
    0x7b38df54, 0xfcdc, 0x4aac, {0xa5, 0xca, 0xe2, 0x7f, 0xfa, 0xef, 0xc5, 0x6c}};

struct INxHostedControl : public IUnknown {
  virtual HostedObject* STDMETHODCALLTYPE hostedObject() = 0;
};

}  // namespace nx::win32
