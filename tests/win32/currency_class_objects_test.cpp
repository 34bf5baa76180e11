// The class of nxcurrency in the suite every class gets from its table (its type library's names
// would clash with other libraries' in one file).
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <gtest/gtest.h>

#include "class_object_checks.h"
#include "currency/eurobox/eurobox.h"
#include "nxcurrency_h.h"

namespace nx::test {
namespace {

INSTANTIATE_TEST_SUITE_P(Currency, ClassObject,
                         ::testing::Values(LibraryCase{
                             NX_CURRENCY_PATH, {&NxEuroBox::classTable().info(), CLSID_NxEuroBox}}),
                         [](const ::testing::TestParamInfo<LibraryCase>& param) {
                           return std::string(param.param.cls.info->name);
                         });

}  // namespace
}  // namespace nx::test
