// The checks every class of the library gets from its table.
#include <gtest/gtest.h>

#include "currency/currency_classes.h"
#include "currency/eurobox/eurobox.h"
#include "tests/support/class_conformance.h"

namespace nx {
namespace {

sim::SiteOptions site() {
  sim::SiteOptions o;
  o.name = "NxEuroBox1";
  o.width = 1800;
  o.height = 315;
  return o;
}

TEST(CurrencyClasses, NewControlHasTheTableValues) {
  test::expectNewControlMatchesTable<NxEuroBox>(site());
}

TEST(CurrencyClasses, EveryPersistedPropertySurvivesSaveAndLoad) {
  test::expectRoundTripOfEveryPersistedProperty<NxEuroBox>(site());
}

TEST(CurrencyClasses, UnknownAndReadOnlyMembersAreRefused) {
  test::expectRefusals<NxEuroBox>(site());
}

TEST(CurrencyClasses, InterfaceAsDeclared) {
  const std::vector<const ClassInfo*> classes = nxcurrencyClasses();
  ASSERT_EQ(classes.size(), 1u);
  const ClassInfo& c = *classes[0];
  EXPECT_EQ(c.defaultProperty, "Value");
  EXPECT_EQ(c.defaultEvent, "Change");
  EXPECT_EQ(c.find("Value")->dispid, ClassInfo::kValueDispId);
  EXPECT_TRUE(c.find("ExProp")->hidden);
  EXPECT_TRUE(c.find("Font")->byRef);
  EXPECT_TRUE(c.find("Text")->readOnly);
  EXPECT_TRUE(c.find("hWnd")->readOnly);
  EXPECT_EQ(c.eventPosition("DblClick"), 6);
}

}  // namespace
}  // namespace nx
