// The checks every class gets from its table, for each class of nxwidgets and of the framework's
// test library; the classes of other libraries join the suite from files of their own.
#include <windows.h>
// GUIDs of the generated headers are defined in this file.
#include <initguid.h>

#include <gtest/gtest.h>

#include <string_view>

#include "class_object_checks.h"
#include "handle_census.h"
#include "nxprobe_h.h"
#include "nxwidgets_h.h"
#include "tests/support/probe_control.h"
#include "widgets/checkbox/check_box.h"
#include "widgets/gradframe/grad_frame.h"
#include "widgets/hyperlink/hyper_link.h"
#include "widgets/meter/meter.h"
#include "widgets/progressbar/progress_bar.h"

namespace nx::test {

formhost::Library& libraryAt(const char* path) {
  static formhost::Library widgets(NX_WIDGETS_PATH);
  static formhost::Library probe(NX_PROBE_PATH);
  static formhost::Library press(NX_PRESS_PATH);
  static formhost::Library slider(NX_SLIDER_PATH);
  static formhost::Library currency(NX_CURRENCY_PATH);
  static formhost::Library taxid(NX_TAXID_PATH);
  static const bool watched = [] {
    OleInitialize(nullptr);
    return watchLibrary(widgets.module()) && watchLibrary(probe.module()) &&
           watchLibrary(press.module()) && watchLibrary(slider.module()) &&
           watchLibrary(currency.module()) && watchLibrary(taxid.module());
  }();
  EXPECT_TRUE(watched);
  if (std::string_view(path) == NX_PRESS_PATH) return press;
  if (std::string_view(path) == NX_SLIDER_PATH) return slider;
  if (std::string_view(path) == NX_CURRENCY_PATH) return currency;
  if (std::string_view(path) == NX_TAXID_PATH) return taxid;
  return std::string_view(path) == NX_WIDGETS_PATH ? widgets : probe;
}

namespace {

TEST_P(ClassObject, NewControlMatchesTheTable) {
  expectNewControlMatchesTable(libraryAt(GetParam().path), GetParam().cls);
}
TEST_P(ClassObject, PersistedPropertiesSurviveBagAndStream) {
  expectPersistedPropertiesRoundTrip(libraryAt(GetParam().path), GetParam().cls);
}
TEST_P(ClassObject, AThousandControlsLeaveNothingBehind) {
  expectNoLeaksOverCycles(libraryAt(GetParam().path), GetParam().cls, 1000);
  EXPECT_EQ(libraryAt(GetParam().path).canUnloadNow(), S_OK) << "COM objects left alive";
}
TEST_P(ClassObject, HostMayDropTheControlInAnEvent) {
  expectHostMayDropTheControlInAnEvent(libraryAt(GetParam().path), GetParam().cls);
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, ClassObject,
    ::testing::Values(
        LibraryCase{NX_WIDGETS_PATH, {&NxProgressBar::classTable().info(), CLSID_NxProgressBar}},
        LibraryCase{NX_WIDGETS_PATH, {&NxMeter::classTable().info(), CLSID_NxMeter}},
        LibraryCase{NX_WIDGETS_PATH, {&NxGradFrame::classTable().info(), CLSID_NxGradFrame}},
        LibraryCase{NX_WIDGETS_PATH, {&NxCheckBox::classTable().info(), CLSID_NxCheckBox}},
        LibraryCase{NX_WIDGETS_PATH, {&NxHyperLink::classTable().info(), CLSID_NxHyperLink}},
        LibraryCase{NX_PROBE_PATH, {&NxProbe::classTable().info(), CLSID_NxProbe}}),
    [](const ::testing::TestParamInfo<LibraryCase>& param) {
      return std::string(param.param.cls.info->name);
    });

}  // namespace
}  // namespace nx::test
