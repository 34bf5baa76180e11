// The checks every class gets from its table, for each class of the libraries built here.
#include <windows.h>
// GUIDs of the generated headers are defined in this file.
#include <initguid.h>

#include <gtest/gtest.h>

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
namespace {

struct LibraryCase {
  const char* path;
  ClassUnderTest cls;
};

formhost::Library& library(const char* path) {
  static formhost::Library widgets(NX_WIDGETS_PATH);
  static formhost::Library probe(NX_PROBE_PATH);
  static const bool watched = [] {
    OleInitialize(nullptr);
    return watchLibrary(widgets.module()) && watchLibrary(probe.module());
  }();
  EXPECT_TRUE(watched);
  return std::string_view(path) == NX_WIDGETS_PATH ? widgets : probe;
}

class ClassObject : public ::testing::TestWithParam<LibraryCase> {};

TEST_P(ClassObject, NewControlMatchesTheTable) {
  expectNewControlMatchesTable(library(GetParam().path), GetParam().cls);
}
TEST_P(ClassObject, PersistedPropertiesSurviveBagAndStream) {
  expectPersistedPropertiesRoundTrip(library(GetParam().path), GetParam().cls);
}
TEST_P(ClassObject, AThousandControlsLeaveNothingBehind) {
  expectNoLeaksOverCycles(library(GetParam().path), GetParam().cls, 1000);
  EXPECT_EQ(library(GetParam().path).canUnloadNow(), S_OK) << "COM objects left alive";
}
TEST_P(ClassObject, HostMayDropTheControlInAnEvent) {
  expectHostMayDropTheControlInAnEvent(library(GetParam().path), GetParam().cls);
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
