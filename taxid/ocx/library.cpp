// nxtaxid.ocx: its class, as the table the shared entry points register and create from.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <olectl.h>

#include <array>
#include <memory>

#include "nxtaxid_h.h"
#include "platform/win32/com/control_object.h"
#include "platform/win32/com/module.h"
#include "resource_ids.h"
#include "taxid/vatbox/vatnumber.h"

namespace {

using namespace nx::win32;

constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_SETCLIENTSITEFIRST;

const ControlClass kVatNumber = {&CLSID_NxVATNumber,
                                 &IID__NxVATNumber,
                                 &DIID___NxVATNumber,
                                 kMiscStatus,
                                 {160, 20},
                                 [](nx::ControlSite& site) -> std::unique_ptr<nx::ControlBase> {
                                   return std::make_unique<nx::NxVATNumber>(site);
                                 }};

HRESULT createVatNumber(REFIID iid, void** out) {
  return createControlObject(kVatNumber, iid, out);
}

const std::array<ClassEntry, 1> kClasses = {{
    {&CLSID_NxVATNumber, L"NxVATNumber", L"nx VAT number entry box", IDB_VATNUMBER_TOOLBOX,
     kMiscStatus, &createVatNumber},
}};

const LibraryEntry kLibrary = {&LIBID_nxtaxid, L"nxtaxid", 1, 0, kClasses};

}  // namespace

const nx::win32::LibraryEntry& nx::win32::nxLibrary() {
  return kLibrary;
}
