// nxwidgets.ocx: its classes, as the table the shared entry points register and create from.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <olectl.h>

#include <array>
#include <memory>

#include "nxwidgets_h.h"
#include "platform/win32/com/control_object.h"
#include "platform/win32/com/module.h"
#include "resource_ids.h"
#include "widgets/checkbox/check_box.h"
#include "widgets/gradframe/grad_frame.h"
#include "widgets/hyperlink/hyper_link.h"
#include "widgets/meter/meter.h"
#include "widgets/progressbar/progress_bar.h"

namespace {

using namespace nx::win32;

constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_SETCLIENTSITEFIRST;
// A frame holds other controls: containers that know simple frames put them in its window.
constexpr DWORD kFrameMiscStatus = kMiscStatus | OLEMISC_SIMPLEFRAME;

const ControlClass kProgressBar = {&CLSID_NxProgressBar,
                                   &IID__NxProgressBar,
                                   &DIID___NxProgressBar,
                                   kMiscStatus,
                                   {200, 20},
                                   [](nx::ControlSite& site) -> std::unique_ptr<nx::ControlBase> {
                                     return std::make_unique<nx::NxProgressBar>(site);
                                   }};

HRESULT createProgressBar(REFIID iid, void** out) {
  return createControlObject(kProgressBar, iid, out);
}

const ControlClass kMeter = {&CLSID_NxMeter,
                             &IID__NxMeter,
                             &DIID___NxMeter,
                             kMiscStatus,
                             {20, 200},
                             [](nx::ControlSite& site) -> std::unique_ptr<nx::ControlBase> {
                               return std::make_unique<nx::NxMeter>(site);
                             }};

HRESULT createMeter(REFIID iid, void** out) {
  return createControlObject(kMeter, iid, out);
}

// Identifiers _NxGradFrame had in earlier versions of the class; clients built against them
// get the same interface.
// {8151BB49-D81C-4F21-9AED-CF05D5183227}
constexpr IID kGradFrameIid1 = {
    0x8151BB49, 0xD81C, 0x4F21, {0x9A, 0xED, 0xCF, 0x05, 0xD5, 0x18, 0x32, 0x27}};
// {089F61A4-DBBE-4AB4-B956-A8F01C8DF8CA}
constexpr IID kGradFrameIid2 = {
    0x089F61A4, 0xDBBE, 0x4AB4, {0xB9, 0x56, 0xA8, 0xF0, 0x1C, 0x8D, 0xF8, 0xCA}};
// {C73210C3-77E9-44B0-BB8D-ECA7DEC091F4}
constexpr IID kGradFrameIid3 = {
    0xC73210C3, 0x77E9, 0x44B0, {0xBB, 0x8D, 0xEC, 0xA7, 0xDE, 0xC0, 0x91, 0xF4}};
const IID* const kGradFrameAliases[] = {&kGradFrameIid1, &kGradFrameIid2, &kGradFrameIid3};

const ControlClass kGradFrame = {&CLSID_NxGradFrame,
                                 &IID__NxGradFrame,
                                 &DIID___NxGradFrame,
                                 kFrameMiscStatus,
                                 {200, 100},
                                 [](nx::ControlSite& site) -> std::unique_ptr<nx::ControlBase> {
                                   return std::make_unique<nx::NxGradFrame>(site);
                                 },
                                 kGradFrameAliases};

HRESULT createGradFrame(REFIID iid, void** out) {
  return createControlObject(kGradFrame, iid, out);
}

const ControlClass kCheckBox = {&CLSID_NxCheckBox,
                                &IID__NxCheckBox,
                                &DIID___NxCheckBox,
                                kMiscStatus,
                                {120, 18},
                                [](nx::ControlSite& site) -> std::unique_ptr<nx::ControlBase> {
                                  return std::make_unique<nx::NxCheckBox>(site);
                                }};

HRESULT createCheckBox(REFIID iid, void** out) {
  return createControlObject(kCheckBox, iid, out);
}

const ControlClass kHyperLink = {&CLSID_NxHyperLink,
                                 &IID__NxHyperLink,
                                 &DIID___NxHyperLink,
                                 kMiscStatus,
                                 {120, 18},
                                 [](nx::ControlSite& site) -> std::unique_ptr<nx::ControlBase> {
                                   return std::make_unique<nx::NxHyperLink>(site);
                                 }};

HRESULT createHyperLink(REFIID iid, void** out) {
  return createControlObject(kHyperLink, iid, out);
}

const std::array<ClassEntry, 5> kClasses = {{
    {&CLSID_NxProgressBar, L"NxProgressBar", L"nx progress bar", IDB_PROGRESSBAR_TOOLBOX,
     kMiscStatus, &createProgressBar},
    {&CLSID_NxMeter, L"NxMeter", L"nx level meter", IDB_METER_TOOLBOX, kMiscStatus, &createMeter},
    {&CLSID_NxGradFrame, L"NxGradFrame", L"nx gradient frame", IDB_GRADFRAME_TOOLBOX,
     kFrameMiscStatus, &createGradFrame},
    {&CLSID_NxCheckBox, L"NxCheckBox", L"nx check box", IDB_CHECKBOX_TOOLBOX, kMiscStatus,
     &createCheckBox},
    {&CLSID_NxHyperLink, L"NxHyperLink", L"nx hyperlink", IDB_HYPERLINK_TOOLBOX, kMiscStatus,
     &createHyperLink},
}};

const LibraryEntry kLibrary = {&LIBID_nxwidgets, L"nxwidgets", 1, 0, kClasses};

}  // namespace

const nx::win32::LibraryEntry& nx::win32::nxLibrary() {
  return kLibrary;
}
