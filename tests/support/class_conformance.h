// Checks every control class gets without writing them: the values of a new control are the
// table's, every persisted property survives a save and a load with a value other than its
// default, unknown and read-only members are refused, and the stored keys are exactly the
// table's.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/control/class_table.h"
#include "core/runtime/text.h"
#include "platform/sim/sim_host.h"

namespace nx::test {

// A value of the property's type other than `current` (and its store default), for round trips.
Value otherValue(const ClassInfo& cls, const MemberInfo& m, const Value& current,
                 sim::SimServices& services);

template <class C>
void expectNewControlMatchesTable(sim::SiteOptions site) {
  sim::SimHost host;
  C& c = host.create<C>(site);
  const ClassInfo& cls = C::classTable().info();
  for (const MemberInfo& m : cls.members) {
    if (m.kind != MemberInfo::Kind::Property || !m.newValue) continue;
    EXPECT_TRUE(sameValue(c.getProperty(m.name), *m.newValue)) << cls.name << "." << m.name;
  }
}

template <class C>
void expectRefusals(sim::SiteOptions site) {
  sim::SimHost host;
  C& c = host.create<C>(site);
  const ClassInfo& cls = C::classTable().info();
  EXPECT_THROW(c.getProperty("NoSuchProperty"), HostError);
  EXPECT_THROW(c.putProperty("NoSuchProperty", Value{}), HostError);
  std::vector<Value> none;
  EXPECT_THROW(c.invokeMethod("NoSuchMethod", none), HostError);
  for (const MemberInfo& m : cls.members) {
    if (m.kind == MemberInfo::Kind::Property && m.readOnly) {
      EXPECT_THROW(c.putProperty(m.name, c.getProperty(m.name)), HostError) << m.name;
      EXPECT_FALSE(m.persisted()) << m.name << " is read-only but persisted";
    }
  }
}

template <class C>
void expectRoundTripOfEveryPersistedProperty(sim::SiteOptions site) {
  sim::SimHost host;
  C& c = host.create<C>(site);
  const ClassInfo& cls = C::classTable().info();
  std::vector<Value> put;
  for (const MemberInfo& m : cls.members) {
    if (m.kind != MemberInfo::Kind::Property || !m.persisted()) continue;
    c.putProperty(m.name, otherValue(cls, m, c.getProperty(m.name), host.services()));
  }
  for (const MemberInfo& m : cls.members) {
    if (m.kind != MemberInfo::Kind::Property || !m.persisted()) continue;
    const Value now = c.getProperty(m.name);
    if (!m.dynamicDefault) {
      EXPECT_FALSE(sameValue(now, m.storeDefault))
          << cls.name << "." << m.name << " is still at its default; give it a .sample";
    }
    put.push_back(now);
  }
  sim::SimPropertyBag bag = host.save(c);
  C& copy = host.create<C>(site, &bag);
  std::size_t i = 0;
  for (const MemberInfo& m : cls.members) {
    if (m.kind != MemberInfo::Kind::Property || !m.persisted()) continue;
    EXPECT_TRUE(sameValue(copy.getProperty(m.name), put[i])) << cls.name << "." << m.name;
    ++i;
  }
  // Saving offers the store every persisted key once, and nothing else.
  std::size_t persisted = 0;
  for (const MemberInfo& m : cls.members) persisted += m.persisted() ? 1 : 0;
  EXPECT_EQ(bag.writes().size(), persisted) << cls.name;
  for (const sim::SimPropertyBag::Write& w : bag.writes()) {
    bool known = false;
    for (const MemberInfo& m : cls.members) known = known || equalsNoCase(m.key, w.key);
    EXPECT_TRUE(known) << cls.name << " wrote unknown key " << w.key;
  }
}

}  // namespace nx::test
