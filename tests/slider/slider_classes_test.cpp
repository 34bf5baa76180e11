// The checks every class of the library gets from its table, and the library's class list.
#include <gtest/gtest.h>

#include "slider/slider_classes.h"
#include "slider/tracker/tracker.h"
#include "tests/support/class_conformance.h"

namespace nx {
namespace {

template <class C>
class SliderClass : public ::testing::Test {
 protected:
  static sim::SiteOptions site() {
    sim::SiteOptions o;
    o.name = std::string(C::classTable().info().name) + "1";
    o.width = 3000;
    o.height = 600;
    return o;
  }
};

using Classes = ::testing::Types<NxTracker>;
TYPED_TEST_SUITE(SliderClass, Classes);

TYPED_TEST(SliderClass, NewControlHasTheTableValues) {
  test::expectNewControlMatchesTable<TypeParam>(this->site());
}

TYPED_TEST(SliderClass, EveryPersistedPropertySurvivesSaveAndLoad) {
  test::expectRoundTripOfEveryPersistedProperty<TypeParam>(this->site());
}

TYPED_TEST(SliderClass, UnknownAndReadOnlyMembersAreRefused) {
  test::expectRefusals<TypeParam>(this->site());
}

TEST(SliderClasses, TheLibraryListsItsTracker) {
  const std::vector<const ClassInfo*> classes = nxsliderClasses();
  ASSERT_EQ(classes.size(), 1u);
  EXPECT_EQ(classes[0]->name, "NxTracker");
  EXPECT_TRUE(classes[0]->events.empty());
  EXPECT_EQ(classes[0]->defaultProperty, "Value");
}

}  // namespace
}  // namespace nx
