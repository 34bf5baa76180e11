// nxcurrency.ocx: its class, as the table the shared entry points register and create from.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <olectl.h>

#include <array>
#include <memory>

#include "nxcurrency_h.h"
#include "platform/win32/com/control_object.h"
#include "platform/win32/com/module.h"
#include "resource_ids.h"
#include "currency/eurobox/eurobox.h"

namespace {

using namespace nx::win32;

constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_SETCLIENTSITEFIRST;

const ControlClass kEuroBox = {&CLSID_NxEuroBox,
                               &IID__NxEuroBox,
                               &DIID___NxEuroBox,
                               kMiscStatus,
                               {100, 20},
                               [](nx::ControlSite& site) -> std::unique_ptr<nx::ControlBase> {
                                 return std::make_unique<nx::NxEuroBox>(site);
                               }};

HRESULT createEuroBox(REFIID iid, void** out) {
  return createControlObject(kEuroBox, iid, out);
}

const std::array<ClassEntry, 1> kClasses = {{
    {&CLSID_NxEuroBox, L"NxEuroBox", L"nx euro box", IDB_EUROBOX_TOOLBOX, kMiscStatus,
     &createEuroBox},
}};

const LibraryEntry kLibrary = {&LIBID_nxcurrency, L"nxcurrency", 1, 0, kClasses};

}  // namespace

const nx::win32::LibraryEntry& nx::win32::nxLibrary() {
  return kLibrary;
}
