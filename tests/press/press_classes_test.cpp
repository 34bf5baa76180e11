// The checks every class of the library gets from its table.
#include <gtest/gtest.h>

#include "press/button/button.h"
#include "tests/support/class_conformance.h"

namespace nx {
namespace {

template <class C>
class PressClass : public ::testing::Test {
 protected:
  static sim::SiteOptions site() {
    sim::SiteOptions o;
    o.name = std::string(C::classTable().info().name) + "1";
    o.width = 3000;
    o.height = 600;
    return o;
  }
};

using Classes = ::testing::Types<NxButton>;
TYPED_TEST_SUITE(PressClass, Classes);

TYPED_TEST(PressClass, NewControlHasTheTableValues) {
  test::expectNewControlMatchesTable<TypeParam>(this->site());
}

TYPED_TEST(PressClass, EveryPersistedPropertySurvivesSaveAndLoad) {
  test::expectRoundTripOfEveryPersistedProperty<TypeParam>(this->site());
}

TYPED_TEST(PressClass, UnknownAndReadOnlyMembersAreRefused) {
  test::expectRefusals<TypeParam>(this->site());
}

}  // namespace
}  // namespace nx
