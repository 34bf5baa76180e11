// The checks every class of the library gets from its table.
#include <gtest/gtest.h>

#include "tests/support/class_conformance.h"
#include "widgets/checkbox/check_box.h"
#include "widgets/gradframe/grad_frame.h"
#include "widgets/hyperlink/hyper_link.h"
#include "widgets/meter/meter.h"
#include "widgets/progressbar/progress_bar.h"

namespace nx {
namespace {

template <class C>
class WidgetClass : public ::testing::Test {
 protected:
  static sim::SiteOptions site() {
    sim::SiteOptions o;
    o.name = std::string(C::classTable().info().name) + "1";
    o.width = 3000;
    o.height = 600;
    return o;
  }
};

using Classes = ::testing::Types<NxProgressBar, NxCheckBox, NxHyperLink, NxMeter, NxGradFrame>;
TYPED_TEST_SUITE(WidgetClass, Classes);

TYPED_TEST(WidgetClass, NewControlHasTheTableValues) {
  test::expectNewControlMatchesTable<TypeParam>(this->site());
}

TYPED_TEST(WidgetClass, EveryPersistedPropertySurvivesSaveAndLoad) {
  test::expectRoundTripOfEveryPersistedProperty<TypeParam>(this->site());
}

TYPED_TEST(WidgetClass, UnknownAndReadOnlyMembersAreRefused) {
  test::expectRefusals<TypeParam>(this->site());
}

}  // namespace
}  // namespace nx
