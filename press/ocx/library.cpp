// nxpress.ocx: its class, as the table the shared entry points register and create from.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <olectl.h>

#include <array>
#include <memory>

#include "nxpress_h.h"
#include "platform/win32/com/control_object.h"
#include "platform/win32/com/module.h"
#include "press/button/button.h"
#include "resource_ids.h"

namespace {

using namespace nx::win32;

// A button answers to its access key (OLEMISC_ACTSLIKEBUTTON) and may show as the form's default
// button.
constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTSLIKEBUTTON;

const ControlClass kButton = {&CLSID_NxButton,
                              &IID__NxButton,
                              &DIID___NxButton,
                              kMiscStatus,
                              {80, 25},
                              [](nx::ControlSite& site) -> std::unique_ptr<nx::ControlBase> {
                                return std::make_unique<nx::NxButton>(site);
                              }};

HRESULT createButton(REFIID iid, void** out) {
  return createControlObject(kButton, iid, out);
}

const std::array<ClassEntry, 1> kClasses = {{
    {&CLSID_NxButton, L"NxButton", L"nx button", IDB_BUTTON_TOOLBOX, kMiscStatus, &createButton},
}};

const LibraryEntry kLibrary = {&LIBID_nxpress, L"nxpress", 1, 0, kClasses};

}  // namespace

const nx::win32::LibraryEntry& nx::win32::nxLibrary() {
  return kLibrary;
}
