// The class table: refusing inconsistent declarations, dispatch ids, notification keys, method
// calls with by-reference and converted arguments, loading modes and events by name.
#include "core/control/class_table.h"

#include <gtest/gtest.h>

#include "core/control/control.h"
#include "platform/sim/sim_host.h"

namespace nx {
namespace {

struct Plain {
  std::int32_t a = 0;
  std::int32_t b = 0;
  std::int32_t puts = 0;
  void setA(std::int32_t v) {
    a = v;
    ++puts;
  }
  std::int32_t getA() const { return a; }
};

using P = Property<Plain>;

ClassSpec<Plain> twoKeys() {
  return ClassSpec<Plain>{
      .name = "Plain",
      .members = {P{.name = "A",
                    .type = types::Long,
                    .key = "ka",
                    .get = getter(&Plain::getA),
                    .put = setter(&Plain::setA)},
                  P{.name = "B",
                    .type = types::Long,
                    .key = "kb",
                    .get = [](const Plain& p) { return Value{p.b}; },
                    .put = [](Plain& p, const Value& v) { p.b = toInt32(v); }},
                  P{.name = "Ro",
                    .type = types::Long,
                    .notifyKey = "ro",
                    .get = [](const Plain&) { return Value{7}; }}},
  };
}

TEST(ClassTable, KeyOrdersMustNameEveryPersistedKeyOnce) {
  EXPECT_NO_THROW(ClassTable<Plain>{twoKeys()});
  auto unknown = twoKeys();
  unknown.readOrder = {"ka", "kb", "kc"};
  EXPECT_THROW(ClassTable<Plain>{unknown}, std::logic_error);
  auto repeated = twoKeys();
  repeated.writeOrder = {"ka", "KA", "kb"};
  EXPECT_THROW(ClassTable<Plain>{repeated}, std::logic_error);
  auto missing = twoKeys();
  missing.readOrder = {"kb"};
  EXPECT_THROW(ClassTable<Plain>{missing}, std::logic_error);
  auto twice = twoKeys();
  twice.members.push_back(P{.name = "a", .type = types::Long, .get = getter(&Plain::getA)});
  EXPECT_THROW(ClassTable<Plain>{twice}, std::logic_error);
  auto sameKey = twoKeys();
  sameKey.members.push_back(
      P{.name = "C", .type = types::Long, .key = "KB", .get = getter(&Plain::getA)});
  EXPECT_THROW(ClassTable<Plain>{sameKey}, std::logic_error);
  auto noField = twoKeys();
  std::get<P>(noField.members[0]).load = LoadMode::Direct;
  EXPECT_THROW(ClassTable<Plain>{noField}, std::logic_error);
}

TEST(ClassTable, DispatchIdsFollowInterfaceOrderWithTheValueMemberAtZero) {
  auto decl = twoKeys();
  decl.defaultProperty = "b";
  ClassTable<Plain> table(decl);
  const ClassInfo& info = table.info();
  EXPECT_EQ(info.find("A")->dispid, 1);
  EXPECT_EQ(info.find("B")->dispid, ClassInfo::kValueDispId);
  EXPECT_EQ(info.find("RO")->dispid, 3);
  EXPECT_TRUE(info.find("Ro")->readOnly);
  EXPECT_EQ(info.propertyForKey("KA"), "A");
  EXPECT_EQ(info.propertyForKey("ro"), "Ro");  // notification key of a property not persisted
  EXPECT_EQ(info.propertyForKey("zz"), std::nullopt);
  EXPECT_EQ(info.propertyForKey(""), std::nullopt);

  Plain p;
  table.put(p, "a", Value{std::string("12")});  // converted as the host converts
  EXPECT_EQ(p.a, 12);
  EXPECT_THROW(table.put(p, "Ro", Value{1}), HostError);
  EXPECT_THROW(table.put(p, "A", Value{std::string("x")}), ConversionError);
  EXPECT_THROW(table.get(p, "Nope"), HostError);
}

// A control with a method taking a by-reference argument and an optional one, and properties
// loaded in each of the three ways.
class Probe : public Control<Probe> {
 public:
  explicit Probe(ControlSite& site) : Control(site) {}

  static const ClassTable<Probe>& classTable() {
    using PP = Property<Probe>;
    static const ClassTable<Probe> table(ClassSpec<Probe>{
        .name = "Probe",
        .members =
            {
                PP{.name = "Direct",
                   .type = types::Long,
                   .key = "d",
                   .load = LoadMode::Direct,
                   .get = [](const Probe& c) { return Value{c.direct_}; },
                   .put = [](Probe& c, const Value& v) { c.record(toInt32(v)); },
                   .direct = [](Probe& c, const Value& v) { c.direct_ = toInt32(v); }},
                PP{.name = "Guarded",
                   .type = types::Long,
                   .key = "g",
                   .load = LoadMode::ViaPutGuarded,
                   .get = [](const Probe& c) { return Value{c.guarded_}; },
                   .put =
                       [](Probe& c, const Value& v) {
                         c.guarded_ = toInt32(v);
                         c.busyAtPut_ = c.busy();
                       }},
                Method<Probe>{.name = "Add",
                              .params = {{"x", types::Long},
                                         {"total", types::Long, true},
                                         {"step", types::Long, false, Value{1}}},
                              .result = types::Bool,
                              .call =
                                  [](Probe&, std::span<Value> a) {
                                    a[1] = toInt32(a[1]) + toInt32(a[0]) * toInt32(a[2]);
                                    return Value{VBool::True};
                                  }},
            },
        .events = {{"Done"}},
        .readOrder = {"g", "d"},
        .writeOrder = {"d", "g"},
    });
    return table;
  }

  void record(std::int32_t v) {
    direct_ = v;
    ++puts_;
  }
  void fire() { raiseEvent("Done"); }
  void fireUnknown() { raiseEvent("Nope"); }

  std::int32_t direct_ = 0;
  std::int32_t guarded_ = 0;
  int puts_ = 0;
  bool busyAtPut_ = false;
};

TEST(ClassTable, LoadModesMethodsAndEvents) {
  sim::SimHost host;
  sim::SimPropertyBag bag;
  bag.set("d", Value{5});
  bag.set("G", Value{6});
  Probe& c = host.create<Probe>({}, &bag);
  EXPECT_EQ(c.direct_, 5);
  EXPECT_EQ(c.puts_, 0);  // stored straight into the field
  EXPECT_EQ(c.guarded_, 6);
  EXPECT_TRUE(c.busyAtPut_);
  EXPECT_FALSE(c.busy());

  std::vector<Value> args = {Value{std::string("3")}, Value{10}, Value{4}};
  EXPECT_EQ(c.invokeMethod("add", args), Value{VBool::True});
  EXPECT_EQ(args[1], Value{22});  // by reference: the caller sees the new total
  std::vector<Value> tooFew = {Value{1}};
  EXPECT_THROW(c.invokeMethod("Add", tooFew), HostError);
  std::vector<Value> bad = {Value{std::string("x")}, Value{1}, Value{1}};
  EXPECT_THROW(c.invokeMethod("Add", bad), ConversionError);
  EXPECT_EQ(c.classInfo().find("Add")->params[2].defaultValue, Value{1});

  c.fire();
  EXPECT_EQ(host.site(c).eventCount(1), 1);
  EXPECT_THROW(c.fireUnknown(), std::logic_error);

  sim::SimPropertyBag saved = host.save(c);
  ASSERT_EQ(saved.writes().size(), 2u);
  EXPECT_EQ(saved.writes()[0].key, "d");
  EXPECT_EQ(saved.writes()[1].key, "g");
}

}  // namespace
}  // namespace nx
