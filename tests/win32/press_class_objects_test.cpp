// nxpress' class in the suite every class gets from its table (its type library's names would
// clash with nxwidgets' in one file).
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <gtest/gtest.h>

#include "class_object_checks.h"
#include "nxpress_h.h"
#include "press/button/button.h"

namespace nx::test {
namespace {

INSTANTIATE_TEST_SUITE_P(Press, ClassObject,
                         ::testing::Values(LibraryCase{
                             NX_PRESS_PATH, {&NxButton::classTable().info(), CLSID_NxButton}}),
                         [](const ::testing::TestParamInfo<LibraryCase>& param) {
                           return std::string(param.param.cls.info->name);
                         });

}  // namespace
}  // namespace nx::test
