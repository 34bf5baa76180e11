// nxslider.ocx: its class, as the table the shared entry points register and create from.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <olectl.h>

#include <array>
#include <memory>

#include "nxslider_h.h"
#include "platform/win32/com/control_object.h"
#include "platform/win32/com/module.h"
#include "resource_ids.h"
#include "slider/tracker/tracker.h"

namespace {

using namespace nx::win32;

constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_SETCLIENTSITEFIRST;

const ControlClass kTracker = {&CLSID_NxTracker,
                               &IID__NxTracker,
                               &DIID___NxTracker,
                               kMiscStatus,
                               {200, 80},
                               [](nx::ControlSite& site) -> std::unique_ptr<nx::ControlBase> {
                                 return std::make_unique<nx::NxTracker>(site);
                               }};

HRESULT createTracker(REFIID iid, void** out) {
  return createControlObject(kTracker, iid, out);
}

const std::array<ClassEntry, 1> kClasses = {{
    {&CLSID_NxTracker, L"NxTracker", L"nx tracker", IDB_TRACKER_TOOLBOX, kMiscStatus,
     &createTracker},
}};

const LibraryEntry kLibrary = {&LIBID_nxslider, L"nxslider", 1, 0, kClasses};

}  // namespace

const nx::win32::LibraryEntry& nx::win32::nxLibrary() {
  return kLibrary;
}
