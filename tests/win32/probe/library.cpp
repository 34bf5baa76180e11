// nxprobe.ocx: the framework's test library, carrying the probe control.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <olectl.h>

#include <array>
#include <memory>

#include "nxprobe_h.h"
#include "platform/win32/com/control_object.h"
#include "platform/win32/com/module.h"
#include "resource_ids.h"
#include "tests/support/probe_control.h"

namespace {

using namespace nx::win32;

constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_SETCLIENTSITEFIRST;

// An identifier the default interface had in an earlier version of the probe.
// {9B6C0981-2917-459B-BF73-3336823829D9}
constexpr IID kEarlierProbeIid = {
    0x9B6C0981, 0x2917, 0x459B, {0xBF, 0x73, 0x33, 0x36, 0x82, 0x38, 0x29, 0xD9}};
const IID* const kProbeAliases[] = {&kEarlierProbeIid};

const ControlClass kProbe = {&CLSID_NxProbe,
                             &IID__NxProbe,
                             &DIID___NxProbe,
                             kMiscStatus,
                             {200, 27},
                             [](nx::ControlSite& site) -> std::unique_ptr<nx::ControlBase> {
                               return std::make_unique<nx::test::NxProbe>(site);
                             },
                             kProbeAliases};

HRESULT createProbe(REFIID iid, void** out) {
  return createControlObject(kProbe, iid, out);
}

const std::array<ClassEntry, 1> kClasses = {{
    {&CLSID_NxProbe, L"NxProbe", L"nx framework probe", IDB_PROBE_TOOLBOX, kMiscStatus,
     &createProbe},
}};

const LibraryEntry kLibrary = {&LIBID_nxprobe_types, L"nxprobe", 1, 0, kClasses};

}  // namespace

const nx::win32::LibraryEntry& nx::win32::nxLibrary() {
  return kLibrary;
}
