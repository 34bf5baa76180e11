// The class of nxtaxid in the suite every class gets from its table (its type library's names
// would clash with other libraries' in one file).
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <gtest/gtest.h>

#include "class_object_checks.h"
#include "nxtaxid_h.h"
#include "taxid/vatbox/vatnumber.h"

namespace nx::test {
namespace {

INSTANTIATE_TEST_SUITE_P(Taxid, ClassObject,
                         ::testing::Values(LibraryCase{
                             NX_TAXID_PATH,
                             {&NxVATNumber::classTable().info(), CLSID_NxVATNumber}}),
                         [](const ::testing::TestParamInfo<LibraryCase>& param) {
                           return std::string(param.param.cls.info->name);
                         });

}  // namespace
}  // namespace nx::test
