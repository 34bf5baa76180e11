// The checks the class of the nxtaxid library gets from its table, and its interface as the
// type library declares it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "taxid/taxid_classes.h"
#include "taxid/vatbox/vatnumber.h"
#include "tests/support/class_conformance.h"

namespace nx {
namespace {

sim::SiteOptions site() {
  sim::SiteOptions o;
  o.name = "NxVATNumber1";
  o.width = 2400;
  o.height = 300;
  return o;
}

TEST(TaxidClasses, NewControlHasTheTableValues) {
  test::expectNewControlMatchesTable<NxVATNumber>(site());
}

// The shared round trip puts the properties in table order, but a put of VatCountry clears
// the number put before it; here the code goes first and the rest follow in table order.
TEST(TaxidClasses, EveryPersistedPropertySurvivesSaveAndLoad) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(site());
  const ClassInfo& cls = NxVATNumber::classTable().info();
  std::vector<const MemberInfo*> persisted;
  for (const MemberInfo& m : cls.members)
    if (m.kind == MemberInfo::Kind::Property && m.persisted()) persisted.push_back(&m);
  std::stable_partition(persisted.begin(), persisted.end(),
                        [](const MemberInfo* m) { return m->name == "VatCountry"; });
  std::vector<Value> put;
  for (const MemberInfo* m : persisted)
    v.putProperty(m->name, test::otherValue(cls, *m, v.getProperty(m->name), host.services()));
  for (const MemberInfo* m : persisted) {
    put.push_back(v.getProperty(m->name));
    EXPECT_FALSE(sameValue(put.back(), m->storeDefault)) << m->name << " is at its default";
  }
  sim::SimPropertyBag bag = host.save(v);
  EXPECT_EQ(bag.writes().size(), persisted.size());
  NxVATNumber& copy = host.create<NxVATNumber>(site(), &bag);
  for (std::size_t i = 0; i < persisted.size(); ++i)
    EXPECT_TRUE(sameValue(copy.getProperty(persisted[i]->name), put[i])) << persisted[i]->name;
}

TEST(TaxidClasses, UnknownAndReadOnlyMembersAreRefused) {
  test::expectRefusals<NxVATNumber>(site());
}

TEST(TaxidClasses, InterfaceAsDeclared) {
  const std::vector<const ClassInfo*> classes = nxtaxidClasses();
  ASSERT_EQ(classes.size(), 1u);
  const ClassInfo& c = *classes[0];
  EXPECT_EQ(c.name, "NxVATNumber");
  std::vector<std::string_view> names;
  for (const MemberInfo& m : c.members) names.push_back(m.name);
  EXPECT_EQ(names, (std::vector<std::string_view>{
                       "Enabled", "hWnd", "Language", "vatNr", "Valid", "VatCountry", "ForeColor",
                       "BackColor", "BorderColor", "FocusBorder", "BadVatColor", "GoodVatColor",
                       "EuroCountry", "CountrySelect", "TypeCheck", "FindNumber", "xtrVar"}));
  EXPECT_EQ(c.defaultProperty, "");
  EXPECT_EQ(c.defaultEvent, "Change");
  for (const char* ro : {"Valid", "EuroCountry", "hWnd"}) {
    ASSERT_NE(c.find(ro), nullptr) << ro;
    EXPECT_TRUE(c.find(ro)->readOnly) << ro;
  }
  for (const MemberInfo& m : c.members) {
    EXPECT_FALSE(m.hidden) << m.name;
    EXPECT_FALSE(m.byRef) << m.name;
  }
  EXPECT_EQ(c.find("Language")->type.idl, "NX_LANG");
  EXPECT_EQ(c.eventPosition("Change"), 1);
  EXPECT_EQ(c.eventPosition("ValidNumber"), 2);
  ASSERT_EQ(c.events.size(), 2u);
  EXPECT_TRUE(c.events[0].params.empty());
  EXPECT_TRUE(c.events[1].params.empty());
  ASSERT_EQ(c.enums.size(), 1u);
  EXPECT_EQ(c.enums[0].name, "NX_LANG");
  EXPECT_EQ(c.enums[0].members,
            (std::vector<std::pair<std::string_view, std::int32_t>>{{"NX_EN", 0}, {"NX_PT", 1}}));
  // The keys of the store, as the properties persist them.
  EXPECT_EQ(c.find("VatCountry")->key, "defCTY");
  EXPECT_EQ(c.find("vatNr")->key, "tvat");
  EXPECT_EQ(c.find("FocusBorder")->key, "brcolor");
  EXPECT_EQ(c.find("CountrySelect")->key, "canSelect");
  EXPECT_FALSE(c.find("Valid")->persisted());
}

TEST(TaxidClasses, PutsThroughTheDispatchNormaliseAndRefuse) {
  sim::SimHost host;
  NxVATNumber& v = host.create<NxVATNumber>(site());
  v.putProperty("VatCountry", Value{std::string("fr")});
  EXPECT_TRUE(sameValue(v.getProperty("VatCountry"), Value{std::string("FR")}));
  EXPECT_TRUE(sameValue(v.getProperty("EuroCountry"), Value{std::string("France")}));
  EXPECT_TRUE(sameValue(v.getProperty("Valid"), Value{VBool::False}));
  EXPECT_TRUE(sameValue(v.getProperty("CountrySelect"), Value{VBool::True}));
  EXPECT_THROW(v.putProperty("Valid", Value{VBool::True}), HostError);
  EXPECT_THROW(v.putProperty("EuroCountry", Value{std::string("Spain")}), HostError);
  EXPECT_THROW(v.putProperty("ForeColor", Value{std::string("red")}), ConversionError);
  EXPECT_EQ(v.foreColor(), 0);
}

}  // namespace
}  // namespace nx
