// The framework's capabilities as a control sees them, on the simulated platform: a method with
// by-reference and optional arguments, access keys, ambient changes, a text part with a key
// filter, a timer, and the form's other controls.
#include "tests/support/probe_control.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_host.h"
#include "platform/sim/sim_parts.h"

namespace nx::test {
namespace {

sim::SiteOptions probeSite(std::string name) {
  sim::SiteOptions o;
  o.name = std::move(name);
  o.width = 3000;
  o.height = 400;
  return o;
}

TEST(NxProbe, MethodTakesByReferenceAndOptionalArguments) {
  sim::SimHost host;
  NxProbe& p = host.create<NxProbe>(probeSite("P1"));
  std::vector<Value> args = {Value{3}, Value{10}, Value{4}};
  EXPECT_EQ(p.invokeMethod("Add", args), Value{VBool::True});
  EXPECT_EQ(args[1], Value{22});
  // The optional argument's default comes from the table, as a caller that leaves it out gets.
  const MemberInfo* add = p.classInfo().find("Add");
  ASSERT_NE(add, nullptr);
  std::vector<Value> shortArgs = {Value{5}, Value{1}, *add->params[2].defaultValue};
  p.invokeMethod("add", shortArgs);
  EXPECT_EQ(shortArgs[1], Value{6});
}

TEST(NxProbe, AccessKeyAndAmbientChangesReachTheControl) {
  sim::SimHost host;
  NxProbe& a = host.create<NxProbe>(probeSite("A"));
  NxProbe& b = host.create<NxProbe>(probeSite("B"));
  b.setCaption("Save &As");
  EXPECT_EQ(a.accessKey(), 'p');
  EXPECT_EQ(b.accessKey(), 'a');
  EXPECT_TRUE(host.pressAccessKey('A'));
  EXPECT_EQ(b.mnemonics(), 1);
  EXPECT_EQ(a.mnemonics(), 0);
  EXPECT_EQ(host.site(b).eventCount(1), 1);  // the mnemonic clicks it
  EXPECT_FALSE(host.pressAccessKey('z'));

  host.setUserMode(true);
  host.setDisplayAsDefault(a, true);
  EXPECT_EQ(a.ambientLog(), "UserMode;DisplayAsDefault;");
  EXPECT_EQ(b.ambientLog(), "UserMode;");
}

TEST(NxProbe, TextPartFiltersEveryTypedCharacterBeforeInsertion) {
  sim::SimHost host;
  NxProbe& p = host.create<NxProbe>(probeSite("P"));
  // The host turns '7' into '8' through the by-reference argument of the Filter event.
  host.site(p).setEventHandler([](int position, std::span<Value> args) {
    if (position == 3 && toInt16(args[0]) == '7') args[0] = std::int16_t{'8'};
  });
  auto* box = static_cast<sim::SimTextBox*>(p.textBox());
  ASSERT_TRUE(box->setFocus());
  box->typeText("1.5ab7x");
  EXPECT_EQ(p.text(), "1,58x");
  EXPECT_EQ(box->selStart(), 5);
  box->setSelection(0, 2);
  box->typeText("9");
  EXPECT_EQ(p.text(), "958x");
  EXPECT_EQ(host.site(p).eventCount(3), 8);
}

TEST(NxProbe, TimerTicksUntilStoppedAndStopsWithTheControl) {
  sim::SimHost host;
  NxProbe& p = host.create<NxProbe>(probeSite("P"));
  std::vector<Value> ms = {Value{100}};
  p.invokeMethod("StartTimer", ms);
  host.services().clock().advance(350);
  EXPECT_EQ(p.ticks(), 3);
  EXPECT_EQ(host.site(p).eventCount(2), 3);
  std::vector<Value> none;
  p.invokeMethod("StopTimer", none);
  host.services().clock().advance(500);
  EXPECT_EQ(p.ticks(), 3);
  p.invokeMethod("StartTimer", ms);
  EXPECT_EQ(host.services().clock().running(), 1u);
  host.destroy(p);
  EXPECT_EQ(host.services().clock().running(), 0u);
}

TEST(NxProbe, WalksTheFormsControls) {
  sim::SimHost host;
  NxProbe& a = host.create<NxProbe>(probeSite("A"));
  NxProbe& b = host.create<NxProbe>(probeSite("B"));
  a.setValue(5);
  b.setValue(7);
  EXPECT_EQ(a.formControlCount(), 2);
  EXPECT_EQ(b.formValueSum(), 12);
  sim::SiteOptions bare = probeSite("C");
  bare.hasExtender = false;
  NxProbe& c = host.create<NxProbe>(bare);
  EXPECT_EQ(c.formControlCount(), -1);
}

}  // namespace
}  // namespace nx::test
